#include <QtTest>

#include <cmath>

#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/Model.h"
#include "core/timecode/Timecoder.h"

namespace {

constexpr double NO_ANSWER = -7.0;

// What the decoder said after each frame.
struct Trace {
    QList<qint32> position;
    QList<double> when; // NO_ANSWER where position left it alone
    QList<bool> forwards;
    QList<double> v;
    QList<bool> bitRead;

    qint64 firstValid(qint64 from = 0) const {
        for (qint64 i = from; i < position.size(); ++i) {
            if (position[i] >= 0)
                return i;
        }
        return -1;
    }
    bool validThrough(qint64 from, qint64 to) const { return !position.mid(from, to - from).contains(-1); }
};

Trace decode(Definition def, const TimecodeSignal& signal) {
    QTimecoder tc;
    Timecoder::initialization(&tc, &def, signal.sampleRate(), false);
    Trace trace;
    for (qint64 i = 0; i < signal.frameCount(); ++i) {
        Timecoder::submit(&tc, signal.pcm().constData() + 2 * i, 1);
        double when = NO_ANSWER;
        trace.position.append(Timecoder::position(&tc, &when));
        trace.when.append(when);
        trace.forwards.append(tc.forwards());
        trace.v.append(tc.pitch()->v());
        // The ticker restarts at every bit and then counts the frame.
        trace.bitRead.append(tc.timecodeTicker() == 1);
    }
    return trace;
}

// Every answered position in [from, to) lies within one cycle of the truth: the decoder reads a bit
// on the crossing it detects, which hysteresis and the zero-level lag move by less than a quarter
// cycle from the bit point.
bool positionsTrue(const Trace& trace, const TimecodeSignal& signal, qint64 from, qint64 to) {
    for (qint64 i = from; i < to; ++i) {
        const qint32 p = trace.position[i];
        const qint32 truth = signal.expectedPosition(i);
        if (p >= 0 && (truth < 0 || std::abs(p - truth) > 1)) {
            qWarning("frame %lld: position %d, truth %d (%.3f cycles)", i, p, truth, signal.cycles(i));
            return false;
        }
    }
    return true;
}

// The middle of the record, placed between two crossings (crossings lie on quarter cycles), so a
// reversal after a whole number of cycles happens away from any crossing.
double middle(const Definition& def) {
    return def.length() / 2 + 0.375;
}

} // namespace

// Formats, code steps and lookup tables; the decoder driven frame by frame, as the receiver drives it, on
// signals generated from the format definitions, checked against the generator's truth. Direction turns
// (which restart the bit count) show in the reversals.
class TestTimecoder : public QObject {
    Q_OBJECT

private slots:
    void findDefinition() {
        Timecoder timecoder;
        const Definition def = timecoder.findDefinition("traktor_sideB");
        QCOMPARE((QList<int>{def.resolution(), def.flags(), def.bits(), def.length()}),
                 (QList<int>{2000, 7, 23, 2110000}));
        // Copies share the table; a rebuild would reset this.
        def.lut()->setAvail(12345);
        QCOMPARE(timecoder.findDefinition("traktor_sideB").lut()->avail(), 12345u);
        QVERIFY(Timecoder().findDefinition("traktor_sideB").lut() != def.lut());
        // Names match exactly.
        for (const QString name : {"Traktor_sideB", "traktor_sideB ", "Traktor Scratch side B", ""})
            QVERIFY(timecoder.findDefinition(name).name().isEmpty());
    }

