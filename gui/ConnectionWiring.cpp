// The fixed wiring, made once while the window is built. Receivers of one signal run in the order
// they are connected here; several places rely on it.
#include "Connection.h"

#include <QCheckBox>
#include <QStackedWidget>
#include <QTimer>

#include "QWContextMenu.h"
#include "QWGridTool.h"
#include "QWMenuDevice.h"
#include "QWMenuMode.h"
#include "QWView.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/audio/DeviceObject.h"
#include "core/audio/WorkerPlayObject.h"
#include "core/audio/WorkerRecorderObject.h"
#include "gui/graph/QWContextGraph.h"
#include "gui/graph/QWPainter.h"
#include "gui/library/ImportLooper.h"
#include "gui/library/QWMenuColor.h"
#include "gui/library/QWMenuLooper.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBPush.h"
#include "gui/widgets/QBPushDark.h"
#include "gui/widgets/QBPushMenu.h"
#include "gui/widgets/QBPushMenuNoLabel.h"
#include "gui/widgets/QBSelectInput.h"
#include "gui/widgets/QBToggle.h"
#include "gui/widgets/QBToggleCircular.h"
#include "gui/widgets/QCSelectDisplayMode.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QCustomSlider.h"
#include "gui/widgets/QDLed.h"

namespace {

Singleton* registry() {
    return Singleton::instance();
}

Mode* mode() {
    return registry()->instanceMode();
}

} // namespace

void Connection::createWorkerPlayThread() {
    m_player = new WorkerPlayObject;
    QWView* view = m_view;
    connect(m_deviceObject, &DeviceObject::s_SamplePlayBack, m_player, &WorkerPlayObject::load);
    connect(painterA()->managePhrasing(), &ManagePhrasing::s_Update, painterA(), &QWPainter::generateWavPhrasing);
    connect(painterB()->managePhrasing(), &ManagePhrasing::s_Update, painterB(), &QWPainter::generateWavPhrasing);
    connect(view->colorPanel(), &QWMenuColor::s_refreshDisplay, m_player, &WorkerPlayObject::updateWav);
    connect(mode(), &Mode::s_ModeGenerateSound, m_player, &WorkerPlayObject::changeStatusGenerateDeck);
    connect(view, &QWView::s_Load_Looper, m_player, &WorkerPlayObject::updateWavLooper);
    connect(view, &QWView::s_Play_Looper, m_player, &WorkerPlayObject::activatedOnTimeLooper);
    connect(view, &QWView::s_Load_SoundA, m_player, &WorkerPlayObject::updateWavSoundA);
    connect(view, &QWView::s_Play_SoundA, m_player, &WorkerPlayObject::activatedOnTimeSoundA);
    connect(view, &QWView::s_Load_SoundB, m_player, &WorkerPlayObject::updateWavSoundB);
    connect(view, &QWView::s_Play_SoundB, m_player, &WorkerPlayObject::activatedOnTimeSoundB);
    connect(view, &QWView::s_Load_Metronum, m_player, &WorkerPlayObject::updateWavMetronum);
    connect(view, &QWView::s_Play_Metronum, m_player, &WorkerPlayObject::activatedOnTimeMetronum);
    QWMenuDevice* settings = view->settingsPanel();
    connect(settings, &QWMenuDevice::s_UpdateVolume, m_player, &WorkerPlayObject::updateVolume);
    // After the panel's own save, connected when it was built.
    connect(settings->cutOffCheckBox(), &QCheckBox::stateChanged, m_player,
            &WorkerPlayObject::updateGenerateCutOffSound);
}

void Connection::connectSignals() {
    connectGraphs();
    connectToolBar();
    connectOpenSet();
    connectMenus();
    connectPanels();
    connectTimers();
}

