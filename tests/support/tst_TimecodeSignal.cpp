#include <QtTest>

#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/timecode/Timecoder.h"

// The generator against the code words the formats are known to start with, and its geometry.
class TestTimecodeSignal : public QObject {
    Q_OBJECT

private slots:
    void bitsFormKnownCodeWords_data();
    void bitsFormKnownCodeWords();
    void bitPeaks_data();
    void bitPeaks();
    void motion();
};

namespace {

Definition formatNamed(const QString& name) {
    const Timecoder timecoder;
    for (const Definition& def : timecoder.definitions()) {
        if (def.name() == name)
            return def;
    }
    return Definition();
}

} // namespace

void TestTimecodeSignal::bitsFormKnownCodeWords_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<quint32>>("codes");
    QTest::newRow("serato_sideA_FullDVS")
        << "serato_sideA_FullDVS" << QList<quint32>{0x59017, 0xac80b, 0xd6405};
    QTest::newRow("traktor_sideA") << "traktor_sideA" << QList<quint32>{0x134503, 0x49a281, 0x64d140};
    QTest::newRow("traktor_sideB") << "traktor_sideB" << QList<quint32>{0x32066c, 0x590336};
}

void TestTimecodeSignal::bitsFormKnownCodeWords() {
    QFETCH(QString, name);
    QFETCH(QList<quint32>, codes);
    const Definition def = formatNamed(name);
    const TimecodeSignal signal(def, 48000);
    for (int n = 0; n < codes.size(); ++n) {
        quint32 code = 0;
        for (int j = 0; j < def.bits(); ++j)
            code |= quint32(signal.bit(n + j)) << j;
        QCOMPARE(code, codes[n]);
    }
}

void TestTimecodeSignal::bitPeaks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("leftPrimary");
    QTest::addColumn<int>("sign");
    QTest::newRow("flags 0") << "serato_sideB_FullDVS" << false << 1;
    QTest::newRow("flags 7") << "traktor_sideB" << true << -1;
}

void TestTimecodeSignal::bitPeaks() {
    // At 1000 frames per second of 1 cycle per second each frame advances a thousandth of a cycle;
    // at whole cycles the primary peaks on its reading side by the bit and the secondary is at zero.
    QFETCH(QString, name);
    QFETCH(bool, leftPrimary);
    QFETCH(int, sign);
    Definition def = formatNamed(name);
    def.setResolution(1);
    TimecodeSignal signal(def, 1000);
    signal.setAmplitude(10000);
    signal.setZeroBitRatio(0.5);
    signal.setStart(100);
    signal.move(4.0, 1.0);
    signal.render();
    for (int k = 0; k < 4; ++k) {
        const qint16* frame = signal.pcm().constData() + 2 * 1000 * k;
        const int primary = frame[leftPrimary ? 0 : 1];
        const int secondary = frame[leftPrimary ? 1 : 0];
        QCOMPARE(primary, sign * (signal.bit(100 + k) ? 10000 : 5000));
        QCOMPARE(secondary, 0);
        // Forwards the secondary rises through zero at the bit point in both senses.
        const qint16* after = frame + 2 * 100;
        QVERIFY(after[leftPrimary ? 1 : 0] > 0);
    }
}

void TestTimecodeSignal::motion() {
    const Definition def = formatNamed("generic_V2");
    TimecodeSignal signal(def, 1000);
    signal.setStart(500.5);
    signal.move(1.0, 1.0);       // frames 0..999: +1000 cycles
    signal.ramp(1.0, 1.0, -1.0); // frames 1000..1999: back where it started
    signal.jump(100000.5);       // needle drop
    signal.silence(0.5);         // frames 2000..2499
    signal.move(0.5, -2.0);      // frames 2500..2999
    signal.render();
    QCOMPARE(signal.frameCount(), 3000);
    QCOMPARE(signal.cycles(999), 500.5 + 999);
    QCOMPARE(signal.expectedPosition(999), 1499 - 19);
    QCOMPARE(signal.cycles(1000), 1500.5);
    QVERIFY(std::abs(signal.cycles(1999) - 1500.5) < 1.0);
    QCOMPARE(signal.cycles(2000), 100000.5);
    QCOMPARE(signal.expectedPosition(2499), -1);
    for (int i = 2000; i < 2500; ++i)
        QVERIFY(signal.pcm()[2 * i] == 0 && signal.pcm()[2 * i + 1] == 0);
    QCOMPARE(signal.cycles(2501), 100000.5 - 2.0);
    QCOMPARE(signal.expectedPosition(2501), 99999);
    QCOMPARE(signal.speed(2501), -2.0);
}

QUILLON_TEST_MAIN(TestTimecodeSignal)
#include "tst_TimecodeSignal.moc"
