#include <QtTest>

#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/Model.h"
#include "core/timecode/Timecoder.h"

// The generator's bits and geometry.
class TestTimecodeSignal : public QObject {
    Q_OBJECT

private slots:
    void bitsFormTheCode();
    void bitPeaks();
    void motion();
};

using namespace ModelTimecode;

namespace {

Definition format(EnumTimecode f) {
    return Timecoder().definitions().at(f);
}

} // namespace

// The bits form the code words of the table's first positions (tst_Timecoder checks the table
// against the words the formats are known to start with).
void TestTimecodeSignal::bitsFormTheCode() {
    Timecoder timecoder;
    for (Definition def : timecoder.definitions()) {
        def = timecoder.findDefinition(def.name());
        const TimecodeSignal signal(def, 48000);
        for (quint32 n = 0; n < 100; ++n) {
            quint32 code = 0;
            for (int j = 0; j < def.bits(); ++j)
                code |= quint32(signal.bit(n + j)) << j;
            QCOMPARE(Lut::lookup(def.lut(), code), n);
        }
    }
}

// At 1000 frames per second of 1 cycle per second each frame advances a thousandth of a cycle; at
// whole cycles the primary peaks on its reading side by the bit and the secondary is at zero.
void TestTimecodeSignal::bitPeaks() {
    // flags 0: the right channel is primary, read positive; flags 7: the left one, read negative.
    for (auto [f, primary, sign] :
         {std::tuple{serato_sideB_FullDVS, 1, 1}, std::tuple{traktor_sideB, 0, -1}}) {
        Definition def = format(f);
        def.setResolution(1);
        TimecodeSignal signal(def, 1000);
        signal.setAmplitude(10000);
        signal.setStart(100);
        signal.move(4.0, 1.0);
        signal.render();
        for (int k = 0; k < 4; ++k) {
            const qint16* frame = signal.pcm().constData() + 2 * 1000 * k;
            QCOMPARE(frame[primary], sign * (signal.bit(100 + k) ? 10000 : 5000));
            QCOMPARE(frame[1 - primary], 0);
            // Forwards the secondary rises through zero at the bit point in both senses.
            QVERIFY(frame[2 * 100 + 1 - primary] > 0);
        }
    }
}

void TestTimecodeSignal::motion() {
    TimecodeSignal signal(format(generic_V2), 1000);
    signal.setStart(500.5);
    signal.move(1.0, 1.0);       // frames 0..999: +1000 cycles
    signal.ramp(1.0, 1.0, -1.0); // frames 1000..1999: back where it started
    signal.jump(100000.5);       // needle drop
    signal.silence(0.5);         // frames 2000..2499
    signal.move(0.5, -2.0);      // frames 2500..2999
    signal.render();
    QCOMPARE(signal.frameCount(), 3000);
    QCOMPARE(signal.cycles(999), 500.5 + 999);
    QCOMPARE(signal.expectedPosition(999), 1499 - 19); // forwards: the word ends at the last bit
    QVERIFY(std::abs(signal.cycles(1999) - 1500.5) < 1.0);
    QCOMPARE(signal.expectedPosition(2499), -1);
    for (int i = 2000; i < 2500; ++i)
        QVERIFY(signal.pcm()[2 * i] == 0 && signal.pcm()[2 * i + 1] == 0);
    QCOMPARE(signal.cycles(2501), 100000.5 - 2.0);
    QCOMPARE(signal.expectedPosition(2501), 99999); // backwards: the word starts at the last bit
}

QUILLON_TEST_MAIN(TestTimecodeSignal)
#include "tst_TimecodeSignal.moc"
