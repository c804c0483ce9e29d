#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <thread>

#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/Timecode.h"
#include "core/Vinyl.h"
#include "core/midi/Midi.h"
#include "core/timecode/ReceiveTimecodeDVSObject.h"
#include "core/timecode/Timecoder.h"

// The receiver driven frame by frame with generated records, checked against the generator's true
// record position and, where the decoder's own answers matter, against a decoder run beside it.
class TestReceiveTimecodeDVSObject : public QObject {
    Q_OBJECT

private slots:
    void init();
    void relativeOneSecond_data();
    void relativeOneSecond();
    void absoluteFollowsRecord_data();
    void absoluteFollowsRecord();
    void absoluteMovesBetweenBits();
    void needleDrop_data();
    void needleDrop();
    void jumpOfExactly1000IsNoJump();
    void fractionalStep();
    void audibility_data();
    void audibility();
    void unknownFormatLeavesInputInactive();
    void restartFromAnotherThread();
};

namespace {

constexpr unsigned RATE = 48000;

Singleton* registry() {
    return Singleton::instance();
}

Definition formatNamed(const QString& name) {
    static Timecoder timecoder; // builds each table once for the whole test
    return timecoder.findDefinition(name);
}

// What the settings panel and the buffer combos leave behind before a run.
void configure(const QString& format, bool fullDVS, double pointsPerSecond) {
    registry()->instanceSetting()->setParamTimecode(format);
    Mode* mode = registry()->instanceMode();
    fullDVS ? mode->modeFullDVS_on() : mode->modeFullDVS_off();
    for (ModelGraph::EnumGraph graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B})
        registry()->instancePerformance()->setProcessingBuffer(graph, pointsPerSecond);
}

// One input's main curve and receiver, started as the recorder starts a run.
struct Input {
    explicit Input(ModelGraph::EnumGraph graph = ModelGraph::INPUT_A)
        : curve(graph), receiver(graph, &curve) {
        receiver.initialise();
        receiver.updateBPM();
    }
    void play(const TimecodeSignal& signal, qint64 from = 0, qint64 to = -1) {
        for (qint64 i = from; i < (to < 0 ? signal.frameCount() : to); ++i)
            receiver.execute(signal.pcm().constData() + 2 * i);
    }
    QList<QData> points() const {
        QList<QData> out(curve.curveGlobal()->size());
        curve.curveGlobal()->copyRange(0, int(out.size()), out.data());
        return out;
    }
    QCurve curve;
    ReceiveTimecodeDVSObject receiver;
};

// The decoder's answer after each frame, as the receiver's own decoder gives it.
QList<qint32> decoderPositions(Definition def, const TimecodeSignal& signal) {
    QTimecoder tc;
    Timecoder::initialization(&tc, &def, signal.sampleRate(), false);
    QList<qint32> out(signal.frameCount());
    for (qint64 i = 0; i < signal.frameCount(); ++i) {
        Timecoder::submit(&tc, signal.pcm().constData() + 2 * i, 1);
        out[i] = Timecoder::position(&tc);
    }
    return out;
}

// The record's true position as a position of the code: the word read forwards ends at the stylus.
double truePosition(const TimecodeSignal& signal, const Definition& def, qint32 frame) {
    return signal.cycles(frame) - (def.bits() - 1);
}

} // namespace

void TestReceiveTimecodeDVSObject::init() {
    Mode* mode = registry()->instanceMode();
    mode->modeMix_off();
    mode->modeReverse_off();
    for (ModelGraph::EnumGraph graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B})
        registry()->instancePerformance()->setInputSample(graph, QSample::byDefault(graph), false);
    registry()->instanceSetting()->setParamVinylDeltaPositionA(0.0);
}

void TestReceiveTimecodeDVSObject::relativeOneSecond_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("speed");
    const Timecoder timecoder;
    for (const Definition& def : timecoder.definitions()) {
        QTest::newRow(qPrintable(def.name() + " forwards")) << def.name() << 1.0;
        QTest::newRow(qPrintable(def.name() + " backwards")) << def.name() << -1.0;
    }
}

