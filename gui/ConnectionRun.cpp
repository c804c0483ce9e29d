// Run control: the chains a run sets off, the count-in before its sound starts and the metronome.
#include "Connection.h"

#include <QTimer>

#include <cmath>

#include "CountIn.h"
#include "QWGridTool.h"
#include "QWMenuDevice.h"
#include "QWView.h"
#include "core/Mode.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/audio/DeviceObject.h"
#include "core/audio/WorkerPlayObject.h"
#include "core/audio/WorkerRecorderObject.h"
#include "core/midi/WorkerMidiObject.h"
#include "gui/graph/QWPainter.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBMidiLearn.h"
#include "gui/widgets/QBSelectInput.h"
#include "gui/widgets/QBToggle.h"
#include "gui/widgets/QComboBoxBpm.h"
#include "gui/widgets/QComboBoxInputBuffer.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QCustomSlider.h"

namespace {

// The tempo a set plays at when the stored one is no tempo at all.
constexpr double FALLBACK_TEMPO = 84.0;
constexpr int COUNT_IN_BEATS = 4;

Mode* mode() {
    return Singleton::instance()->instanceMode();
}

// Beats per minute as played; never 0, negative or not a number, which would stall the count-in.
double tempo() {
    const double played = Singleton::instance()->instanceLooperTraining()->bpmFactorSpeed();
    return std::isfinite(played) && played > 0.0 ? played : FALLBACK_TEMPO;
}

// Milliseconds truncated toward zero, within what a timer takes.
int wholeMs(double ms) {
    return int(std::clamp(ms, 0.0, 3600000.0));
}

} // namespace

void Connection::initConnectionPlayStopTraining(ModelInput::EnumInput input) {
    m_inputSelection = input;
    // The dispatcher opens, and the export names, the inputs Mode holds: the same ones this wiring stops.
    mode()->setInputText(input);
    m_deviceObject->controllerDevices();
    m_runWiring.clear();

    const bool useA = input == ModelInput::TEXT_A || input == ModelInput::TEXT_A_B;
    const bool useB = input == ModelInput::TEXT_B || input == ModelInput::TEXT_A_B;
    wireRunChain(useA, useB);
    wireStopChain(useA, useB);
    wireStartChain(useA, useB);

    QWGridTool* toolBar = m_view->toolBar();
    m_runWiring.add("updatePlayStopIcon", mode(), &Mode::s_RecorderModeStatus, this,
                    &Connection::updatePlayStopIcon);
    m_runWiring.add("painterA.initGraph", toolBar->beatCombo(), &QComboBoxBpm::s_Textchanged, painterA(),
                    &QWPainter::initGraph);
    m_runWiring.add("painterB.initGraph", toolBar->beatCombo(), &QComboBoxBpm::s_Textchanged, painterB(),
                    &QWPainter::initGraph);
    m_runWiring.add("settings.updateCrossfaderValue", m_workerMidi, &WorkerMidiObject::s_LearnMidi,
                    m_view->settingsPanel(), &QWMenuDevice::updateCrossfaderValue);

    painterA()->setVisible(useA);
    painterB()->setVisible(useB);
}