void Connection::connectGraphs() {
    QWPainter* a = painterA();
    QWPainter* b = painterB();
    QWMenuDevice* settings = m_view->settingsPanel();
    QWMenuColor* color = m_view->colorPanel();
    QWContextGraph* graphMenu = m_view->graphMenu();
    const auto bothRefresh = [&](const auto* sender, auto signal) {
        connect(sender, signal, a, &QWPainter::refreshVariable);
        connect(sender, signal, b, &QWPainter::refreshVariable);
    };

    connect(a, &QWPainter::s_Resize, a, &QWPainter::refreshVariable);
    connect(b, &QWPainter::s_Resize, b, &QWPainter::refreshVariable);
    // The restart empties the live curve itself, in the step where the time base restarts: a reset from
    // here could only come before the input's callback served it (stale points follow) or after (the
    // first new points go).
    connect(a, &QWPainter::s_InitStart, m_recorderA, &WorkerRecorderObject::timecodeUpdateBPM);
    connect(b, &QWPainter::s_InitStart, m_recorderB, &WorkerRecorderObject::timecodeUpdateBPM);
    Performance* performance = registry()->instancePerformance();
    connect(performance, &Performance::signalDisplayFrequency, this, &Connection::updateDisplayFrequency);
    connect(performance, &Performance::s_InputSample, m_view, &QWView::updateBpmSamplerate);
    connect(settings, &QWMenuDevice::s_UpdateFactorSpeed, m_view, &QWView::updateAllBpmSamplerate);
    connect(settings->tempoSlider(), &QSlider::sliderReleased, this, &Connection::updateTimerBPM);
    connect(settings->tempoSlider(), &QSlider::sliderReleased, m_player, &WorkerPlayObject::initRelaunch);
    // After the view's refresh above, as the release comes after the slider's last change.
    connect(settings, &QWMenuDevice::s_UpdateFactorSpeed, this, &Connection::applyTempoChange);
    // After each box's own save, connected when the panel was built.
    for (QCustomComboBox* box : {settings->inputACombo(), settings->inputBCombo(), settings->inputRecordingCombo(),
                                 settings->inputMidiCombo(), settings->outputPlaybackCombo()})
        connect(box, &QComboBox::currentIndexChanged, m_deviceObject, &DeviceObject::controllerDevices);
    connect(a, &QWPainter::s_XRange, b, &QWPainter::updateXRange);
    connect(b, &QWPainter::s_XRange, a, &QWPainter::updateXRange);
    bothRefresh(color, &QWMenuColor::s_refreshDisplay);
    connect(m_view, &QWView::CreateColorXML_A, a->managePhrasing(), &ManagePhrasing::createQLPXML);
    connect(m_view, &QWView::CreateColorXML_B, b->managePhrasing(), &ManagePhrasing::createQLPXML);
    connect(color, &QWMenuColor::s_refreshDisplay, a, &QWPainter::refreshListManagePhrasing);
    connect(color, &QWMenuColor::s_refreshDisplay, b, &QWPainter::refreshListManagePhrasing);
    bothRefresh(settings, &QWMenuDevice::s_HideShowOptionGraph);
    bothRefresh(settings->curveSizeSlider(), &QSlider::valueChanged);
    bothRefresh(m_view->toolBar()->displayModeCombo(), &QCSelectDisplayMode::s_Indexchanged);
    connect(graphMenu, &QWContextGraph::s_Autoresize_on, mode(), &Mode::modeAutoresize_on);
    connect(graphMenu, &QWContextGraph::s_Autoresize_off, mode(), &Mode::modeAutoresize_off);
    bothRefresh(graphMenu, &QWContextGraph::s_Autoresize_on);
    bothRefresh(graphMenu, &QWContextGraph::s_Autoresize_off);
    connect(a, &QWPainter::s_EndAutoresize, graphMenu, &QWContextGraph::autoresize_off);
    connect(b, &QWPainter::s_EndAutoresize, graphMenu, &QWContextGraph::autoresize_off);
    // Stays when the run chains are rewired, so it is the first receiver of every stop.
    connect(mode(), &Mode::s_StopApp, graphMenu, &QWContextGraph::autoresize_off);
}