// The travel over one second, once the speed tracker has settled, in the scale the stored curves
// use: rate / (rate + 1000) of the carrier cycles, doubled for the 2000-cycle formats.
void TestReceiveTimecodeDVSObject::relativeOneSecond() {
    QFETCH(QString, name);
    QFETCH(double, speed);
    configure(name, false, 300);
    const Definition def = formatNamed(name);
    TimecodeSignal signal(def, RATE);
    signal.setStart(def.length() / 2 + 0.375);
    signal.move(1.5 + 1.0 / 300, speed);
    signal.render();
    Input input;
    input.play(signal);

    const QList<QData> points = input.points();
    QCOMPARE(points.size(), 451);
    const QData& from = points[150]; // 0.5 s
    const QData& to = points[450];   // 1.5 s
    QCOMPARE(to.samplerate(), 72000);
    const double scale = def.resolution() / 1000.0;
    // 0.2 %: the tracker's own residual adds about a cycle a second; reading the full 1000 cycles
    // would be 2 % off.
    const double travel = to.y() - from.y();
    QVERIFY2(std::abs(travel / (speed * 979.6 * scale) - 1.0) < 0.002, qPrintable(QString::number(travel)));
    const double turn = to.targetPosition() - from.targetPosition();
    QVERIFY2(std::abs(turn / (speed * 195.9) - 1.0) < 0.002, qPrintable(QString::number(turn)));
    QCOMPARE(registry()->instanceVinyl()->vinylPosition(ModelGraph::INPUT_A), to.targetPosition());
    const ModelRotation::EnumRotation rotation = speed > 0 ? ModelRotation::FORWARD : ModelRotation::BACK;
    for (const QData& p : points) {
        QCOMPARE(p.timecode(), 0);
        // The first crossings may be read either way.
        if (p.samplerate() >= 480)
            QCOMPARE(p.rotation(), rotation);
    }
    QVERIFY(registry()->instanceTimecode()->modeTimecode(ModelGraph::INPUT_A));
    QCOMPARE(registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_A),
             double(signal.frameCount()));
}

void TestReceiveTimecodeDVSObject::absoluteFollowsRecord_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("serato side A") << "serato_sideA_FullDVS";
    QTest::newRow("serato side B") << "serato_sideB_FullDVS";
}

// Forwards, a turn to backwards, backwards, a turn to forwards: wherever the decoder knows the
// position, y is the record's true position; before the first one, points wait for the back-fill.
void TestReceiveTimecodeDVSObject::absoluteFollowsRecord() {
    QFETCH(QString, name);
    configure(name, true, 300);
    registry()->instanceSetting()->setParamVinylDeltaPositionA(30.0);
    const Definition def = formatNamed(name);
    TimecodeSignal signal(def, RATE);
    signal.setStart(100000.375);
    signal.move(0.5, 1.0);
    signal.ramp(0.4, 1.0, -1.0);
    signal.move(0.3, -1.0);
    signal.ramp(0.4, -1.0, 1.0);
    signal.move(0.3, 1.0);
    signal.render();
    const QList<qint32> decoded = decoderPositions(def, signal);

    Input input;
    QCOMPARE(registry()->instanceVinyl()->vinylDeltaPosition(ModelGraph::INPUT_A), 30.0);
    // A position needs 25 agreeing bits after the first 20: none within 20 ms at normal speed.
    input.play(signal, 0, 960);
    QVERIFY(!registry()->instanceTimecode()->modeTimecode(ModelGraph::INPUT_A));
    const QList<QData> early = input.points();
    QCOMPARE(early.size(), 6);
    for (const QData& p : early)
        QCOMPARE(p.timecode(), -1);
    input.play(signal, 960);
    QVERIFY(registry()->instanceTimecode()->modeTimecode(ModelGraph::INPUT_A));
    QCOMPARE(registry()->instanceTimecode()->timecodeOffset(ModelGraph::INPUT_A), 0.0);

    const QList<QData> points = input.points();
    int lockedForwards = 0;
    int lockedBackwards = 0;
    for (int k = 0; k < points.size(); ++k) {
        const QData& p = points[k];
        QVERIFY2(p.timecode() != -1, qPrintable(QString("point %1 not back-filled").arg(k)));
        // Once the tracker has started, up to the first turn, y only grows and by no more than the
        // record moved.
        if (p.samplerate() >= 480 && p.samplerate() < 24000) {
            const double dy = p.y() - points[k - 1].y();
            const double travel = signal.cycles(p.samplerate()) - signal.cycles(points[k - 1].samplerate());
            QVERIFY2(dy >= 0.0 && dy <= travel + 1.0, qPrintable(QString("point %1: %2").arg(k).arg(dy)));
        }
        if (decoded[p.samplerate()] < 0)
            continue;
        const double error = p.y() - truePosition(signal, def, p.samplerate());
        QVERIFY2(std::abs(error) < 1.0, qPrintable(QString("point %1: off by %2").arg(k).arg(error)));
        QVERIFY(std::abs(p.targetPosition() - (p.y() / 1000.0 * 200.0 - 30.0)) < 1e-9);
        (p.rotation() == ModelRotation::FORWARD ? lockedForwards : lockedBackwards)++;
    }
    QVERIFY(lockedForwards > 150);
    QVERIFY(lockedBackwards > 50);
}