void Connection::wireRunChain(bool useA, bool useB) {
    Mode* m = mode();
    QWGridTool* toolBar = m_view->toolBar();
    QWMenuDevice* settings = m_view->settingsPanel();
    const auto run = [&](const QString& label, const auto* receiver, auto slot) {
        m_runWiring.add(label, m, &Mode::s_RunApp, receiver, slot);
    };
    run("playButton.checked", toolBar->playButton(), &QB2Push::checked);
    run("inputSelector.disabled", toolBar->inputSelector(), &QBSelectInput::disabled);
    run("recordToggle.disabled", toolBar->recordToggle(), &QBToggle::disabled);
    run("painterA.resetCurve_Main", painterA(), &QWPainter::resetCurve_Main);
    run("painterB.resetCurve_Main", painterB(), &QWPainter::resetCurve_Main);
    run("modeCurrentTimerAutoresize_on", m, &Mode::modeCurrentTimerAutoresize_on);
    run("timerRunAllSound", this, &Connection::timerRunAllSound);
    run("beatCombo.disabled", toolBar->beatCombo(), &QComboBoxBpm::disabled);
    run("timecode.disabled", settings->timecodeCombo(), &QCustomComboBox::disabled);
    run("inputA.disabled", settings->inputACombo(), &QCustomComboBox::disabled);
    run("inputB.disabled", settings->inputBCombo(), &QCustomComboBox::disabled);
    run("inputRecording.disabled", settings->inputRecordingCombo(), &QCustomComboBox::disabled);
    run("inputMidi.disabled", settings->inputMidiCombo(), &QCustomComboBox::disabled);
    run("learn.disabled", settings->learnButton(), &QBMidiLearn::disabled);
    run("outputPlayback.disabled", settings->outputPlaybackCombo(), &QCustomComboBox::disabled);
    run("inputBufferA.disabled", settings->inputBufferComboA(), &QComboBoxInputBuffer::disabled);
    run("inputBufferB.disabled", settings->inputBufferComboB(), &QComboBoxInputBuffer::disabled);
    run("midi.startRun", m_workerMidi, &WorkerMidiObject::startRun);
    if (useA)
        run("painterA.initGraph", painterA(), &QWPainter::initGraph);
    if (useB)
        run("painterB.initGraph", painterB(), &QWPainter::initGraph);
    run("view.loadSound", m_view, &QWView::loadSound);
    run("dispatcher.run", m_deviceObject, &DeviceObject::run);
}

void Connection::wireStopChain(bool useA, bool useB) {
    Mode* m = mode();
    QWGridTool* toolBar = m_view->toolBar();
    QWMenuDevice* settings = m_view->settingsPanel();
    const auto stop = [&](const QString& label, const auto* receiver, auto slot) {
        m_runWiring.add(label, m, &Mode::s_StopApp, receiver, slot);
    };
    stop("stopAllSound", this, &Connection::stopAllSound);
    stop("playButton.unchecked", toolBar->playButton(), &QB2Push::unchecked);
    stop("inputSelector.enabled", toolBar->inputSelector(), &QBSelectInput::enabled);
    stop("recordToggle.enabled", toolBar->recordToggle(), &QBToggle::enabled);
    stop("modeCurrentTimerAutoresize_off", m, &Mode::modeCurrentTimerAutoresize_off);
    stop("beatCombo.enabled", toolBar->beatCombo(), &QComboBoxBpm::enabled);
    stop("timecode.enabled", settings->timecodeCombo(), &QCustomComboBox::enabled);
    stop("inputA.enabled", settings->inputACombo(), &QCustomComboBox::enabled);
    stop("inputB.enabled", settings->inputBCombo(), &QCustomComboBox::enabled);
    stop("inputRecording.enabled", settings->inputRecordingCombo(), &QCustomComboBox::enabled);
    stop("inputMidi.enabled", settings->inputMidiCombo(), &QCustomComboBox::enabled);
    stop("learn.enabled", settings->learnButton(), &QBMidiLearn::enabled);
    stop("outputPlayback.enabled", settings->outputPlaybackCombo(), &QCustomComboBox::enabled);
    stop("inputBufferA.enabled", settings->inputBufferComboA(), &QComboBoxInputBuffer::enabled);
    stop("inputBufferB.enabled", settings->inputBufferComboB(), &QComboBoxInputBuffer::enabled);
    // Recorder mode as it is at this wiring: switching it on rewires, switching it off does not.
    if (m->modeRecorder())
        stop("recorderMaster.stop", m_recorderMaster, &WorkerRecorderObject::stop);
    stop("midi.stopRun", m_workerMidi, &WorkerMidiObject::stopRun);
    stop("player.stop", m_player, &WorkerPlayObject::stop);
    if (useA)
        stop("recorderA.stop", m_recorderA, &WorkerRecorderObject::stop);
    if (useB)
        stop("recorderB.stop", m_recorderB, &WorkerRecorderObject::stop);
    stop("view.stopSound", m_view, &QWView::stopSound);
    stop("modeRun_off", m, &Mode::modeRun_off);
    stop("view.exportFile", m_view, &QWView::exportFile);
}

