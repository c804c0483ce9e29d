#include <QRegularExpression>
#include <QtTest>

#include "TestSandbox.h"
#include "core/QSample.h"

class TestQSample : public QObject {
    Q_OBJECT

private slots:
    void byDefault();
    void filename_data();
    void filename();
};

void TestQSample::byDefault() {
    const std::shared_ptr<const QSample> sample = QSample::byDefault(ModelGraph::INPUT_B);
    QCOMPARE(sample->tag(), ModelGraph::INPUT_B);
    QCOMPARE(sample->samplerateInMinute(), 2880000.0);
    QCOMPARE(sample->samplerateInMs(), 48.0);
    QCOMPARE(sample->angleForASample(), 1.0 / 240.0);
    QVERIFY(QSample::byDefault(ModelGraph::PLAYBACK)->filename().isEmpty());
}

void TestQSample::filename_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("expected"); // TIME stands for the stamp
    QTest::newRow("slash") << "In/Out" << 44100.0 << "3_TIME_InandOut_4p1_44100.wav";
    QTest::newRow("two slashes") << "a/b/c" << 48000.0 << "3_TIME_aandbandc_4p1_48000.wav";
    QTest::newRow("percent codes stay") << "D %1 %2" << 96000.0 << "3_TIME_D %1 %2_4p1_96000.wav";
    QTest::newRow("fractional rate") << "X" << 22050.5 << "3_TIME_X_4p1_22050.5.wav";
}

void TestQSample::filename() {
    QFETCH(QString, device);
    QFETCH(double, rate);
    QFETCH(QString, expected);
    const QSample sample(ModelGraph::INPUT_A, 3, device, rate, 4, 1);
    const QString name = sample.filename();
    const QString pattern = QRegularExpression::escape(expected).replace("TIME", R"(\d{8}-\d{6},\d{3})");
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(name).hasMatch(),
             qPrintable(name));
    // Stamped once, when the descriptor is made.
    QTest::qWait(5);
    QCOMPARE(sample.filename(), name);
}

QUILLON_TEST_MAIN(TestQSample)
#include "tst_QSample.moc"