void Connection::connectToolBar() {
    QWGridTool* toolBar = m_view->toolBar();
    QBToggle* reverse = toolBar->reverseToggle();
    QBToggle* record = toolBar->recordToggle();
    QBToggle* mix = toolBar->mixToggle();
    QBToggleCircular* hold = toolBar->holdToggle();
    QBSelectInput* selector = toolBar->inputSelector();
    connect(reverse, &QBToggle::s_Toogle_on, mode(), &Mode::modeReverse_on);
    connect(reverse, &QBToggle::s_Toogle_off, mode(), &Mode::modeReverse_off);
    connect(hold, &QBToggleCircular::s_Toogle_on, mode(), &Mode::modeHold_on);
    connect(hold, &QBToggleCircular::s_Toogle_off, mode(), &Mode::modeHold_off);
    // Recorder mode first, then the rewiring that puts the master recorder's stop into the chain.
    connect(record, &QBToggle::s_Toogle_on, mode(), &Mode::modeRecorder_on);
    connect(record, &QBToggle::s_Toogle_on, selector, &QBSelectInput::refreshState);
    connect(record, &QBToggle::s_Toogle_off, mode(), &Mode::modeRecorder_off);
    connect(record, &QBToggle::s_Toogle_on, registry()->instancePathFile(), &PathFile::newPathDirectory_recording);
    connect(m_view->modeMenu(), &QWMenuMode::s_ModeRecording_Enable, record, &QBToggle::toggleOffIfEnabled);
    connect(mix, &QBToggle::s_Toogle_on, mode(), &Mode::modeMix_on);
    connect(mix, &QBToggle::s_Toogle_off, mode(), &Mode::modeMix_off);
    connect(mix, &QBToggle::s_Toogle_on, reverse, &QWidget::show);
    connect(mix, &QBToggle::s_Toogle_off, reverse, &QWidget::hide);
    // Mix mode is on at start, with the reverse toggle shown.
    mix->toggle_on();
    QBToggle* metronome = toolBar->metronomeToggle();
    connect(metronome, &QBToggle::s_Toogle_on, mode(), &Mode::modeMetronom_on);
    connect(metronome, &QBToggle::s_Toogle_off, mode(), &Mode::modeMetronom_off);
    connect(selector, &QBSelectInput::s_toogle_value, this, &Connection::initConnectionPlayStopTraining);
    connect(selector, &QBSelectInput::s_toogle_value, painterA(), &QWPainter::initGraph);
    connect(selector, &QBSelectInput::s_toogle_value, painterB(), &QWPainter::initGraph);
    connect(m_view->settingsPanel()->timecodeCombo(), &QComboBox::currentTextChanged, selector,
            &QBSelectInput::refreshState);
}

void Connection::connectOpenSet() {
    QWPainter* a = painterA();
    QWPainter* b = painterB();
    RecordingLooperTraining* open = registry()->instanceLooperTraining();
    for (QWPainter* painter : {a, b}) {
        const auto reset = painter == a ? &RecordingLooperTraining::s_ResetCurve_1
                                        : &RecordingLooperTraining::s_ResetCurve_2;
        connect(open, reset, painter, &QWPainter::resetCurve_Main);
        connect(open, reset, painter, &QWPainter::resetCurve_Secondary);
        connect(open, reset, painter, &QWPainter::refreshVariable);
        connect(open, painter == a ? &RecordingLooperTraining::s_OpenCurve_1 : &RecordingLooperTraining::s_OpenCurve_2,
                painter, &QWPainter::importCurve_Secondary);
    }
    connect(a, &QWPainter::s_EndImportCurve_Secondary, a, &QWPainter::refreshVariable);
    connect(b, &QWPainter::s_EndImportCurve_Secondary, b, &QWPainter::refreshVariable);
    connect(a, &QWPainter::s_PressRightButton, m_view, &QWView::contectGraphShow);
    connect(b, &QWPainter::s_PressRightButton, m_view, &QWView::contectGraphShow);
    connect(m_view->graphMenu(), &QWContextGraph::s_SelectArea, mode(), &Mode::modeSelectArea_on);
    connect(a, &QWPainter::s_EndSelectArea, mode(), &Mode::modeSelectArea_off);
    connect(b, &QWPainter::s_EndSelectArea, mode(), &Mode::modeSelectArea_off);
}

void Connection::connectMenus() {
    QWMenuMode* modeMenu = m_view->modeMenu();
    connect(modeMenu->optionEntry(), &QBPushMenuNoLabel::s_push, m_view->applicationMenu(), &QWidget::show);
    connect(m_view->applicationMenu(), &QWContextMenu::s_Close, this, &Connection::killApp);
    connect(modeMenu, &QWMenuMode::s_Mode_Disable, m_view->pageStack(), &QWidget::hide);
    connect(modeMenu, &QWMenuMode::s_Mode_Enable, mode(), &Mode::modeMenu_on);
    connect(modeMenu, &QWMenuMode::s_Mode_Disable, mode(), &Mode::modeMenu_off);
    connect(painterA(), &QWPainter::s_MouseReleaseEvent, modeMenu, &QWMenuMode::disableSubMenu);
    connect(painterB(), &QWPainter::s_MouseReleaseEvent, modeMenu, &QWMenuMode::disableSubMenu);
    // The pages start hidden, the menu mode off.
    emit modeMenu->s_Mode_Disable();
    for (QBPushMenu* entry : modeMenu->listPushMenu()) {
        connect(entry, &QBPushMenu::s_MenuNoFocus, modeMenu, &QWMenuMode::controllerMenuNoFocus);
        connect(entry, &QBPushMenu::s_Push, modeMenu, &QWMenuMode::controllerSubMode);
    }
}

