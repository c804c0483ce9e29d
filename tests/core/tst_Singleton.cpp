#include <QFile>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <thread>

#include "TestSandbox.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/Timecode.h"
#include "core/Vinyl.h"
#include "core/midi/Midi.h"

namespace {

QByteArray readConfig() {
    QFile file(Path::joinInput("config.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestSingleton : public QObject {
    Q_OBJECT

private slots:
    void firstUseCreatesEverythingOnce();
    void perInputSlots();
    void calibration_data();
    void calibration();
    void calibrationIsSavedOnlyInAbsoluteMode();
    void audioGuiAndMidiThreadsShareState();
};

void TestSingleton::firstUseCreatesEverythingOnce() {
    QVERIFY(!QFile::exists(Path::joinInput("config.ini")));
    Singleton* registry = Singleton::instance();
    QCOMPARE(Singleton::instance(), registry);
    QVERIFY(readConfig().startsWith("[device]\n inputA=\n"));
    Mode* mode = registry->instanceMode();
    QVERIFY(mode && registry->instancePerformance() && registry->instanceSetting() &&
            registry->instanceSettingMixer() && registry->instanceMidi() && registry->instanceTime() &&
            registry->instanceWavPhrasing() && registry->instanceTimecode() && registry->instanceVinyl() &&
            registry->instancePathFile() && registry->instanceAutoresize() && registry->instancePhrasing() &&
            registry->instanceLooperTraining() && registry->instanceCurve());
    QCOMPARE(Singleton::instance()->instanceMode(), mode);
    QCOMPARE(registry->instanceLooperTraining()->bpm(), 84.0);
}

void TestSingleton::perInputSlots() {
    Vinyl* vinyl = Singleton::instance()->instanceVinyl();
    Timecode* timecode = Singleton::instance()->instanceTimecode();
    vinyl->setVinylPosition(ModelGraph::INPUT_A, 10.0);
    vinyl->setVinylPosition(ModelGraph::INPUT_B, 20.0);
    QCOMPARE(vinyl->vinylPosition(ModelGraph::MASTER), 10.0);
    QCOMPARE(vinyl->vinylPosition(ModelGraph::INPUT_B), 20.0);
    timecode->modeTimecode_on(ModelGraph::INPUT_B);
    timecode->setTimecodeOffset(ModelGraph::PLAYBACK, 3.0);
    QVERIFY(!timecode->modeTimecode(ModelGraph::INPUT_A));
    QVERIFY(timecode->modeTimecode(ModelGraph::INPUT_B));
    QCOMPARE(timecode->timecodeOffset(ModelGraph::INPUT_A), 3.0);
    QCOMPARE(timecode->timecodeOffset(ModelGraph::INPUT_B), 0.0);
}

void TestSingleton::calibration_data() {
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("delta");
    QTest::newRow("-30") << -30.0 << 330.0;
    QTest::newRow("725") << 725.0 << 5.0;
    QTest::newRow("360") << 360.0 << 0.0;
    QTest::newRow("-720") << -720.0 << 0.0;
    QTest::newRow("rounds to 360") << -1e-20 << 0.0;
    QTest::newRow("NaN keeps the last") << qQNaN() << 12.0;
    QTest::newRow("infinity keeps the last") << qInf() << 12.0;
}

void TestSingleton::calibration() {
    QFETCH(double, angle);
    Singleton* registry = Singleton::instance();
    Vinyl* vinyl = registry->instanceVinyl();
    vinyl->setCalculVinylDeltaPosition(ModelGraph::INPUT_A, 12.0);
    vinyl->setCalculVinylDeltaPosition(ModelGraph::INPUT_B, 12.0);
    vinyl->setVinylPosition(ModelGraph::INPUT_A, angle);
    vinyl->setVinylPosition(ModelGraph::INPUT_B, angle);
    registry->calculVinylDeltaPositionA();
    registry->calculVinylDeltaPositionB();
    QTEST(vinyl->vinylDeltaPosition(ModelGraph::INPUT_A), "delta");
    QTEST(vinyl->vinylDeltaPosition(ModelGraph::INPUT_B), "delta");
}

void TestSingleton::calibrationIsSavedOnlyInAbsoluteMode() {
    Singleton* registry = Singleton::instance();
    registry->instanceVinyl()->setVinylPosition(ModelGraph::INPUT_A, -30.0);
    registry->instanceVinyl()->setVinylPosition(ModelGraph::INPUT_B, 725.0);
    registry->instanceMode()->modeFullDVS_off();
    const QByteArray before = readConfig();
    registry->calculVinylDeltaPositionA();
    registry->calculVinylDeltaPositionB();
    QCOMPARE(readConfig(), before);

    registry->instanceMode()->modeFullDVS_on();
    registry->calculVinylDeltaPositionA();
    registry->calculVinylDeltaPositionB();
    QVERIFY(readConfig().contains("\nvinylDeltaPositionA=330\n"));
    QVERIFY(readConfig().contains("\nvinylDeltaPositionB=5\n"));
    QCOMPARE(registry->instanceSetting()->paramVinylDeltaPositionA(false), 330.0);
    registry->instanceMode()->modeFullDVS_off();
}

// An input's audio thread writes its clock, angle and offset and reads the crossfader position and
// the step; the GUI thread reads them and switches settings; the MIDI thread publishes positions.
void TestSingleton::audioGuiAndMidiThreadsShareState() {
    Singleton* registry = Singleton::instance();
    Time* time = registry->instanceTime();
    Vinyl* vinyl = registry->instanceVinyl();
    Timecode* timecode = registry->instanceTimecode();
    Midi* midi = registry->instanceMidi();
    Mode* mode = registry->instanceMode();
    Performance* performance = registry->instancePerformance();
    time->resetCurrentSamplerate_m_s(ModelGraph::INPUT_A);
    vinyl->setVinylPosition(ModelGraph::INPUT_A, 0.0);
    timecode->resetTimecodeOffset(ModelGraph::INPUT_A);
    performance->setProcessingBuffer(ModelGraph::INPUT_A, 300);

    constexpr int frames = 200000;
    std::atomic<bool> audioDone{false};
    std::atomic<int> faults{0};
    int mixFrames = 0; // read after the join
    std::thread audio([&] {
        for (int i = 1; i <= frames; ++i) {
            time->incrementCurrentSamplerate_m_s(ModelGraph::INPUT_A);
            vinyl->setVinylPosition(ModelGraph::INPUT_A, i * 0.75);
            timecode->setTimecodeOffset(ModelGraph::INPUT_A, i);
            const double step = performance->processingSampleStep(ModelGraph::INPUT_A);
            const Midi::Position position = midi->crossFaderPos();
            const bool wholePosition =
                !position ||
                (position->name() == "XFader" &&
                 position->status() == (position->value() ? ModelCrossFader::RIGHT : ModelCrossFader::LEFT));
            if ((step != 160.0 && step != 80.0) || !wholePosition)
                faults.fetch_add(1);
            mixFrames += mode->modeMix() ? 1 : 0;
        }
        audioDone.store(true);
    });
    std::thread midiThread([&] {
        for (int i = 0; !audioDone.load(); ++i) {
            auto position = std::make_unique<ObjectMidi>(0, 7, ModelMode::Basic);
            position->setName("XFader");
            position->setValue(i % 2 ? 127 : 0);
            midi->setCrossFaderPos(std::move(position));
        }
    });
    double lastFrames = 0.0;
    double lastAngle = 0.0;
    for (int i = 0; !audioDone.load(); ++i) {
        const double count = time->currentSamplerate_m_s(ModelGraph::INPUT_A);
        const double angle = vinyl->vinylPosition(ModelGraph::INPUT_A);
        const double offset = timecode->timecodeOffset(ModelGraph::INPUT_A);
        if (count < lastFrames || angle < lastAngle || offset != std::floor(offset))
            faults.fetch_add(1);
        lastFrames = count;
        lastAngle = angle;
        performance->setProcessingBuffer(ModelGraph::INPUT_A, i % 2 ? 300 : 600);
        i % 2 ? mode->modeMix_on() : mode->modeMix_off();
    }
    audio.join();
    midiThread.join();
    QCOMPARE(faults.load(), 0);
    QCOMPARE(time->currentSamplerate_m_s(ModelGraph::INPUT_A), double(frames));
    QVERIFY(mixFrames <= frames);
}

QUILLON_TEST_MAIN(TestSingleton)
#include "tst_Singleton.moc"
