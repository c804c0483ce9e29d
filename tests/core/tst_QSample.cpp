#include <QDateTime>
#include <QRegularExpression>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/QSample.h"

class TestQSample : public QObject {
    Q_OBJECT

private slots:
    void byDefault();
    void derivedValues();
    void filename_data();
    void filename();
    void filenameIsStampedOnceAtConstruction();
    void playbackHasNoFilename();
};

void TestQSample::byDefault() {
    const std::shared_ptr<const QSample> sample = QSample::byDefault(ModelGraph::INPUT_B);
    QCOMPARE(sample->tag(), ModelGraph::INPUT_B);
    QCOMPARE(sample->deviceID(), -1);
    QVERIFY(sample->deviceName().isEmpty());
    QCOMPARE(sample->samplerate(), 48000.0);
    QCOMPARE(sample->channels(), 2);
    QCOMPARE(sample->pos(), 0);
    QCOMPARE(sample->samplerateInMinute(), 2880000.0);
    QCOMPARE(sample->samplerateInMs(), 48.0);
    QCOMPARE(sample->angleForASample(), 1.0 / 240.0);
}

void TestQSample::derivedValues() {
    const QSample sample(ModelGraph::MASTER, 4, "X", 44100.0, 8, 3);
    QCOMPARE(sample.samplerateInMinute(), 2646000.0);
    QCOMPARE(sample.samplerateInMs(), 44.1);
    // One turn in 1.8 s: 79380 frames per 360 degrees.
    QCOMPARE(sample.angleForASample() * 79380.0, 360.0);
}

void TestQSample::filename_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("expected"); // with TIME where the stamp goes
    QTest::newRow("slash") << "In/Out" << 44100.0 << "3_TIME_InandOut_4p1_44100.wav";
    QTest::newRow("two slashes") << "a/b/c" << 48000.0 << "3_TIME_aandbandc_4p1_48000.wav";
    QTest::newRow("percent codes stay") << "Dev %1 %2" << 96000.0 << "3_TIME_Dev %1 %2_4p1_96000.wav";
    QTest::newRow("fractional rate") << "X" << 22050.5 << "3_TIME_X_4p1_22050.5.wav";
    QTest::newRow("seven digits") << "X" << 2822400.0 << "3_TIME_X_4p1_2.8224e+06.wav";
}

void TestQSample::filename() {
    QFETCH(QString, device);
    QFETCH(double, rate);
    QFETCH(QString, expected);
    const QSample sample(ModelGraph::INPUT_A, 3, device, rate, 4, 1);
    const QString pattern = QRegularExpression::escape(expected).replace("TIME", R"((\d{8}-\d{6},\d{3}))");
    QVERIFY2(
        QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(sample.filename()).hasMatch(),
        qPrintable(sample.filename()));
}

void TestQSample::filenameIsStampedOnceAtConstruction() {
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
    const QSample sample(ModelGraph::INPUT_A, 0, "Dev", 48000.0, 2, 0);
    const QDateTime after = QDateTime::currentDateTime().addMSecs(1);
    const QString first = sample.filename();
    QTest::qWait(20);
    QCOMPARE(sample.filename(), first);

    const QDateTime stamp = QDateTime::fromString(first.section('_', 1, 1), Constant::Date::FORMAT);
    QVERIFY(stamp.isValid());
    QVERIFY(stamp >= before && stamp <= after);
    // A copy shares the name it was made with.
    const QSample copy = sample;
    QCOMPARE(copy.filename(), first);
}

void TestQSample::playbackHasNoFilename() {
    QVERIFY(QSample(ModelGraph::PLAYBACK, 1, "Out", 48000.0, 2, 0).filename().isEmpty());
    QVERIFY(QSample::byDefault(ModelGraph::PLAYBACK)->filename().isEmpty());
    QVERIFY(!QSample::byDefault(ModelGraph::MASTER)->filename().isEmpty());
}

QUILLON_TEST_MAIN(TestQSample)
#include "tst_QSample.moc"
