#include <QtTest>

#include <cmath>

#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/timecode/Timecoder.h"

// The decoder driven frame by frame, as the receiver drives it: on hand-built samples and on
// signals generated from the format definitions, checked against the generator's truth.
class TestQTimecoder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void crossingSense_data();
    void crossingSense();
    void silence_data();
    void silence();
    void noiseNeverLocks_data();
    void noiseNeverLocks();
    void constantSpeed_data();
    void constantSpeed();
    void disturbedSignal_data();
    void disturbedSignal();
    void reversal_data();
    void reversal();
    void needleDrop_data();
    void needleDrop();
    void scratch_data();
    void scratch();
    void rampToStop_data();
    void rampToStop();
    void timeSinceLastBit();

private:
    Definition format(const QString& name) { return m_timecoder.findDefinition(name); }
    static void addFormatRows(unsigned rate);

    Timecoder m_timecoder;
};

namespace {

// What the decoder said after each frame.
struct Trace {
    QList<qint32> position;
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
};

Trace decode(Definition def, const TimecodeSignal& signal) {
    QTimecoder tc;
    Timecoder::initialization(&tc, &def, signal.sampleRate(), false);
    Trace trace;
    const qint64 frames = signal.frameCount();
    for (QList<qint32>* list : {&trace.position})
        list->reserve(frames);
    for (qint64 i = 0; i < frames; ++i) {
        Timecoder::submit(&tc, signal.pcm().constData() + 2 * i, 1);
        trace.position.append(Timecoder::position(&tc));
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
        if (p < 0)
            continue;
        const qint32 truth = signal.expectedPosition(i);
        if (truth < 0 || std::abs(p - truth) > 1) {
            qWarning("frame %lld: position %d, truth %d (%.3f cycles)", i, p, truth, signal.cycles(i));
            return false;
        }
    }
    return true;
}

bool alwaysValid(const Trace& trace, qint64 from, qint64 to) {
    for (qint64 i = from; i < to; ++i) {
        if (trace.position[i] < 0) {
            qWarning("frame %lld: no position", i);
            return false;
        }
    }
    return true;
}

double meanV(const Trace& trace, qint64 from, qint64 to) {
    double sum = 0.0;
    for (qint64 i = from; i < to; ++i)
        sum += trace.v[i];
    return sum / double(to - from);
}

// The middle of the record, placed between two crossings (crossings lie on quarter cycles), so a
// reversal after a whole number of cycles happens away from any crossing.
double middle(const Definition& def) {
    return def.length() / 2 + 0.375;
}

} // namespace

void TestQTimecoder::initTestCase() {
    for (const Definition& def : m_timecoder.definitions())
        QVERIFY(!format(def.name()).name().isEmpty());
}

void TestQTimecoder::addFormatRows(unsigned rate) {
    QTest::addColumn<QString>("name");
    QTest::addColumn<unsigned>("rate");
    const Timecoder timecoder;
    for (const Definition& def : timecoder.definitions())
        QTest::newRow(qPrintable(QString("%1 %2").arg(def.name()).arg(rate))) << def.name() << rate;
}

void TestQTimecoder::crossingSense_data() {
    // Frames as (primary, secondary) in 16-bit units; the test places them on the channels the
    // format names. The last frame makes exactly one channel cross.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("frames");
    QTest::addColumn<bool>("primaryCrosses");
    QTest::addColumn<bool>("forwards");
    QTest::addColumn<bool>("bitRead");
    const QList<int> primaryRisesSecondaryHigh{-10000, 10000, 10000, 10000};
    const QList<int> secondaryRisesPrimaryHigh{10000, -10000, 10000, 10000};
    const QList<int> secondaryRisesPrimaryLow{-10000, -10000, -10000, 10000};
    QTest::newRow("flags 0, primary rises")
        << "serato_sideA_FullDVS" << primaryRisesSecondaryHigh << true << false << false;
    QTest::newRow("flags 7, primary rises")
        << "traktor_sideA" << primaryRisesSecondaryHigh << true << true << false;
    QTest::newRow("flags 0, secondary rises, primary high")
        << "serato_sideB_FullDVS" << secondaryRisesPrimaryHigh << false << true << true;
    QTest::newRow("flags 7, secondary rises, primary high")
        << "traktor_sideB" << secondaryRisesPrimaryHigh << false << false << false;
    QTest::newRow("flags 0, secondary rises, primary low")
        << "generic_V2" << secondaryRisesPrimaryLow << false << false << false;
    QTest::newRow("flags 7, secondary rises, primary low")
        << "traktor_sideA" << secondaryRisesPrimaryLow << false << true << true;
}