    void wholeFormat_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<quint32>>("firstCodes"); // the words the record is known to start with
        const QList<quint32> serato{0x59017, 0xac80b, 0xd6405};
        const QList<QList<quint32>> codes{
            serato, serato, {}, {0x134503, 0x49a281, 0x64d140}, {0x32066c, 0x590336}};
        for (int i = 0; i < 5; ++i)
            QTest::newRow(qPrintable(Model::toText(ModelTimecode::EnumTimecode(i)))) << i << codes[i];
    }

    // Every position of every format: fwd and rev undo each other and the table finds each code word.
    void wholeFormat() {
        QFETCH(int, index);
        Timecoder timecoder;
        QCOMPARE(timecoder.definitions().size(), 5);
        // The table's order is the enumeration's, so a configured key finds its own row.
        const Definition def = timecoder.findDefinition(Model::toText(ModelTimecode::EnumTimecode(index)));
        QCOMPARE(def.lut(), timecoder.definitions()[index].lut());
        QFETCH(QList<quint32>, firstCodes);
        for (int n = 0; n < firstCodes.size(); ++n)
            QCOMPARE(Lut::lookup(def.lut(), firstCodes[n]), quint32(n));
        quint32 c = quint32(def.seed());
        for (quint32 n = 0; n < quint32(def.length()); ++n) {
            const quint32 next = Timecoder::fwd(c, &def);
            if (Timecoder::rev(next, &def) != c || Lut::lookup(def.lut(), c) != n)
                QFAIL(qPrintable(QString("position %1, code 0x%2").arg(n).arg(c, 0, 16)));
            c = next;
        }
        // The code word one step past the end, and one wider than the format, are not on the record.
        QCOMPARE(Lut::lookup(def.lut(), c), Lut::NOT_FOUND);
        QCOMPARE(Lut::lookup(def.lut(), quint32(def.seed()) | (1u << def.bits())), Lut::NOT_FOUND);
    }

    void brokenTable_data() {
        QTest::addColumn<qint32>("seed");
        QTest::addColumn<qint32>("length");
        QTest::addColumn<QString>("message");
        // A 4-bit register repeats within 15 steps.
        QTest::newRow("repeats") << 0x1 << 20 << "uniqueness check failed";
        // A seed wider than the code word cannot be stepped back to.
        QTest::newRow("not reversible") << 0x1f << 5 << "reversibility check failed";
    }

    void brokenTable() {
        QFETCH(qint32, seed);
        QFETCH(qint32, length);
        QFETCH(QString, message);
        Timecoder timecoder;
        Definition& entry = timecoder.definitions()[0];
        entry = Definition(entry.name(), entry.desc(), false, 1000, 0, 4, seed, 0x3, length, length);
        const QRegularExpression pattern("generic_V2 not used: " + QRegularExpression::escape(message));
        QTest::ignoreMessage(QtWarningMsg, pattern);
        QCOMPARE(Timecoder::buildLookup(&entry), -1);
        // findDefinition tries again, says so again, and does not hand the format out.
        QTest::ignoreMessage(QtWarningMsg, pattern);
        QVERIFY(timecoder.findDefinition("generic_V2").name().isEmpty());
        // The other formats are unaffected.
        QVERIFY(timecoder.findDefinition("serato_sideA_FullDVS").lookup());
    }

    // Codes past a full table are dropped, a new start empties it, and slots not filled yet (holding
    // code 0) never answer, whatever the hint.
    void lutFillAndRestart() {
        Lut lut;
        QCOMPARE(Lut::lookup(&lut, 0u), Lut::NOT_FOUND); // never prepared
        QCOMPARE(Lut::inititialization(&lut, 1), 0);
        Lut::send(&lut, 7);
        Lut::send(&lut, 8);
        QCOMPARE(Lut::lookup(&lut, 7u, 0u), 0u);
        QCOMPARE(Lut::lookup(&lut, 8u), Lut::NOT_FOUND);
        QCOMPARE(Lut::inititialization(&lut, 3), 0);
        Lut::send(&lut, 5);
        QCOMPARE(Lut::lookup(&lut, 7u, 0u), Lut::NOT_FOUND);
        QCOMPARE(Lut::lookup(&lut, 0u, 1u), Lut::NOT_FOUND);
        QCOMPARE(Lut::lookup(&lut, 5u, 9u), 0u);
    }

    void noSignal_data() { addFormatRows(); }

    void noSignal() {
        QFETCH(QString, name);
        const unsigned rate = 48000;
        Definition def = format(name);
        // Silence: no crossing, no position, and the tracked speed decays.
        QTimecoder tc;
        Timecoder::initialization(&tc, &def, rate, false);
        tc.pitch()->setV(1.0);
        const qint16 zero[2] = {0, 0};
        for (unsigned i = 0; i < rate; ++i) {
            Timecoder::submit(&tc, zero, 1);
            QCOMPARE(Timecoder::position(&tc), -1);
            QVERIFY(!tc.primary()->positive() && !tc.secondary()->positive());
            QVERIFY(!tc.primary()->swapped() && !tc.secondary()->swapped());
        }
        QVERIFY(std::abs(tc.pitch()->v()) < 1e-3);
        // The generator's lifted needle is silence too, right after a moving record.
        TimecodeSignal lifted(def, rate);
        lifted.setStart(middle(def));
        lifted.move(0.1, 1.0);
        lifted.silence(0.1);
        lifted.render();
        const QList<qint16>& pcm = lifted.pcm();
        QVERIFY(pcm.mid(0, pcm.size() / 2).count(0) < pcm.size() / 4);
        QCOMPARE(pcm.mid(pcm.size() / 2).count(0), pcm.size() / 2);
        // White noise at the carrier's power never gives a position.
        for (quint32 seed : {1u, 2u}) {
            TimecodeSignal signal(def, rate);
            signal.setNoise(0.0, seed);
            signal.silence(3.0);
            signal.render();
            QCOMPARE(decode(def, signal).firstValid(), -1);
        }
    }

    void tracksMotion_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<unsigned>("rate");
        QTest::addColumn<double>("from");  // the speed at the start of a 1 s ramp
        QTest::addColumn<double>("speed"); // at its end and for the second that follows
        QTest::addColumn<bool>("drop");    // a needle drop a quarter of the record on, between the two
        QTest::addColumn<QList<double>>("disturbance"); // amplitude, DC offset, SNR in dB (0: no noise)
        auto row = [](const QString& name, unsigned rate, double from, double speed, const char* what = "",
                      bool drop = false, const QList<double>& disturbance = {16000, 0, 0}) {
            QTest::addRow("%s %u %g %s", qPrintable(name), rate, speed, what)
                << name << rate << from << speed << drop << disturbance;
        };
        for (const Definition& def : m_timecoder.definitions()) {
            for (unsigned rate : {44100u, 48000u}) {
                for (double speed : {1.0, 0.5, 2.0, -1.0})
                    row(def.name(), rate, speed, speed);
            }
            row(def.name(), 44100, 1.0, 1.0, "needle drop", true);
        }
        row("traktor_sideB", 96000, 1.0, 1.0);
        for (const QString name : {"serato_sideA_FullDVS", "traktor_sideA"}) {
            row(name, 48000, 0.5, 2.0, "from 0.5");
            row(name, 48000, 1.0, 1.0, "offset up", false, {16000, 4000, 0});
            row(name, 48000, 1.0, 1.0, "offset down", false, {16000, -4000, 0});
            row(name, 48000, 1.0, 1.0, "noise 30 dB", false, {16000, 0, 30});
            row(name, 48000, 1.0, 1.0, "quiet", false, {1500, 0, 0});
        }
    }

    // Locks within a second and stays locked on the true position in the right direction; the tracked
    // speed settles within 0.5 % through its ripple at each crossing.
    void tracksMotion() {
        QFETCH(QString, name);
        QFETCH(unsigned, rate);
        QFETCH(double, from);
        QFETCH(double, speed);
        QFETCH(bool, drop);
        QFETCH(QList<double>, disturbance);
        const Definition def = format(name);
        TimecodeSignal signal(def, rate);
        signal.setAmplitude(disturbance[0]);
        signal.setDcOffset(disturbance[1]);
        if (disturbance[2] > 0)
            signal.setNoise(disturbance[2], 7);
        signal.setStart(middle(def));
        signal.ramp(1.0, from, speed);
        if (drop)
            signal.jump(middle(def) + def.length() / 4);
        signal.move(1.0, speed);
        signal.render();
        const Trace trace = decode(def, signal);
        const qint64 frames = signal.frameCount();
        const qint64 locked = trace.firstValid();
        QVERIFY2(locked >= 0 && locked < rate, "no position within a second");
        // Until its reading disagrees with the prediction the decoder may still follow the old groove.
        const qint64 settled = drop ? rate + rate / 4 : rate;
        QVERIFY(trace.validThrough(locked, rate) && trace.validThrough(settled, frames));
        QVERIFY(positionsTrue(trace, signal, 0, rate) && positionsTrue(trace, signal, settled, frames));
        QVERIFY(!trace.forwards.mid(locked).contains(speed < 0));
        for (qint64 i = frames - rate / 2; i < frames; ++i)
            QVERIFY2(std::abs(trace.v[i] - speed) <= 0.005 * std::abs(speed),
                     qPrintable(QString::number(trace.v[i])));
        // With a position comes the time since the bit read last, that frame included.
        qint64 lastBit = 0;
        for (qint64 i = 0; i < frames; ++i) {
            lastBit = trace.bitRead[i] ? i : lastBit;
            QCOMPARE(trace.when[i], trace.position[i] < 0 ? NO_ANSWER : (i - lastBit + 1) / double(rate));
        }
    }

    void reversals_data() { addFormatRows(); }

    // Strokes of 0.2 s at 1.5x, back and forth: after each turn no position for at least 25 bits, then
    // the true one again, in the stroke's direction, before the stroke ends.
    void reversals() {
        QFETCH(QString, name);
        const unsigned rate = 48000;
        const Definition def = format(name);
        TimecodeSignal signal(def, rate);
        signal.setStart(middle(def));
        for (int k = 0; k < 10; ++k)
            signal.move(0.2, k % 2 ? -1.5 : 1.5);
        signal.render();
        const Trace trace = decode(def, signal);
        QVERIFY(positionsTrue(trace, signal, 0, signal.frameCount()));
        const qint64 stroke = rate / 5;
        for (qint64 turn = stroke; turn < signal.frameCount(); turn += stroke) {
            const bool forwards = turn / stroke % 2 == 0;
            qint64 flip = turn;
            while (flip < turn + stroke && trace.forwards[flip] != forwards)
                ++flip;
            const qint64 relocked = trace.firstValid(flip);
            QVERIFY2(relocked > 0 && relocked < turn + stroke, qPrintable(QString("turn at %1").arg(turn)));
            QVERIFY(trace.validThrough(relocked, turn + stroke));
            const qsizetype bits = trace.bitRead.mid(flip, relocked - flip + 1).count(true);
            QVERIFY2(bits >= 25, qPrintable(QString::number(bits)));
        }
    }

private:
    Definition format(const QString& name) { return m_timecoder.findDefinition(name); }

    void addFormatRows() {
        QTest::addColumn<QString>("name");
        for (const Definition& def : m_timecoder.definitions())
            QTest::newRow(qPrintable(def.name())) << def.name();
    }

    Timecoder m_timecoder;
};

QUILLON_TEST_MAIN(TestTimecoder)
#include "tst_Timecoder.moc"
