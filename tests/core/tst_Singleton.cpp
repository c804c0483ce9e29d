#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <thread>

#include "TestSandbox.h"
#include "core/InstCurve.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/QListDataCurve.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/Timecode.h"
#include "core/Vinyl.h"
#include "core/midi/Midi.h"

// The registry, the application modes, and the per-input clocks and buffer settings it owns.
class TestSingleton : public QObject {
    Q_OBJECT

private slots:
    // Building the registry writes config.ini, whichever thread first asks for a setting later.
    void constructionWritesConfiguration() {
        const QString config = Path::joinInput("config.ini");
        QVERIFY(!QFile::exists(config));
        Singleton* registry = Singleton::instance();
        QCOMPARE(Singleton::instance(), registry);
        QFile file(config);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("[device]\n inputA=\n"));
    }

    void calibration_data() {
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("delta");
        QTest::addColumn<bool>("absolute");
        QTest::newRow("-30") << -30.0 << 330.0 << false;
        QTest::newRow("725, absolute") << 725.0 << 5.0 << true;
        QTest::newRow("360, absolute") << 360.0 << 0.0 << true;
        QTest::newRow("rounds to 360") << -1e-20 << 0.0 << false;
        QTest::newRow("NaN keeps the last") << qQNaN() << 12.0 << false;
        // The configuration keeps 6 significant digits: used as it is stored, 360 being 0.
        QTest::newRow("stored as 360, absolute") << -0.0001 << 0.0 << true;
        QTest::newRow("stored as 360, relative") << -0.0001 << 0.0 << false;
        QTest::newRow("stored rounded, absolute") << 123.4567891 << 123.457 << true;
    }

    void calibration() {
        QFETCH(double, angle);
        QFETCH(double, delta);
        QFETCH(bool, absolute);
        Singleton* registry = Singleton::instance();
        Vinyl* vinyl = registry->instanceVinyl();
        for (ModelGraph::EnumGraph graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B}) {
            vinyl->setCalculVinylDeltaPosition(graph, 12.0);
            vinyl->setVinylPosition(graph, angle);
        }
        absolute ? registry->instanceMode()->modeFullDVS_on() : registry->instanceMode()->modeFullDVS_off();
        registry->instanceSetting()->setParamVinylDeltaPositionA(77.0);
        registry->instanceSetting()->setParamVinylDeltaPositionB(77.0);
        registry->calculVinylDeltaPositionA();
        registry->calculVinylDeltaPositionB();
        registry->instanceMode()->modeFullDVS_off();
        QCOMPARE(vinyl->vinylDeltaPosition(ModelGraph::INPUT_A), delta);
        QCOMPARE(vinyl->vinylDeltaPosition(ModelGraph::INPUT_B), delta);
        // Saved only in absolute mode: the next absolute run starts from the stored value.
        QCOMPARE(registry->instanceSetting()->paramVinylDeltaPositionA(true), absolute ? delta : 77.0);
        QCOMPARE(registry->instanceSetting()->paramVinylDeltaPositionB(true), absolute ? delta : 77.0);
    }

    // An input's audio thread writes its clock, angle, offset and calibration and reads the crossfader
    // position; the GUI thread reads them and moves the shown position; the MIDI thread publishes
    // positions. Every per-input value is touched from two threads, so under ThreadSanitizer a plain
    // field in place of an atomic fails the test.
    void audioGuiAndMidiThreadsShareState() {
        Singleton* registry = Singleton::instance();
        Time* time = registry->instanceTime();
        Vinyl* vinyl = registry->instanceVinyl();
        Timecode* timecode = registry->instanceTimecode();
        Midi* midi = registry->instanceMidi();
        constexpr auto A = ModelGraph::INPUT_A;
        time->resetCurrentSamplerate_m_s(A);
        vinyl->setVinylPosition(A, 0.0);
        vinyl->setCalculVinylDeltaPosition(A, 0.0);
        constexpr int frames = 200000;
        std::atomic<bool> audioDone{false};
        std::atomic<int> faults{0};
        std::thread audio([&] {
            for (int i = 1; i <= frames; ++i) {
                time->incrementCurrentSamplerate_m_s(A);
                vinyl->setVinylPosition(A, i * 0.75);
                timecode->setTimecodeOffset(A, i);
                if (i % 1000 == 0) {
                    time->resetStartTime(A);
                    vinyl->setCalculVinylDeltaPosition(A, i);
                    i % 2000 ? timecode->modeTimecode_on(A) : timecode->modeTimecode_off(A);
                }
                // A position is seen whole: its status agrees with its value.
                const Midi::Position position = midi->crossFaderPos();
                if ((position && position->status() !=
                                     (position->value() ? ModelCrossFader::RIGHT : ModelCrossFader::LEFT)) ||
                    time->currentSamplerate(A) < 0)
                    faults.fetch_add(1);
            }
            audioDone.store(true);
        });
        std::thread midiThread([&] {
            for (int i = 0; !audioDone.load(); ++i) {
                auto position = std::make_unique<ObjectMidi>(0, 7, ModelMode::Basic);
                position->setValue(i % 2 ? 127 : 0);
                midi->setCrossFaderPos(std::move(position));
            }
        });
        const auto sample = QSample::byDefault(A);
        double lastAngle = 0.0;
        int calibratedReads = 0; // read for the concurrent access alone: either value is right
        while (!audioDone.load()) {
            const double angle = vinyl->vinylPosition(A);
            const double offset = timecode->timecodeOffset(A);
            time->setCurrentSamplerate(A, time->currentTimeToSamplerate(A, sample.get()));
            calibratedReads += timecode->modeTimecode(A);
            if (angle < lastAngle || offset != std::floor(offset) ||
                time->currentSamplerate_m_s(A) > frames ||
                std::fmod(vinyl->vinylDeltaPosition(A), 1000) != 0 || time->startTime(A) < 0)
                faults.fetch_add(1);
            lastAngle = angle;
        }
        audio.join();
        midiThread.join();
        QCOMPARE(faults.load(), 0);
        QCOMPARE(time->currentSamplerate_m_s(A), double(frames));
        timecode->modeTimecode_off(A);
    }

    void modeSignals() {
        Mode mode;
        // Each signal with its argument and the flag it announces, as its receiver sees them.
        QStringList log;
        const auto note = [&](const char* name, bool flag) { log << QString("%1 %2").arg(name).arg(flag); };
        connect(&mode, &Mode::s_RunApp, this, [&] { note("run", mode.modeTraining()); });
        connect(&mode, &Mode::s_StopApp, this, [&] { note("stop", mode.modeTraining()); });
        connect(&mode, &Mode::s_RecorderModeStatus, this,
                [&](bool on) { note(on ? "recorder on" : "recorder off", mode.modeRecorder()); });
        connect(&mode, &Mode::s_ModeColor_On, this, [&] { note("color on", mode.modeColor()); });
        connect(&mode, &Mode::s_ModeColor_Off, this, [&] { note("color off", mode.modeColor()); });
        connect(&mode, &Mode::s_ModeGenerateSound, this,
                [&](bool on) { note(on ? "sound on" : "sound off", mode.modeGenerateSound()); });
        connect(&mode, &Mode::s_ModeDisplayChanged, this,
                [&] { note("phrasing", mode.modeDisplay() == ModelDisplay::PHRASING); });
        // The signalling pairs set the flag, then emit on every call, repeats included.
        using Slot = void (Mode::*)();
        const std::pair<Slot, Slot> pairs[] = {{&Mode::modeTraining_on, &Mode::modeTraining_off},
                                               {&Mode::modeRecorder_on, &Mode::modeRecorder_off},
                                               {&Mode::modeColor_on, &Mode::modeColor_off},
                                               {&Mode::modeGenerateSound_on, &Mode::modeGenerateSound_off}};
        for (const auto& [on, off] : pairs)
            for (Slot slot : {on, on, off, off})
                (mode.*slot)();
        mode.setModeDisplay(ModelDisplay::PHRASING);
        mode.setModeDisplay(ModelDisplay::PHRASING);
        // The other flags and values change silently.
        for (Slot slot : {&Mode::modeStartSynchronized_on, &Mode::modeMix_on, &Mode::modeFullDVS_on,
                          &Mode::modeMetronom_on})
            (mode.*slot)();
        mode.setInputText(ModelInput::TEXT_A_B);
        mode.setDisplayBPM(92.5);
        QCOMPARE(log, QStringList({"run 1", "run 1", "stop 0", "stop 0", "recorder on 1", "recorder on 1",
                                   "recorder off 0", "recorder off 0", "color on 1", "color on 1",
                                   "color off 0", "color off 0", "sound on 1", "sound on 1", "sound off 0",
                                   "sound off 0", "phrasing 1", "phrasing 1"}));
    }

    // The frames of a run's elapsed time: at least the 30 ms waited at 48 frames per millisecond (no upper
    // bound is assumed); graphs other than the two inputs have no clock.
    void elapsedTime() {
        Time time;
        const auto sample = QSample::byDefault(ModelGraph::INPUT_A);
        time.resetStartTime(ModelGraph::INPUT_A);
        QTest::qWait(30);
        const double later = time.currentTimeToSamplerate(ModelGraph::INPUT_A, sample.get());
        QVERIFY2(later >= 30 * 48.0, qPrintable(QString::number(later)));
        time.resetStartTime(ModelGraph::INPUT_A);
        QVERIFY(time.currentTimeToSamplerate(ModelGraph::INPUT_A, sample.get()) < later);
        QCOMPARE(time.currentTimeToSamplerate(ModelGraph::MASTER, sample.get()), 0.0);
    }

    void processingStep() {
        Performance performance;
        QSignalSpy spy(&performance, &Performance::s_InputSample);
        // Every graph but INPUT_B is the A slot.
        performance.setProcessingBuffer(ModelGraph::MASTER, 300);
        QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_A), 160.0);
        QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_B), 0.0);
        performance.setInputSample(
            ModelGraph::INPUT_A, std::make_shared<const QSample>(ModelGraph::INPUT_A, 1, "X", 44100.0, 2, 0),
            true);
        QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_A), 147.0);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<ModelGraph::EnumGraph>(), ModelGraph::INPUT_A);
        // The step is derived only from a rate and a number of points both above 0; the last one stays.
        for (double points : {0.0, -300.0, qQNaN(), 1e-320})
            performance.setProcessingBuffer(ModelGraph::INPUT_A, points);
        performance.setInputSample(ModelGraph::INPUT_A,
                                   std::make_shared<const QSample>(ModelGraph::INPUT_A, 1, "X", 0.0, 2, 0),
                                   false);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(performance.processingSampleStep(ModelGraph::INPUT_A), 147.0);
        // Likewise a display frequency not above 0.
        QSignalSpy display(&performance, &Performance::signalDisplayFrequency);
        for (double hz : {120.0, 0.0, -50.0, qQNaN()})
            performance.setDisplayFrequency(hz);
        QCOMPARE(performance.displayFrequency(), 1000.0 / 120.0);
        QCOMPARE(display.size(), 1);
    }

    void curveRegistryFirstFillsBoth() {
        QListDataCurve a, b;
        InstCurve curves;
        QCOMPARE(curves.curveMain(ModelGraph::INPUT_B), nullptr);
        curves.setCurveMain(ModelGraph::INPUT_A, &a);
        QCOMPARE(curves.curveMain(ModelGraph::INPUT_B), &a);
        curves.setCurveMain(ModelGraph::INPUT_B, &b);
        QVERIFY(curves.curveMain(ModelGraph::MASTER) == &a && curves.curveMain(ModelGraph::INPUT_B) == &b);
    }
};

QUILLON_TEST_MAIN(TestSingleton)
#include "tst_Singleton.moc"