void TestQTimecoder::crossingSense() {
    QFETCH(QString, name);
    QFETCH(QList<int>, frames);
    QFETCH(bool, primaryCrosses);
    QFETCH(bool, forwards);
    QFETCH(bool, bitRead);
    Definition def = format(name);
    QTimecoder tc;
    Timecoder::initialization(&tc, &def, 48000, false);
    // Serato: the right channel is primary; Traktor: the left one.
    const bool leftPrimary = def.flags() == 7;
    QList<qint16> pcm;
    for (int i = 0; i < frames.size(); i += 2) {
        const qint16 primary = qint16(frames[i]);
        const qint16 secondary = qint16(frames[i + 1]);
        pcm << (leftPrimary ? primary : secondary) << (leftPrimary ? secondary : primary);
    }
    Timecoder::submit(&tc, pcm.constData(), 1);
    tc.setForwards(!forwards);
    tc.setValidCounter(7);
    tc.setTimecodeTicker(100);
    Timecoder::submit(&tc, pcm.constData() + 2, 1);

    QCOMPARE(tc.primary()->swapped(), primaryCrosses);
    QCOMPARE(tc.secondary()->swapped(), !primaryCrosses);
    QCOMPARE(tc.forwards(), forwards);
    // The direction change restarts the count; a bit read after it (a 0, the reference level being
    // still at its start) agrees with the all-zero prediction and counts once.
    QCOMPARE(tc.validCounter(), bitRead ? 1u : 0u);
    QCOMPARE(tc.timecodeTicker() == 1, bitRead);
}

void TestQTimecoder::silence_data() {
    addFormatRows(48000);
}

void TestQTimecoder::silence() {
    QFETCH(QString, name);
    QFETCH(unsigned, rate);
    Definition def = format(name);
    QTimecoder tc;
    Timecoder::initialization(&tc, &def, rate, false);
    tc.pitch()->setV(1.0);
    const QList<qint16> zeros(2 * rate, 0);
    for (unsigned i = 0; i < rate; ++i) {
        Timecoder::submit(&tc, zeros.constData() + 2 * i, 1);
        QCOMPARE(Timecoder::position(&tc), -1);
        QVERIFY(!tc.primary()->positive() && !tc.secondary()->positive());
        QVERIFY(!tc.primary()->swapped() && !tc.secondary()->swapped());
        if (i == rate / 10)
            QVERIFY(std::abs(tc.pitch()->v()) < 0.1);
    }
    QVERIFY(std::abs(tc.pitch()->v()) < 1e-3);
}

void TestQTimecoder::noiseNeverLocks_data() {
    addFormatRows(48000);
}

void TestQTimecoder::noiseNeverLocks() {
    QFETCH(QString, name);
    QFETCH(unsigned, rate);
    const Definition def = format(name);
    for (quint32 seed : {1u, 2u}) {
        TimecodeSignal signal(def, rate);
        signal.setNoise(0.0, seed);
        signal.silence(3.0);
        signal.render();
        const Trace trace = decode(def, signal);
        QCOMPARE(trace.firstValid(), -1);
    }
}

void TestQTimecoder::constantSpeed_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<unsigned>("rate");
    QTest::addColumn<double>("speed");
    const Timecoder timecoder;
    for (unsigned rate : {44100u, 48000u}) {
        for (const Definition& def : timecoder.definitions()) {
            for (double speed : {1.0, 0.5, 2.0, -1.0})
                QTest::newRow(qPrintable(QString("%1 %2 %3").arg(def.name()).arg(rate).arg(speed)))
                    << def.name() << rate << speed;
        }
    }
    QTest::newRow("traktor_sideB 96000 1") << "traktor_sideB" << 96000u << 1.0;
}

