#include <QSignalSpy>
#include <QtTest>

#include "TestSandbox.h"
#include "core/QLooper.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"

class TestRecordingLooperTraining : public QObject {
    Q_OBJECT

private slots:
    void startValues();
    void curvePathSignalOrder_data();
    void curvePathSignalOrder();
    void bpmIsTruncatedAndLeavesPlayedTempo();
    void factorSpeedAndSamplesPerBeat();
    void tempoNotAboveZeroIsNeverApplied();
    void looperNullFlag();
};

namespace {

// The names of the curve signals of one input in the order they arrive.
template <typename Reset, typename Open, typename Set>
QStringList recordCurveSignals(RecordingLooperTraining& set, Reset reset, Open open, Set setPath,
                               const QString& path) {
    QStringList order;
    QObject::connect(&set, &RecordingLooperTraining::s_Update, [&] { order << "update"; });
    QObject::connect(&set, reset, [&] { order << "reset"; });
    QObject::connect(&set, open,
                     [&](const QString& p, bool bpm) { order << QString("open %1 %2").arg(p).arg(bpm); });
    (set.*setPath)(path);
    return order;
}

} // namespace

void TestRecordingLooperTraining::startValues() {
    RecordingLooperTraining set;
    QCOMPARE(set.mode(), ModelActivatedMode::Looper);
    QCOMPARE(set.bpm(), 84.0);
    QCOMPARE(set.factorSpeed(), 1.0);
    QCOMPARE(set.bpmFactorSpeed(), 84.0);
    QCOMPARE(set.bpmSamplerate(ModelGraph::INPUT_B), 48000.0 * 60 / 88);
    QCOMPARE(set.idActivated(), Constant::Default::UUID);
    QCOMPARE(set.tabNameActivated(), QString("Looper"));
}

void TestRecordingLooperTraining::curvePathSignalOrder_data() {
    QTest::addColumn<bool>("secondInput");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");
    const QStringList closed{"update", "reset"};
    for (bool second : {false, true}) {
        const char* input = second ? "B " : "A ";
        QTest::newRow(QByteArray(input).append("empty")) << second << "" << closed;
        QTest::newRow(QByteArray(input).append("upper-case extension")) << second << "x.QLW" << closed;
        QTest::newRow(QByteArray(input).append("wav")) << second << "x.wav" << closed;
        QTest::newRow(QByteArray(input).append("curve-wave file"))
            << second << "x.qlw" << QStringList{"update", "reset", "open x.qlw 1"};
    }
}

void TestRecordingLooperTraining::curvePathSignalOrder() {
    QFETCH(bool, secondInput);
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    RecordingLooperTraining set;
    using R = RecordingLooperTraining;
    const QStringList order =
        secondInput
            ? recordCurveSignals(set, &R::s_ResetCurve_2, &R::s_OpenCurve_2, &R::setPathCurve_2, path)
            : recordCurveSignals(set, &R::s_ResetCurve_1, &R::s_OpenCurve_1, &R::setPathCurve_1, path);
    QCOMPARE(order, expected);
    QCOMPARE(secondInput ? set.pathCurve_2() : set.pathCurve_1(), path);
}

void TestRecordingLooperTraining::bpmIsTruncatedAndLeavesPlayedTempo() {
    RecordingLooperTraining set;
    set.setFactorSpeed(100.0);
    QSignalSpy spy(&set, &RecordingLooperTraining::s_UpdateBpm);
    set.setBpm(84.9);
    set.setBpm(90.0);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 84);
    QCOMPARE(spy.at(1).at(0).toInt(), 90);
    QCOMPARE(set.bpm(), 90.0);
    QCOMPARE(set.bpmFactorSpeed(), 100.0);
    QCOMPARE(set.factorSpeed(), 100.0 / 84.0);
}

void TestRecordingLooperTraining::factorSpeedAndSamplesPerBeat() {
    RecordingLooperTraining set;
    const QSample a(ModelGraph::INPUT_A, -1, QString(), 48000.0, 2, 0);
    const QSample b(ModelGraph::INPUT_B, -1, QString(), 44100.0, 2, 0);
    set.setFactorSpeed(100.0);
    set.setBpmSamplerate(ModelGraph::INPUT_A, &a);
    set.setBpmSamplerate(ModelGraph::INPUT_B, &b);
    // Played tempo, not the set's 84.
    QCOMPARE(set.bpmSamplerate(ModelGraph::INPUT_A), 28800.0);
    QCOMPARE(set.bpmSamplerate(ModelGraph::INPUT_B), 26460.0);
    // Every graph other than INPUT_B is the A slot.
    QCOMPARE(set.bpmSamplerate(ModelGraph::MASTER), 28800.0);
}

void TestRecordingLooperTraining::tempoNotAboveZeroIsNeverApplied() {
    RecordingLooperTraining set;
    const QSample a(ModelGraph::INPUT_A, -1, QString(), 48000.0, 2, 0);
    set.setFactorSpeed(0.0);
    set.setFactorSpeed(-5.0);
    set.setFactorSpeed(qQNaN());
    QCOMPARE(set.factorSpeed(), 1.0);
    QCOMPARE(set.bpmFactorSpeed(), 84.0);

    // An empty curve file or a short training file gives the set a tempo of 0.
    set.setBpm(0.0);
    set.setFactorSpeed(90.0);
    QCOMPARE(set.factorSpeed(), 1.0);
    QCOMPARE(set.bpmFactorSpeed(), 90.0);

    set.setBpmSamplerate(ModelGraph::INPUT_A, nullptr);
    QCOMPARE(set.bpmSamplerate(ModelGraph::INPUT_A), 48000.0 * 60 / 88);
    set.setBpmSamplerate(ModelGraph::INPUT_A, &a);
    QCOMPARE(set.bpmSamplerate(ModelGraph::INPUT_A), 32000.0);
}

void TestRecordingLooperTraining::looperNullFlag() {
    QVERIFY(QLooper().isNull());
    // Even with every text empty, a record built from values is not null.
    const QLooper empty({}, 0, ModelActivatedMode::Recording, 7, {}, {}, {}, {}, 0, {}, 0, {}, {}, {}, {}, {},
                        {});
    QVERIFY(!empty.isNull());
    QCOMPARE(empty.app(), 7);
}

QUILLON_TEST_MAIN(TestRecordingLooperTraining)
#include "tst_RecordingLooperTraining.moc"