void Connection::wireStartChain(bool useA, bool useB) {
    const auto start = [&](const QString& label, const auto* receiver, auto slot) {
        m_runWiring.add(label, this, &Connection::s_startTraining, receiver, slot);
    };
    if (useA)
        start("recorderA.timecodeInitialise", m_recorderA, &WorkerRecorderObject::timecodeInitialise);
    if (useB)
        start("recorderB.timecodeInitialise", m_recorderB, &WorkerRecorderObject::timecodeInitialise);
    start("player.play", m_player, &WorkerPlayObject::play);
    start("view.playSound", m_view, &QWView::playSound);
    start("modeRun_on", mode(), &Mode::modeRun_on);
}

void Connection::timerRunAllSound() {
    // A count-in still pending belongs to a start this one replaces.
    m_countIn->cancel();
    const double beatMs = 1000.0 * 60.0 / tempo();
    using Tag = void (QWPainter::*)();
    static constexpr Tag tags[COUNT_IN_BEATS + 1] = {&QWPainter::drawTagNumber_4, &QWPainter::drawTagNumber_3,
                                                     &QWPainter::drawTagNumber_2, &QWPainter::drawTagNumber_1,
                                                     &QWPainter::drawTagNumber_0};
    for (QWPainter* painter : {painterA(), painterB()}) {
        for (int k = 0; k <= COUNT_IN_BEATS; ++k)
            m_countIn->schedule(wholeMs(k * beatMs), painter, [painter, tag = tags[k]] { (painter->*tag)(); });
    }
    m_countIn->schedule(wholeMs(COUNT_IN_BEATS * beatMs), this, [this] { runAllSound(); });
}

void Connection::runAllSound() {
    m_beatCounter = 0;
    if (mode()->modeTraining())
        startTimerBpm();
    mode()->modeTrainingLock_off();
    mode()->modeStartSynchronized_on();
    emit s_startTraining();
}

void Connection::controller() {
    ++m_beatCounter;
    emit s_metronum();
    if (m_beatCounter >= COUNT_IN_BEATS) {
        m_beatCounter = 0;
        emit s_metronum_All4();
    }
}

void Connection::startTimerBpm() {
    m_metronomeTimer->setInterval(wholeMs(60000.0 / tempo()));
    m_metronomeTimer->start();
}

void Connection::updateTimerBPM() {
    // Only a ticking metronome restarts: during the count-in the start starts it at the new tempo,
    // and a tick before the start would restart the looper early.
    const bool ticking = mode()->modeTraining() && m_metronomeTimer->isActive();
    if (ticking)
        m_metronomeTimer->stop();
    // A painter's restart empties its live curve and restarts the input's time base; an input that is
    // being recorded keeps both, so its curve file matches the take it goes with.
    if (!m_recorderA->recording())
        painterA()->initStart();
    if (!m_recorderB->recording())
        painterB()->initStart();
    if (ticking)
        startTimerBpm();
}

void Connection::applyTempoChange() {
    if (m_view->settingsPanel()->tempoSlider()->isSliderDown())
        return;
    updateTimerBPM();
    m_player->initRelaunch();
}

void Connection::stopAllSound() {
    m_metronomeTimer->stop();
    mode()->modeStartSynchronized_off();
    // A stop during the count-in: no start follows, and the library may start again.
    if (m_countIn->isPending()) {
        m_countIn->cancel();
        mode()->modeTrainingLock_off();
        // Its number goes with it: no tag 0 will come to clear it.
        painterA()->drawTagNumber_0();
        painterB()->drawTagNumber_0();
    }
}

void Connection::updatePlayStopIcon(bool recorder) {
    QB2Push* play = m_view->toolBar()->playButton();
    if (recorder)
        play->changePicture(QStringLiteral("play_record-button.png"), QStringLiteral("pause_record-button.png"));
    else
        play->changePicture(QStringLiteral("play-button.png"), QStringLiteral("pause-button.png"));
}