void TestQTimecoder::constantSpeed() {
    QFETCH(QString, name);
    QFETCH(unsigned, rate);
    QFETCH(double, speed);
    const Definition def = format(name);
    TimecodeSignal signal(def, rate);
    signal.setStart(middle(def));
    signal.move(2.0, speed);
    signal.render();
    const Trace trace = decode(def, signal);
    const qint64 frames = signal.frameCount();

    const qint64 locked = trace.firstValid();
    QVERIFY(locked >= 0);
    QVERIFY2(locked < rate, "no position within a second");
    QVERIFY(positionsTrue(trace, signal, 0, frames));
    QVERIFY(alwaysValid(trace, locked, frames));
    for (qint64 i = locked; i < frames; ++i)
        QCOMPARE(trace.forwards[i], speed > 0);
    // Settled after 1.5 s: the tracked speed stays within 0.5 % through its ripple at each crossing.
    for (qint64 i = frames - rate / 2; i < frames; ++i)
        QVERIFY2(std::abs(trace.v[i] - speed) <= 0.005 * std::abs(speed),
                 qPrintable(QString::number(trace.v[i])));
}

void TestQTimecoder::disturbedSignal_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("snrDb");
    for (const QString name : {"serato_sideA_FullDVS", "traktor_sideA"}) {
        QTest::newRow(qPrintable(name + " offset up")) << name << 16000.0 << 4000.0 << 0.0;
        QTest::newRow(qPrintable(name + " offset down")) << name << 16000.0 << -4000.0 << 0.0;
        QTest::newRow(qPrintable(name + " noise 30 dB")) << name << 16000.0 << 0.0 << 30.0;
        QTest::newRow(qPrintable(name + " quiet")) << name << 1500.0 << 0.0 << 0.0;
    }
}

void TestQTimecoder::disturbedSignal() {
    QFETCH(QString, name);
    QFETCH(double, amplitude);
    QFETCH(double, offset);
    QFETCH(double, snrDb);
    const Definition def = format(name);
    const unsigned rate = 48000;
    TimecodeSignal signal(def, rate);
    signal.setAmplitude(amplitude);
    signal.setDcOffset(offset);
    if (snrDb > 0)
        signal.setNoise(snrDb, 7);
    signal.setStart(middle(def));
    signal.move(2.0, 1.0);
    signal.render();
    const Trace trace = decode(def, signal);
    const qint64 locked = trace.firstValid();
    QVERIFY(locked >= 0 && locked < rate);
    QVERIFY(positionsTrue(trace, signal, 0, signal.frameCount()));
}

void TestQTimecoder::reversal_data() {
    addFormatRows(48000);
}

void TestQTimecoder::reversal() {
    QFETCH(QString, name);
    QFETCH(unsigned, rate);
    const Definition def = format(name);
    TimecodeSignal signal(def, rate);
    signal.setStart(middle(def));
    signal.move(1.0, 1.0);
    signal.move(1.0, -1.0);
    signal.render();
    const Trace trace = decode(def, signal);
    const qint64 frames = signal.frameCount();
    QVERIFY(positionsTrue(trace, signal, 0, frames));

    qint64 flip = rate;
    while (flip < frames && trace.forwards[flip])
        ++flip;
    QVERIFY(trace.forwards[rate - 1]);
    QVERIFY(flip < frames);
    const qint64 relocked = trace.firstValid(flip);
    QVERIFY(relocked > flip);
    int bits = 0;
    for (qint64 i = flip; i <= relocked; ++i)
        bits += trace.bitRead[i];
    QVERIFY2(bits >= 25, qPrintable(QString::number(bits)));
    QVERIFY(relocked < rate + rate / 4);
    QVERIFY(alwaysValid(trace, relocked, frames));
}

void TestQTimecoder::needleDrop_data() {
    addFormatRows(44100);
}