// Four points a carrier cycle: each lies further along than the one before, not on the last bit.
void TestReceiveTimecodeDVSObject::absoluteMovesBetweenBits() {
    configure("serato_sideA_FullDVS", true, 4000);
    const Definition def = formatNamed("serato_sideA_FullDVS");
    TimecodeSignal signal(def, RATE);
    signal.setStart(30000.375);
    signal.move(0.5, 1.0);
    signal.render();
    Input input;
    input.play(signal);
    const QList<QData> points = input.points();
    for (int k = 1000; k < points.size(); ++k) {
        // 12 frames at 1/49 of a cycle each.
        const double dy = points[k].y() - points[k - 1].y();
        QVERIFY2(dy > 0.15 && dy < 0.4, qPrintable(QString("point %1: %2").arg(k).arg(dy)));
    }
}

void TestReceiveTimecodeDVSObject::needleDrop_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<QList<double>>("drops");
    QTest::addColumn<double>("pointsPerSecond");
    QTest::newRow("forwards 5,000 to 300,000") << 5000.375 << QList<double>{300000.375} << 300.0;
    QTest::newRow("backwards 300,000 to 5,000") << 300000.375 << QList<double>{5000.375} << 300.0;
    // Both drops and both new positions fall between two points 0.2 s apart.
    QTest::newRow("there and back within one point")
        << 5000.375 << QList<double>{300000.375, 5100.375} << 5.0;
}

// The offset moves once, at the first point after the new position is read, and that point
// continues the curve where the previous one left it.
void TestReceiveTimecodeDVSObject::needleDrop() {
    QFETCH(double, start);
    QFETCH(QList<double>, drops);
    QFETCH(double, pointsPerSecond);
    configure("serato_sideA_FullDVS", true, pointsPerSecond);
    const Definition def = formatNamed("serato_sideA_FullDVS");
    TimecodeSignal signal(def, RATE);
    signal.setStart(start);
    signal.move(0.25, 1.0);
    for (double drop : drops) {
        signal.jump(drop);
        signal.move(0.075, 1.0);
    }
    signal.move(0.3, 1.0);
    signal.render();
    // The decoder reads every new place within the 75 ms that follow its drop.
    const QList<qint32> decoded = decoderPositions(def, signal);
    for (int d = 0; d < drops.size(); ++d) {
        const qint32 readBy = 12000 + 3600 * (d + 1) - 1;
        QVERIFY(std::abs(decoded[readBy] - truePosition(signal, def, readBy)) < 2.0);
    }

    Input input;
    Timecode* timecode = registry()->instanceTimecode();
    QList<int> moves;
    double offset = 0.0;
    for (qint64 i = 0; i < signal.frameCount(); ++i) {
        input.play(signal, i, i + 1);
        if (timecode->timecodeOffset(ModelGraph::INPUT_A) != offset) {
            offset = timecode->timecodeOffset(ModelGraph::INPUT_A);
            moves.append(input.curve.curveGlobal()->size() - 1);
        }
    }
    QCOMPARE(moves.size(), 1);
    const QList<QData> points = input.points();
    QVERIFY(std::abs(points[moves[0]].y() - points[moves[0] - 1].y()) < 1e-6);
    // Afterwards y follows the record again, shifted by the offset.
    const QData& last = points.last();
    QVERIFY(std::abs(last.y() - offset - truePosition(signal, def, last.samplerate())) < 1.0);
}

