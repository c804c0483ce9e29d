#include <QScopeGuard>
#include <QtTest>

#include <atomic>
#include <cmath>
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

namespace {

constexpr unsigned RATE = 48000;
const QString SERATO = "serato_sideA_FullDVS";
const qint16 SILENCE[2] = {0, 0};

Singleton* registry() {
    return Singleton::instance();
}

// Builds each table once for the whole test.
Timecoder& timecoder() {
    static Timecoder instance;
    return instance;
}

Definition formatNamed(const QString& name) {
    return timecoder().findDefinition(name);
}

// What the settings panel and the buffer combos leave behind before a run.
void configure(const QString& format, bool fullDVS, double pointsPerSecond) {
    registry()->instanceSetting()->setParamTimecode(format);
    fullDVS ? registry()->instanceMode()->modeFullDVS_on() : registry()->instanceMode()->modeFullDVS_off();
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
    void repeat(const qint16* frame, int times) {
        for (int i = 0; i < times; ++i)
            receiver.execute(frame);
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

// Normal speed from `start` for 0.25 s, 75 ms from each of `drops`, then 0.3 s more.
TimecodeSignal dropSignal(double start, const QList<double>& drops) {
    TimecodeSignal signal(formatNamed(SERATO), RATE);
    signal.setStart(start);
    signal.move(0.25, 1.0);
    for (double drop : drops) {
        signal.jump(drop);
        signal.move(0.075, 1.0);
    }
    signal.move(0.3, 1.0);
    signal.render();
    return signal;
}

// A drop from 20,000 after which the decoder's first new position lies `step` past its last one.
// The decoder needs a varying number of bits (35 to 45 here) to read a new place, so it is searched.
QList<double> dropLandingStep(qint32 step) {
    for (double landing = 20250.375 + step - 60; landing <= 20250.375 + step - 30; ++landing) {
        qint32 last = -1;
        qint32 largest = 0;
        for (qint32 p : decoderPositions(formatNamed(SERATO), dropSignal(20000.375, {landing}))) {
            largest = p >= 0 && last >= 0 ? std::max(largest, p - last) : largest;
            last = p >= 0 ? p : last;
        }
        if (largest == step)
            return {landing};
    }
    return {};
}

} // namespace

// The receiver driven frame by frame with generated records, checked against the generator's true
// record position and, where the decoder's own answers matter, against a decoder run beside it.
class TestReceiveTimecodeDVSObject : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Mode* mode = registry()->instanceMode();
        mode->modeMix_off();
        mode->modeReverse_off();
        for (ModelGraph::EnumGraph graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B})
            registry()->instancePerformance()->setInputSample(graph, QSample::byDefault(graph), false);
        registry()->instanceSetting()->setParamVinylDeltaPositionA(0.0);
    }

    void relativeOneSecond_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("speed");
        for (const Definition& def : timecoder().definitions()) {
            QTest::newRow(qPrintable(def.name() + " forwards")) << def.name() << 1.0;
            QTest::newRow(qPrintable(def.name() + " backwards")) << def.name() << -1.0;
        }
    }

    // The travel over one second, once the speed tracker has settled, in the scale the stored curves
    // use: rate / (rate + 1000) of the carrier cycles, doubled for the 2000-cycle formats.
    void relativeOneSecond() {
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
        // 0.2 %: the tracker's own residual adds about a cycle a second; the full 1000 would be 2 % off.
        const double travel = (to.y() - from.y()) / (speed * 979.6 * def.resolution() / 1000.0);
        QVERIFY2(std::abs(travel - 1.0) < 0.002, qPrintable(QString::number(travel)));
        const double turn = (to.targetPosition() - from.targetPosition()) / (speed * 195.9);
        QVERIFY2(std::abs(turn - 1.0) < 0.002, qPrintable(QString::number(turn)));
        QCOMPARE(registry()->instanceVinyl()->vinylPosition(ModelGraph::INPUT_A), to.targetPosition());
        for (const QData& p : points) {
            QCOMPARE(p.timecode(), 0);
            // The first crossings may be read either way.
            if (p.samplerate() >= 480)
                QCOMPARE(p.rotation(), speed > 0 ? ModelRotation::FORWARD : ModelRotation::BACK);
        }
        QVERIFY(registry()->instanceTimecode()->modeTimecode(ModelGraph::INPUT_A));
    }

    void absoluteFollowsRecord_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("serato side A") << "serato_sideA_FullDVS";
        QTest::newRow("serato side B") << "serato_sideB_FullDVS";
    }

    // Forwards, a turn to backwards, backwards, a turn to forwards, at four points a cycle: wherever the
    // decoder knows the position, y is the record's true position; before the first one, points wait
    // for the back-fill.
    void absoluteFollowsRecord() {
        QFETCH(QString, name);
        configure(name, true, 4000);
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
        // A position needs 25 agreeing bits after the first 20: none within 20 ms at normal speed.
        input.play(signal, 0, 960);
        QVERIFY(!registry()->instanceTimecode()->modeTimecode(ModelGraph::INPUT_A));
        QCOMPARE(input.points().last().timecode(), -1);
        input.play(signal, 960);
        QVERIFY(registry()->instanceTimecode()->modeTimecode(ModelGraph::INPUT_A));

        const QList<QData> points = input.points();
        int locked[2] = {0, 0}; // backwards, forwards
        for (int k = 0; k < points.size(); ++k) {
            const QData& p = points[k];
            QVERIFY2(p.timecode() != -1, qPrintable(QString("point %1 not back-filled").arg(k)));
            // Once the tracker has settled, up to the first turn, y moves on at the record's pace,
            // back-filled points included, and between bits too: 12 frames at 1/49 of a cycle each.
            const double dy = k > 0 ? p.y() - points[k - 1].y() : 0.0;
            const bool timed = p.samplerate() >= 960 && p.samplerate() < 24000;
            QVERIFY2(!timed || (dy > 0.15 && dy < 0.4), qPrintable(QString("point %1: %2").arg(k).arg(dy)));
            if (decoded[p.samplerate()] < 0)
                continue;
            const double error = p.y() - truePosition(signal, def, p.samplerate());
            QVERIFY2(std::abs(error) < 1.0, qPrintable(QString("point %1: off by %2").arg(k).arg(error)));
            QVERIFY(std::abs(p.targetPosition() - (p.y() / 1000.0 * 200.0 - 30.0)) < 1e-9);
            ++locked[p.rotation() == ModelRotation::FORWARD];
        }
        QVERIFY(locked[1] > 2000 && locked[0] > 660);
    }

    void needleDrop_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<QList<double>>("drops");
        QTest::addColumn<double>("pointsPerSecond");
        QTest::addColumn<int>("moves"); // of the offset
        QTest::newRow("forwards 5,000 to 300,000") << 5000.375 << QList<double>{300000.375} << 300.0 << 1;
        QTest::newRow("backwards 300,000 to 5,000") << 300000.375 << QList<double>{5000.375} << 300.0 << 1;
        // Both drops and both new positions fall between two points 0.2 s apart.
        QTest::newRow("there and back within one point")
            << 5000.375 << QList<double>{300000.375, 5100.375} << 5.0 << 1;
        QTest::newRow("1000 on is no jump") << 20000.375 << dropLandingStep(1000) << 300.0 << 0;
        QTest::newRow("1001 on") << 20000.375 << dropLandingStep(1001) << 300.0 << 1;
    }

    // The offset moves once, at the first point after the new position is read, so that y at that point
    // is where the previous point left it.
    void needleDrop() {
        QFETCH(double, start);
        QFETCH(QList<double>, drops);
        QFETCH(double, pointsPerSecond);
        QFETCH(int, moves);
        QVERIFY2(!drops.isEmpty(), "no such drop found");
        configure(SERATO, true, pointsPerSecond);
        const Definition def = formatNamed(SERATO);
        const TimecodeSignal signal = dropSignal(start, drops);
        Input input;
        input.play(signal);
        // Apart from that point y moves on every point (the first ones aside, while the tracker starts).
        const QList<QData> points = input.points();
        int unchanged = 0;
        for (int k = 1; k < points.size(); ++k)
            unchanged += points[k].samplerate() >= 960 && std::abs(points[k].y() - points[k - 1].y()) < 1e-6;
        QCOMPARE(unchanged, moves);
        // Afterwards y follows the record again, shifted by the offset.
        const double offset = registry()->instanceTimecode()->timecodeOffset(ModelGraph::INPUT_A);
        QCOMPARE(offset != 0.0, moves > 0);
        const QData& last = points.last();
        QVERIFY(std::abs(last.y() - offset - truePosition(signal, def, last.samplerate())) < 1.0);
    }

    // 44,100 frames a second at 600 points a second: a step of 73.5 frames.
    void fractionalStep() {
        configure("generic_V2", false, 600);
        registry()->instancePerformance()->setInputSample(
            ModelGraph::INPUT_A, std::make_shared<QSample>(ModelGraph::INPUT_A, -1, "", 44100.0, 2, 0),
            false);
        Input input;
        input.repeat(SILENCE, 300);
        QList<qint32> frames;
        for (const QData& p : input.points())
            frames.append(p.samplerate());
        QCOMPARE(frames, (QList<qint32>{0, 73, 146, 219, 292}));
        QCOMPARE(registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_A), 300.0);
    }

    void audibility_data() {
        QTest::addColumn<int>("fader"); // -1: no position yet
        QTest::addColumn<bool>("mix");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<QList<bool>>("audible"); // inputs A and B
        // Runs first: once a position is published there is always one.
        QTest::newRow("no crossfader") << -1 << true << false << QList<bool>{true, true};
        QTest::newRow("middle") << 64 << true << false << QList<bool>{true, true};
        QTest::newRow("left, mix off") << 0 << false << false << QList<bool>{true, true};
        QTest::newRow("right, mix off") << 127 << false << true << QList<bool>{true, true};
        QTest::newRow("left") << 0 << true << false << QList<bool>{true, false};
        QTest::newRow("left, reverse") << 0 << true << true << QList<bool>{false, true};
        QTest::newRow("right") << 127 << true << false << QList<bool>{false, true};
        QTest::newRow("right, reverse") << 127 << true << true << QList<bool>{true, false};
    }

    void audibility() {
        QFETCH(int, fader);
        QFETCH(bool, mix);
        QFETCH(bool, reverse);
        QFETCH(QList<bool>, audible);
        configure("generic_V2", false, 300);
        QVERIFY(fader >= 0 || !registry()->instanceMidi()->crossFaderPos());
        if (fader >= 0) {
            auto position = std::make_unique<ObjectMidi>(0, 23, ModelMode::Basic);
            position->setValue(fader);
            registry()->instanceMidi()->setCrossFaderPos(std::move(position));
        }
        mix ? registry()->instanceMode()->modeMix_on() : registry()->instanceMode()->modeMix_off();
        reverse ? registry()->instanceMode()->modeReverse_on()
                : registry()->instanceMode()->modeReverse_off();
        Input a(ModelGraph::INPUT_A), b(ModelGraph::INPUT_B);
        a.repeat(SILENCE, 1);
        b.repeat(SILENCE, 1);
        QCOMPARE((QList<bool>{a.points().at(0).drawon(), b.points().at(0).drawon()}), audible);
    }

    void unknownFormatLeavesInputInactive() {
        configure("Generic_V2", false, 300);
        registry()->instanceVinyl()->setVinylPosition(ModelGraph::INPUT_B, 12.0);
        const double frames = registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_B);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unknown timecode format \"Generic_V2\""));
        Input input(ModelGraph::INPUT_B);
        const qint16 frame[2] = {20000, -20000};
        input.repeat(frame, 1000);
        QCOMPARE(input.curve.curveGlobal()->size(), 0);
        QCOMPARE(registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_B), frames);
        QCOMPARE(registry()->instanceVinyl()->vinylPosition(ModelGraph::INPUT_B), 12.0);
    }

    void restartEmptiesTheCurve_data() {
        // How each input restarts: "asked" while its stream runs (carried out before its next frame),
        // "now" with no stream running (at once), or not at all.
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("A asked") << "asked" << "";
        QTest::newRow("A at once") << "now" << "";
        QTest::newRow("A's stream running, B's not") << "asked" << "now";
        QTest::newRow("B's stream running, A's not") << "now" << "asked";
    }

    // A restart empties the live curve in the step that restarts the time base: no point of the old
    // time base stays, and the first point after it is frame 0. Each input restarts its own curve and
    // time base only.
    void restartEmptiesTheCurve() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        configure("generic_V2", false, 600);
        Input inputA(ModelGraph::INPUT_A), inputB(ModelGraph::INPUT_B);
        const std::pair<Input*, QString> inputs[] = {{&inputA, a}, {&inputB, b}};
        const Time* time = registry()->instanceTime();
        for (const auto& [input, how] : inputs)
            input->repeat(SILENCE, 500);
        const int before = inputA.curve.curveGlobal()->size();
        QVERIFY(before > 1);
        for (const auto& [input, how] : inputs) {
            const ModelGraph::EnumGraph graph = input == &inputA ? ModelGraph::INPUT_A : ModelGraph::INPUT_B;
            if (how == "now") {
                input->receiver.restartNow();
                QCOMPARE(input->curve.curveGlobal()->size(), 0);
                QCOMPARE(time->currentSamplerate_m_s(graph), 0.0);
            } else if (how == "asked") {
                input->receiver.updateBPM();
            }
        }
        for (const auto& [input, how] : inputs) {
            const ModelGraph::EnumGraph graph = input == &inputA ? ModelGraph::INPUT_A : ModelGraph::INPUT_B;
            QCOMPARE(input->curve.curveGlobal()->size(), how == "now" ? 0 : before);
            input->repeat(SILENCE, 200);
            QList<qint32> frames;
            for (const QData& p : input->points())
                frames.append(p.samplerate());
            if (how.isEmpty()) {
                QCOMPARE(frames.size(), before + 2);
                QCOMPARE(frames.last(), 640);
                QCOMPARE(time->currentSamplerate_m_s(graph), 700.0);
            } else {
                QCOMPARE(frames, (QList<qint32>{0, 80, 160}));
                QCOMPARE(time->currentSamplerate_m_s(graph), 200.0);
            }
        }
    }

    // The GUI thread asks for restarts while the audio thread executes frames: every restart lands
    // between two frames and takes every point before it along (a marker put in before the ask never
    // survives it), and points keep coming, a point at frame 0, then the regular spacing.
    void restartFromAnotherThread() {
        configure(SERATO, true, 600);
        const TimecodeSignal signal = dropSignal(50000.375, {});
        Input input;
        QListDataCurve* list = input.curve.curveGlobal();
        std::atomic<bool> stop{false};
        std::thread audio([&] {
            for (qint64 i = 0; !stop.load(std::memory_order_relaxed); ++i)
                input.receiver.execute(signal.pcm().constData() + 2 * (i % signal.frameCount()));
        });
        // A failed check returns early: the audio thread still ends first.
        auto joined = qScopeGuard([&] {
            stop.store(true);
            audio.join();
        });
        QData marker;
        marker.setSamplerate(-1);
        for (int k = 1; k <= 10; ++k) {
            const int at = list->addQdata(marker);
            input.receiver.updateBPM();
            // The marker's place holds another point, or none, and five points came after the restart.
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    const std::optional<QData> p = list->value(at);
                    return (!p || p->samplerate() != -1) && list->size() > 5;
                }(),
                60000);
        }
        joined.dismiss();
        stop.store(true);
        audio.join();
        const QList<QData> points = input.points();
        QCOMPARE(points[0].samplerate(), 0);
        for (int k = 1; k < points.size(); ++k)
            QVERIFY2(points[k].samplerate() == points[k - 1].samplerate() + 80, qPrintable(QString::number(k)));
    }
};

QUILLON_TEST_MAIN(TestReceiveTimecodeDVSObject)
#include "tst_ReceiveTimecodeDVSObject.moc"