void TestQTimecoder::needleDrop() {
    QFETCH(QString, name);
    QFETCH(unsigned, rate);
    const Definition def = format(name);
    TimecodeSignal signal(def, rate);
    signal.setStart(def.length() / 4 + 0.375);
    signal.move(1.0, 1.0);
    signal.jump(def.length() * 3 / 4 + 0.375);
    signal.move(1.0, 1.0);
    signal.render();
    const Trace trace = decode(def, signal);
    const qint64 drop = rate;
    QVERIFY(trace.firstValid() < drop);
    QVERIFY(positionsTrue(trace, signal, 0, drop));
    // Until its reading disagrees with the prediction the decoder may still follow the old groove.
    const qint64 settled = drop + rate / 4;
    QVERIFY(alwaysValid(trace, settled, signal.frameCount()));
    QVERIFY(positionsTrue(trace, signal, settled, signal.frameCount()));
}

void TestQTimecoder::scratch_data() {
    addFormatRows(48000);
}

void TestQTimecoder::scratch() {
    QFETCH(QString, name);
    QFETCH(unsigned, rate);
    const Definition def = format(name);
    TimecodeSignal signal(def, rate);
    signal.setStart(middle(def));
    const int strokes = 10;
    const qint64 stroke = rate / 5;
    for (int i = 0; i < strokes; ++i)
        signal.move(0.2, i % 2 ? -1.5 : 1.5);
    signal.render();
    const Trace trace = decode(def, signal);
    QVERIFY(positionsTrue(trace, signal, 0, signal.frameCount()));
    // Every stroke relocks, in its own direction, before it ends.
    for (int i = 0; i < strokes; ++i) {
        const qint64 end = (i + 1) * stroke;
        QVERIFY2(trace.position[end - 1] >= 0, qPrintable(QString("stroke %1").arg(i)));
        QCOMPARE(trace.forwards[end - 1], i % 2 == 0);
    }
}

void TestQTimecoder::rampToStop_data() {
    addFormatRows(44100);
}

void TestQTimecoder::rampToStop() {
    QFETCH(QString, name);
    QFETCH(unsigned, rate);
    const Definition def = format(name);
    TimecodeSignal signal(def, rate);
    signal.setStart(middle(def));
    signal.ramp(1.5, 0.5, 2.0);
    signal.ramp(1.0, 2.0, 0.0);
    signal.move(0.5, 0.0);
    signal.render();
    const Trace trace = decode(def, signal);
    const qint64 frames = signal.frameCount();
    QVERIFY(positionsTrue(trace, signal, 0, frames));
    QVERIFY(alwaysValid(trace, rate / 2, 2 * rate));
    // The speed follows the ramp; from 2.0 at 1.5 s it has fallen to 1.0 at 2.0 s.
    QVERIFY(std::abs(meanV(trace, rate * 2 - rate / 100, rate * 2 + rate / 100) - 1.0) < 0.05);
    QVERIFY(std::abs(trace.v.last()) < 0.01);
}

void TestQTimecoder::timeSinceLastBit() {
    Definition def = format("serato_sideB_FullDVS");
    TimecodeSignal signal(def, 48000);
    signal.setStart(middle(def));
    signal.move(0.5, 1.0);
    signal.render();
    QTimecoder tc;
    Timecoder::initialization(&tc, &def, 48000, false);
    double when = -7.0;
    for (qint64 i = 0; i < signal.frameCount(); ++i) {
        Timecoder::submit(&tc, signal.pcm().constData() + 2 * i, 1);
        const qint32 p = Timecoder::position(&tc, &when);
        QCOMPARE(Timecoder::position(&tc, nullptr), p);
        if (p < 0) {
            QCOMPARE(when, -7.0);
            continue;
        }
        QCOMPARE(when, tc.timecodeTicker() / 48000.0);
        // One bit per cycle: 48 frames at 1000 cycles per second.
        QVERIFY(tc.timecodeTicker() <= 48);
        when = -7.0;
    }
    QVERIFY(tc.validCounter() >= 25);
}

QUILLON_TEST_MAIN(TestQTimecoder)
#include "tst_QTimecoder.moc"
