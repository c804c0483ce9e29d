#include <QTime>
#include <QtTest>

#include "TestSandbox.h"
#include "core/QSample.h"
#include "core/Time.h"

class TestTime : public QObject {
    Q_OBJECT

private slots:
    void onlyInputsAAndBCount();
    void frameCounter();
    void elapsedFramesSinceReset();
};

void TestTime::onlyInputsAAndBCount() {
    Time time;
    time.setCurrentSamplerate(ModelGraph::MASTER, 5.0);
    time.incrementCurrentSamplerate_m_s(ModelGraph::MASTER);
    time.resetStartTime(ModelGraph::MASTER);
    QCOMPARE(time.currentSamplerate(ModelGraph::MASTER), 0.0);
    QCOMPARE(time.currentSamplerate(ModelGraph::INPUT_A), 0.0);
    QCOMPARE(time.currentSamplerate_m_s(ModelGraph::INPUT_A), 0.0);
    QCOMPARE(time.startTime(ModelGraph::MASTER), 0.0);
    QCOMPARE(time.startTime(ModelGraph::INPUT_A), 0.0);
    const auto sample = QSample::byDefault(ModelGraph::MASTER);
    QCOMPARE(time.currentTimeToSamplerate(ModelGraph::MASTER, sample.get()), 0.0);

    time.setCurrentSamplerate(ModelGraph::INPUT_B, 7.0);
    QCOMPARE(time.currentSamplerate(ModelGraph::INPUT_B), 7.0);
    QCOMPARE(time.currentSamplerate(ModelGraph::INPUT_A), 0.0);
    time.resetCurrentSamplerate(ModelGraph::INPUT_B);
    QCOMPARE(time.currentSamplerate(ModelGraph::INPUT_B), 0.0);
}

void TestTime::frameCounter() {
    Time time;
    for (int i = 0; i < 3; ++i)
        time.incrementCurrentSamplerate_m_s(ModelGraph::INPUT_A);
    QCOMPARE(time.currentSamplerate_m_s(ModelGraph::INPUT_A), 3.0);
    QCOMPARE(time.currentSamplerate_m_s(ModelGraph::INPUT_B), 0.0);
    time.resetCurrentSamplerate_m_s(ModelGraph::INPUT_A);
    QCOMPARE(time.currentSamplerate_m_s(ModelGraph::INPUT_A), 0.0);
}

void TestTime::elapsedFramesSinceReset() {
    Time time;
    const int before = QTime::currentTime().msecsSinceStartOfDay();
    time.resetStartTime(ModelGraph::INPUT_A);
    const int after = QTime::currentTime().msecsSinceStartOfDay();
    const double start = time.startTime(ModelGraph::INPUT_A);
    // Unless the test runs across midnight, the stamp lies between the two readings.
    QVERIFY((start >= before && start <= after) || after < before);

    const auto sample = QSample::byDefault(ModelGraph::INPUT_A);
    const double first = time.currentTimeToSamplerate(ModelGraph::INPUT_A, sample.get());
    QVERIFY(first >= 0.0);
    QTest::qWait(30);
    // At least the 30 ms waited, at 48 frames per millisecond; no upper bound is assumed.
    const double later = time.currentTimeToSamplerate(ModelGraph::INPUT_A, sample.get());
    QVERIFY2(later >= first + 30 * 48.0, qPrintable(QString::number(later)));
    time.resetStartTime(ModelGraph::INPUT_A);
    QVERIFY(time.currentTimeToSamplerate(ModelGraph::INPUT_A, sample.get()) < later);
}

QUILLON_TEST_MAIN(TestTime)
#include "tst_Time.moc"
