#include <QSignalSpy>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Performance.h"

class TestPerformance : public QObject {
    Q_OBJECT

private slots:
    void startsAtZeroWithDefaultDescriptors();
    void descriptorSwapDerivesStep();
    void stepNeedsRateAndPointsAboveZero_data();
    void stepNeedsRateAndPointsAboveZero();
    void everyGraphButBReadsSlotA();
    void displayFrequency_data();
    void displayFrequency();
    void replacedDescriptorStaysWithItsHolder();
};

void TestPerformance::startsAtZeroWithDefaultDescriptors() {
    const Performance performance;
    for (ModelGraph::EnumGraph g : {ModelGraph::INPUT_A, ModelGraph::INPUT_B}) {
        QCOMPARE(performance.inputBuffer(g), 0.0);
        QCOMPARE(performance.processingBuffer(g), 0.0);
        QCOMPARE(performance.processingSampleStep(g), 0.0);
        QCOMPARE(performance.inputSample(g)->tag(), g);
        QCOMPARE(performance.inputSample(g)->samplerate(), 48000.0);
    }
    QCOMPARE(performance.outputSample()->tag(), ModelGraph::PLAYBACK);
    QCOMPARE(performance.outputBuffer(), 0.0);
    QCOMPARE(performance.displayFrequency(), 0.0);
}

void TestPerformance::descriptorSwapDerivesStep() {
    Performance performance;
    QSignalSpy spy(&performance, &Performance::s_InputSample);
    performance.setProcessingBuffer(ModelGraph::INPUT_A, 300);
    QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_A), 160.0);
    performance.setInputSample(ModelGraph::INPUT_A,
                               std::make_shared<const QSample>(ModelGraph::INPUT_A, 1, "X", 44100.0, 2, 0),
                               true);
    QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_A), 147.0);
    QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_B), 0.0);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).value<ModelGraph::EnumGraph>(), ModelGraph::INPUT_A);
    performance.setInputSample(ModelGraph::INPUT_A, QSample::byDefault(ModelGraph::INPUT_A), false);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_A), 160.0);
}

void TestPerformance::stepNeedsRateAndPointsAboveZero_data() {
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("points");
    QTest::newRow("no points") << 48000.0 << 0.0;
    QTest::newRow("negative points") << 48000.0 << -300.0;
    QTest::newRow("NaN points") << 48000.0 << qQNaN();
    QTest::newRow("no rate") << 0.0 << 300.0;
    QTest::newRow("tiny points") << 48000.0 << 1e-320;
}

void TestPerformance::stepNeedsRateAndPointsAboveZero() {
    QFETCH(double, rate);
    QFETCH(double, points);
    Performance performance;
    performance.setProcessingBuffer(ModelGraph::INPUT_B, 300);
    QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_B), 160.0);
    performance.setInputSample(
        ModelGraph::INPUT_B, std::make_shared<const QSample>(ModelGraph::INPUT_B, 1, "X", rate, 2, 0), false);
    performance.setProcessingBuffer(ModelGraph::INPUT_B, points);
    QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_B), 160.0);
}

void TestPerformance::everyGraphButBReadsSlotA() {
    Performance performance;
    performance.setProcessingBuffer(ModelGraph::MASTER, 600);
    performance.setInputBuffer(ModelGraph::CURRENT, 256);
    QCOMPARE(performance.processingBuffer(ModelGraph::INPUT_A), 600.0);
    QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_A), 80.0);
    QCOMPARE(performance.inputBuffer(ModelGraph::INPUT_A), 256.0);
    QCOMPARE(performance.processingBuffer(ModelGraph::INPUT_B), 0.0);
    QCOMPARE(performance.inputBuffer(ModelGraph::INPUT_B), 0.0);
}

void TestPerformance::displayFrequency_data() {
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("period");
    QTest::addColumn<int>("signals");
    QTest::newRow("120 Hz") << 120.0 << 1000.0 / 120.0 << 1;
    QTest::newRow("50 Hz") << 50.0 << 20.0 << 1;
    QTest::newRow("0 Hz ignored") << 0.0 << 0.0 << 0;
    QTest::newRow("negative ignored") << -50.0 << 0.0 << 0;
    QTest::newRow("NaN ignored") << qQNaN() << 0.0 << 0;
}

void TestPerformance::displayFrequency() {
    QFETCH(double, hz);
    Performance performance;
    QSignalSpy spy(&performance, &Performance::signalDisplayFrequency);
    performance.setDisplayFrequency(hz);
    QTEST(performance.displayFrequency(), "period");
    QTEST(int(spy.size()), "signals");
}

void TestPerformance::replacedDescriptorStaysWithItsHolder() {
    Performance performance;
    QSignalSpy spy(&performance, &Performance::s_OutputSample);
    const std::shared_ptr<const QSample> held = performance.outputSample();
    performance.setOutputSample(
        std::make_shared<const QSample>(ModelGraph::PLAYBACK, 2, "Out", 44100.0, 2, 0));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(held->deviceID(), -1);
    QCOMPARE(performance.outputSample()->deviceName(), QString("Out"));
}

QUILLON_TEST_MAIN(TestPerformance)
#include "tst_Performance.moc"