void Connection::connectPanels() {
    QWMenuMode* modeMenu = m_view->modeMenu();
    QWGridTool* toolBar = m_view->toolBar();
    for (QWMenuLooper* panel : m_view->listMenuLooper()) {
        connect(panel->closeButton(), &QBPushDark::s_push, modeMenu, &QWMenuMode::disableSubMenu);
        connect(panel->importButton(), &QBPushDark::s_push, panel, &QWMenuLooper::addQLZToWidgetAndLooper);
        connect(panel->addButton(), &QBPushDark::s_push, panel, &QWMenuLooper::addNewLooper);
        connect(mode(), &Mode::s_RecorderModeStatus, panel, &QWMenuLooper::refresh);
        connect(panel, &QWMenuLooper::s_RefreshLooper, toolBar, &QWGridTool::updateRemoteList);
        connect(toolBar->previousButton(), &QBPush::s_push, panel, &QWMenuLooper::previous);
        connect(toolBar->playButton(), &QB2Push::s_push, panel, &QWMenuLooper::play);
        connect(toolBar->nextButton(), &QBPush::s_push, panel, &QWMenuLooper::next);
        connect(mode(), &Mode::s_RefreshMenu, panel, &QWMenuLooper::manageIconPlayPause);
    }

    QWMenuColor* color = m_view->colorPanel();
    connect(mode(), &Mode::s_RefreshMenu, color, &QWMenuColor::refreshDisplay);
    connect(color->closeButton(), &QBPushDark::s_push, modeMenu, &QWMenuMode::disableSubMenu);
    connect(m_view->settingsPanel()->closeButton(), &QBPushDark::s_push, modeMenu, &QWMenuMode::disableSubMenu);
    connect(painterA()->managePhrasing(), &ManagePhrasing::s_newColorFile, color,
            &QWMenuColor::importQLPFileWithoutCopy);
    connect(painterB()->managePhrasing(), &ManagePhrasing::s_newColorFile, color,
            &QWMenuColor::importQLPFileWithoutCopy);
    connect(modeMenu, &QWMenuMode::s_ModeTraining_Enable, m_view, &QWView::screenMenu_Training);
    connect(modeMenu, &QWMenuMode::s_ModeRecording_Enable, m_view, &QWView::screenMenu_Recording);
    connect(modeMenu, &QWMenuMode::s_ModeLooper_Enable, m_view, &QWView::screenMenu_Looper);
    connect(modeMenu, &QWMenuMode::s_ModeColor_Enable, m_view, &QWView::screenMenu_Color);
    connect(modeMenu, &QWMenuMode::s_ModeDevice_Enable, m_view, &QWView::screenMenu_Device);

    initConnectionPlayStopTraining(ModelInput::TEXT_A);

    connect(m_view, &QWView::s_NewRecording, m_view->recordingPanel(), &QWMenuLooper::addWidgetAndLooper);
    connect(m_view->looperPanel()->importLooper(), &ImportLooper::s_NewLooper, m_view->looperPanel(),
            &QWMenuLooper::addWidgetAndLooper);
    connect(registry()->instanceLooperTraining(), &RecordingLooperTraining::s_UpdateBpm, m_view->settingsPanel(),
            &QWMenuDevice::updateFactorSpeed);
}

void Connection::connectTimers() {
    m_deviceObject->controllerDevices();
    m_displayTimer->setTimerType(Qt::PreciseTimer);
    updateDisplayFrequency();
    connect(m_displayTimer, &QTimer::timeout, painterA(), &QWPainter::refresh);
    connect(m_displayTimer, &QTimer::timeout, painterB(), &QWPainter::refresh);
    m_displayTimer->start();
    connect(m_metronomeTimer, &QTimer::timeout, this, &Connection::controller);
    connect(this, &Connection::s_metronum, m_view->toolBar()->metronomeLed(), &QDLed::trigger);
    connect(this, &Connection::s_metronum, m_view, &QWView::metronomSound);
    connect(this, &Connection::s_metronum_All4, m_player, &WorkerPlayObject::restartSound);
}