// Drops are searched whose first new position lies exactly 1000 or 1001 past the last one: the
// decoder needs a varying number of bits (35 to 45 here) to read a new place.
void TestReceiveTimecodeDVSObject::jumpOfExactly1000IsNoJump() {
    configure("serato_sideA_FullDVS", true, 300);
    const Definition def = formatNamed("serato_sideA_FullDVS");
    auto render = [&](double start, double jump) {
        auto signal = std::make_unique<TimecodeSignal>(def, RATE);
        signal->setStart(start);
        signal->move(0.2, 1.0);
        signal->jump(start + 200.0 + jump);
        signal->move(0.2, 1.0);
        signal->render();
        return signal;
    };
    // The largest step between successive new positions; 0 when one goes backwards.
    auto largestStep = [&](const TimecodeSignal& signal) {
        qint32 last = -1;
        qint32 largest = 0;
        for (qint32 p : decoderPositions(def, signal)) {
            if (p < 0 || p == last)
                continue;
            if (last >= 0 && p < last)
                return 0;
            if (last >= 0)
                largest = std::max(largest, p - last);
            last = p;
        }
        return largest;
    };
    for (qint32 wanted : {1000, 1001}) {
        std::unique_ptr<TimecodeSignal> found;
        for (double start = 20000.375; start < 30000 && !found; start += 1000.0) {
            for (int jump = wanted - 60; jump <= wanted - 30 && !found; ++jump) {
                auto signal = render(start, jump);
                if (largestStep(*signal) == wanted)
                    found = std::move(signal);
            }
        }
        QVERIFY(found);
        Input input;
        input.play(*found);
        const double offset = registry()->instanceTimecode()->timecodeOffset(ModelGraph::INPUT_A);
        QCOMPARE(offset == 0.0, wanted == 1000);
    }
}

// 44,100 frames a second at 600 points a second.
void TestReceiveTimecodeDVSObject::fractionalStep() {
    configure("generic_V2", false, 600);
    registry()->instancePerformance()->setInputSample(
        ModelGraph::INPUT_A, std::make_shared<QSample>(ModelGraph::INPUT_A, -1, "", 44100.0, 2, 0), false);
    QCOMPARE(registry()->instancePerformance()->processingSampleStep(ModelGraph::INPUT_A), 73.5);
    const qint16 silence[2] = {0, 0};
    Input input;
    for (int i = 0; i < 300; ++i)
        input.receiver.execute(silence);
    QList<qint32> frames;
    for (const QData& p : input.points())
        frames.append(p.samplerate());
    QCOMPARE(frames, (QList<qint32>{0, 73, 146, 219, 292}));
    QCOMPARE(registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_A), 300.0);
}

void TestReceiveTimecodeDVSObject::audibility_data() {
    QTest::addColumn<int>("fader"); // -1: no position yet
    QTest::addColumn<bool>("mix");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<bool>("audibleA");
    QTest::addColumn<bool>("audibleB");
    // Runs first: once a position is published there is always one.
    QTest::newRow("no crossfader") << -1 << true << false << true << true;
    QTest::newRow("middle") << 64 << true << false << true << true;
    QTest::newRow("left, mix off") << 0 << false << false << true << true;
    QTest::newRow("right, mix off") << 127 << false << true << true << true;
    QTest::newRow("left") << 0 << true << false << true << false;
    QTest::newRow("left, reverse") << 0 << true << true << false << true;
    QTest::newRow("right") << 127 << true << false << false << true;
    QTest::newRow("right, reverse") << 127 << true << true << true << false;
}

void TestReceiveTimecodeDVSObject::audibility() {
    QFETCH(int, fader);
    QFETCH(bool, mix);
    QFETCH(bool, reverse);
    QFETCH(bool, audibleA);
    QFETCH(bool, audibleB);
    configure("generic_V2", false, 300);
    Midi* midi = registry()->instanceMidi();
    if (fader < 0) {
        QVERIFY(!midi->crossFaderPos());
    } else {
        auto position = std::make_unique<ObjectMidi>(0, 23, ModelMode::Basic);
        position->setValue(fader);
        midi->setCrossFaderPos(std::move(position));
    }
    mix ? registry()->instanceMode()->modeMix_on() : registry()->instanceMode()->modeMix_off();
    reverse ? registry()->instanceMode()->modeReverse_on() : registry()->instanceMode()->modeReverse_off();
    const qint16 silence[2] = {0, 0};
    Input a(ModelGraph::INPUT_A);
    Input b(ModelGraph::INPUT_B);
    a.receiver.execute(silence);
    b.receiver.execute(silence);
    QCOMPARE(a.points().at(0).drawon(), audibleA);
    QCOMPARE(b.points().at(0).drawon(), audibleB);
}

void TestReceiveTimecodeDVSObject::unknownFormatLeavesInputInactive() {
    configure("Generic_V2", false, 300);
    registry()->instanceVinyl()->setVinylPosition(ModelGraph::INPUT_B, 12.0);
    const double frames = registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_B);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unknown timecode format \"Generic_V2\""));
    Input input(ModelGraph::INPUT_B);
    QVERIFY(!input.receiver.isActive());
    const qint16 frame[2] = {20000, -20000};
    for (int i = 0; i < 1000; ++i)
        input.receiver.execute(frame);
    QCOMPARE(input.curve.curveGlobal()->size(), 0);
    QCOMPARE(registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_B), frames);
    QCOMPARE(registry()->instanceVinyl()->vinylPosition(ModelGraph::INPUT_B), 12.0);
}

// The GUI thread asks for restarts while the audio thread executes frames: every restart lands
// between two frames (a point at frame 0, then the regular spacing), and points keep coming.
void TestReceiveTimecodeDVSObject::restartFromAnotherThread() {
    configure("serato_sideA_FullDVS", true, 600);
    TimecodeSignal signal(formatNamed("serato_sideA_FullDVS"), RATE);
    signal.setStart(50000.375);
    signal.move(0.5, 1.0);
    signal.render();
    Input input;
    QListDataCurve* list = input.curve.curveGlobal();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        const qint64 frames = signal.frameCount();
        for (qint64 i = 0; !stop.load(std::memory_order_relaxed); ++i)
            input.receiver.execute(signal.pcm().constData() + 2 * (i % frames));
    });
    auto restartedAfter = [list](int before) {
        for (int j = before; j < list->size(); ++j) {
            if (list->value(j)->samplerate() == 0)
                return list->size() > j + 5;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(list->size() > 10, 60000);
    for (int k = 0; k < 10; ++k) {
        const int before = list->size();
        input.receiver.updateBPM();
        QTRY_VERIFY_WITH_TIMEOUT(restartedAfter(before), 60000);
    }
    stop.store(true);
    audio.join();

    const QList<QData> points = input.points();
    int restarts = 0;
    for (int k = 1; k < points.size(); ++k) {
        const qint32 frame = points[k].samplerate();
        restarts += frame == 0;
        QVERIFY2(frame == 0 || frame == points[k - 1].samplerate() + 80, qPrintable(QString::number(k)));
    }
    QCOMPARE(restarts, 10);
}

QUILLON_TEST_MAIN(TestReceiveTimecodeDVSObject)
#include "tst_ReceiveTimecodeDVSObject.moc"
