#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSplashScreen>
#include <QThread>
#include <QtTest>

#include <functional>

#include "CountInSteps.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "SyntheticCurve.h"
#include "TestFiles.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/audio/DeviceObject.h"
#include "core/audio/WorkerPlayObject.h"
#include "core/audio/WorkerRecorderObject.h"
#include "core/midi/WorkerMidiObject.h"
#include "gui/Connection.h"
#include "gui/CountIn.h"
#include "gui/QWContextMenu.h"
#include "gui/QWGridTool.h"
#include "gui/QWMenuDevice.h"
#include "gui/QWMenuMode.h"
#include "gui/QWView.h"
#include "gui/graph/QWContextGraph.h"
#include "gui/graph/QWPainter.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBMidiLearn.h"
#include "gui/widgets/QBSelectInput.h"
#include "gui/widgets/QBToggle.h"
#include "gui/widgets/QComboBoxBpm.h"
#include "gui/widgets/QComboBoxInputBuffer.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QCustomSlider.h"

// The controller window without audio devices: its thread and timers, the order of the run, stop and
// start chains for each input selection, the count-in and the metronome, and the ways out.
class TestConnection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void splashForTwoSeconds();
    void midiWorkerOnItsOwnThread();
    void displayTimer_data();
    void displayTimer();
    void chains_data();
    void chains();
    void countIn_data();
    void countIn();
    void metronome_data();
    void metronome();
    void tempoChanges_data();
    void tempoChanges();
    void spaceCancelsTheCountIn();
    void fixedWiring_data();
    void fixedWiring();
    void playPictures_data();
    void playPictures();
    void restartWithoutStream();
    void quitAndCloseEndTheLoop();
    void cleanupTestCase();

private:
    Connection* m_window = nullptr;
    ModalDriver* m_modal = nullptr;
    QPointer<QSplashScreen> m_splash;
    qint64 m_splashGoneAfter = -1; // ms from the start of the window's construction
};

namespace {

Mode* mode() {
    return Singleton::instance()->instanceMode();
}

void setTempo(double bpm) {
    Singleton::instance()->instanceLooperTraining()->setFactorSpeed(bpm);
}

// The receivers of each chain in the order of the tables, with the condition under which each takes
// part: "A" input A used, "B" input B used, "R" recorder mode on when the chain was wired.
using Row = std::pair<QString, QString>;
const QList<Row> RUN_CHAIN = {
    {"playButton.checked", ""},           {"inputSelector.disabled", ""},  {"recordToggle.disabled", ""},
    {"painterA.resetCurve_Main", ""},     {"painterB.resetCurve_Main", ""}, {"modeCurrentTimerAutoresize_on", ""},
    {"timerRunAllSound", ""},             {"beatCombo.disabled", ""},      {"timecode.disabled", ""},
    {"inputA.disabled", ""},              {"inputB.disabled", ""},         {"inputRecording.disabled", ""},
    {"inputMidi.disabled", ""},           {"learn.disabled", ""},          {"outputPlayback.disabled", ""},
    {"inputBufferA.disabled", ""},        {"inputBufferB.disabled", ""},   {"midi.startRun", ""},
    {"painterA.initGraph", "A"},          {"painterB.initGraph", "B"},     {"view.loadSound", ""},
    {"dispatcher.run", ""}};
const QList<Row> STOP_CHAIN = {
    {"stopAllSound", ""},           {"playButton.unchecked", ""},   {"inputSelector.enabled", ""},
    {"recordToggle.enabled", ""},   {"modeCurrentTimerAutoresize_off", ""}, {"beatCombo.enabled", ""},
    {"timecode.enabled", ""},       {"inputA.enabled", ""},         {"inputB.enabled", ""},
    {"inputRecording.enabled", ""}, {"inputMidi.enabled", ""},      {"learn.enabled", ""},
    {"outputPlayback.enabled", ""}, {"inputBufferA.enabled", ""},   {"inputBufferB.enabled", ""},
    {"recorderMaster.stop", "R"},   {"midi.stopRun", ""},           {"player.stop", ""},
    {"recorderA.stop", "A"},        {"recorderB.stop", "B"},        {"view.stopSound", ""},
    {"modeRun_off", ""},            {"view.exportFile", ""}};
const QList<Row> START_CHAIN = {{"recorderA.timecodeInitialise", "A"},
                                {"recorderB.timecodeInitialise", "B"},
                                {"player.play", ""},
                                {"view.playSound", ""},
                                {"modeRun_on", ""}};

// What each label's receiver must be: the object and the slot the wiring connects.
QHash<QString, ChainWiring::Call> callsByLabel(Connection* w) {
    using C = ChainWiring;
    QWView* view = w->view();
    QWGridTool* bar = view->toolBar();
    QWMenuDevice* settings = view->settingsPanel();
    QHash<QString, C::Call> calls{
        {"playButton.checked", C::call(bar->playButton(), &QB2Push::checked)},
        {"playButton.unchecked", C::call(bar->playButton(), &QB2Push::unchecked)},
        {"painterA.resetCurve_Main", C::call(view->painterA(), &QWPainter::resetCurve_Main)},
        {"painterB.resetCurve_Main", C::call(view->painterB(), &QWPainter::resetCurve_Main)},
        {"painterA.initGraph", C::call(view->painterA(), &QWPainter::initGraph)},
        {"painterB.initGraph", C::call(view->painterB(), &QWPainter::initGraph)},
        {"modeCurrentTimerAutoresize_on", C::call(mode(), &Mode::modeCurrentTimerAutoresize_on)},
        {"modeCurrentTimerAutoresize_off", C::call(mode(), &Mode::modeCurrentTimerAutoresize_off)},
        {"modeRun_on", C::call(mode(), &Mode::modeRun_on)},
        {"modeRun_off", C::call(mode(), &Mode::modeRun_off)},
        {"timerRunAllSound", C::call(w, &Connection::timerRunAllSound)},
        {"stopAllSound", C::call(w, &Connection::stopAllSound)},
        {"updatePlayStopIcon", C::call(w, &Connection::updatePlayStopIcon)},
        {"midi.startRun", C::call(w->midiWorker(), &WorkerMidiObject::startRun)},
        {"midi.stopRun", C::call(w->midiWorker(), &WorkerMidiObject::stopRun)},
        {"settings.updateCrossfaderValue", C::call(settings, &QWMenuDevice::updateCrossfaderValue)},
        {"view.loadSound", C::call(view, &QWView::loadSound)},
        {"view.playSound", C::call(view, &QWView::playSound)},
        {"view.stopSound", C::call(view, &QWView::stopSound)},
        {"view.exportFile", C::call(view, &QWView::exportFile)},
        {"dispatcher.run", C::call(w->dispatcher(), &DeviceObject::run)},
        {"player.play", C::call(w->player(), &WorkerPlayObject::play)},
        {"player.stop", C::call(w->player(), &WorkerPlayObject::stop)},
        {"recorderMaster.stop", C::call(w->recorderMaster(), &WorkerRecorderObject::stop)},
        {"recorderA.stop", C::call(w->recorderA(), &WorkerRecorderObject::stop)},
        {"recorderB.stop", C::call(w->recorderB(), &WorkerRecorderObject::stop)},
        {"recorderA.timecodeInitialise", C::call(w->recorderA(), &WorkerRecorderObject::timecodeInitialise)},
        {"recorderB.timecodeInitialise", C::call(w->recorderB(), &WorkerRecorderObject::timecodeInitialise)}};
    // The controls a run locks and its stop unlocks.
    const auto lock = [&calls](const QString& name, auto* control, auto disabled, auto enabled) {
        calls.insert(name + ".disabled", C::call(control, disabled));
        calls.insert(name + ".enabled", C::call(control, enabled));
    };
    lock("inputSelector", bar->inputSelector(), &QBSelectInput::disabled, &QBSelectInput::enabled);
    lock("recordToggle", bar->recordToggle(), &QBToggle::disabled, &QBToggle::enabled);
    lock("beatCombo", bar->beatCombo(), &QComboBoxBpm::disabled, &QComboBoxBpm::enabled);
    lock("learn", settings->learnButton(), &QBMidiLearn::disabled, &QBMidiLearn::enabled);
    const std::pair<const char*, QCustomComboBox*> boxes[] = {
        {"timecode", settings->timecodeCombo()},   {"inputA", settings->inputACombo()},
        {"inputB", settings->inputBCombo()},       {"inputRecording", settings->inputRecordingCombo()},
        {"inputMidi", settings->inputMidiCombo()}, {"outputPlayback", settings->outputPlaybackCombo()}};
    for (const auto& [name, box] : boxes)
        lock(name, box, &QCustomComboBox::disabled, &QCustomComboBox::enabled);
    lock("inputBufferA", settings->inputBufferComboA(), &QComboBoxInputBuffer::disabled,
         &QComboBoxInputBuffer::enabled);
    lock("inputBufferB", settings->inputBufferComboB(), &QComboBoxInputBuffer::disabled,
         &QComboBoxInputBuffer::enabled);
    return calls;
}

// Whether the button shows the embedded picture `name`.
bool shows(const QAbstractButton* button, const QString& name) {
    const QSize size = button->iconSize();
    return button->icon().pixmap(size).toImage() ==
           QIcon(Path::joinResourceIcon(name)).pixmap(size).toImage();
}

QStringList expected(const QList<Row>& chain, const QString& conditions) {
    QStringList labels;
    for (const auto& [label, condition] : chain)
        if (condition.isEmpty() || conditions.contains(condition))
            labels << label;
    return labels;
}

} // namespace

void TestConnection::initTestCase() {
    m_modal = new ModalDriver(this);
    QElapsedTimer building;
    building.start();
    m_window = new Connection;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<QSplashScreen*>(widget))
            m_splash = splash;
    if (m_splash)
        connect(m_splash, &QObject::destroyed, this,
                [this, building] { m_splashGoneAfter = building.elapsed(); });
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

// The logo shows while the window is built and goes by itself about two seconds later (no upper
// bound: a busy machine may be late).
void TestConnection::splashForTwoSeconds() {
    QVERIFY(m_splashGoneAfter >= 0 || (m_splash && m_splash->isVisible() && !m_splash->pixmap().isNull()));
    QTRY_VERIFY_WITH_TIMEOUT(m_splash.isNull(), 30000);
    QVERIFY2(m_splashGoneAfter >= 1500, qPrintable(QString::number(m_splashGoneAfter)));
}

void TestConnection::midiWorkerOnItsOwnThread() {
    QThread* thread = m_window->midiThread();
    QCOMPARE(m_window->midiWorker()->thread(), thread);
    QVERIFY(thread != QThread::currentThread());
    QVERIFY(thread->isRunning());
    QCOMPARE(thread->priority(), QThread::HighPriority);
}

void TestConnection::displayTimer_data() {
    QTest::addColumn<double>("hz");
    QTest::addColumn<int>("interval");
    QTest::newRow("stored default") << 0.0 << 8;
    QTest::newRow("60 Hz") << 60.0 << 16;
    QTest::newRow("4000 Hz") << 4000.0 << 1;
    QTest::newRow("no period at all") << 5e-324 << 8;
}

// Precise, 8 ms at start, following the display rate at once while it keeps running.
void TestConnection::displayTimer() {
    QFETCH(double, hz);
    QFETCH(int, interval);
    if (hz > 0)
        Singleton::instance()->instancePerformance()->setDisplayFrequency(hz);
    QTimer* timer = m_window->displayTimer();
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), interval);
}

void TestConnection::chains_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<bool>("recorderAtWiring");
    QTest::addColumn<bool>("recorderAtRun");
    QTest::addColumn<QString>("conditions");
    QTest::newRow("A") << int(ModelInput::TEXT_A) << false << false << "A";
    QTest::newRow("B") << int(ModelInput::TEXT_B) << false << false << "B";
    QTest::newRow("A and B, recorder mode") << int(ModelInput::TEXT_A_B) << true << true << "ABR";
    // Switching recorder mode off does not rewire: the master recorder still stops.
    QTest::newRow("A, recorder mode switched off since") << int(ModelInput::TEXT_A) << true << false << "AR";
}

// Every receiver of the three chains runs once, in the order of the tables, after three wirings; the
// view's relays show that no real receiver was left connected from an earlier wiring.
void TestConnection::chains() {
    QFETCH(int, selection);
    QFETCH(bool, recorderAtWiring);
    QFETCH(bool, recorderAtRun);
    QFETCH(QString, conditions);
    const auto input = ModelInput::EnumInput(selection);
    recorderAtWiring ? mode()->modeRecorder_on() : mode()->modeRecorder_off();
    QStringList heard;
    QStringList misdirected; // labels whose connection calls another object or slot
    const QHash<QString, ChainWiring::Call> calls = callsByLabel(m_window);
    m_window->runWiring().setCallObserver([&](const QString& label, const ChainWiring::Call& call) {
        heard << label;
        if (calls.value(label) != call)
            misdirected << label;
    });
    // Also after a failed check: no probe may outlive what it writes to.
    const auto rewire = qScopeGuard([this] {
        m_window->runWiring().setObserver(nullptr);
        mode()->modeRecorder_off();
        m_window->initConnectionPlayStopTraining(ModelInput::TEXT_A);
    });
    for (int i = 0; i < 3; ++i)
        m_window->initConnectionPlayStopTraining(input);
    recorderAtRun ? mode()->modeRecorder_on() : mode()->modeRecorder_off();
    QCOMPARE(m_window->view()->painterA()->isVisibleTo(m_window), conditions.contains('A'));
    QCOMPARE(m_window->view()->painterB()->isVisibleTo(m_window), conditions.contains('B'));
    QSignalSpy loaded(m_window->view(), &QWView::s_Load_Metronum);
    QSignalSpy recorded(m_window->view(), &QWView::s_Record_SoundA);
    QSignalSpy stopped(m_window->view(), &QWView::s_Stop_Looper);

    heard.clear();
    mode()->modeTraining_on();
    QCOMPARE(heard, expected(RUN_CHAIN, conditions));
    QCOMPARE(loaded.count(), 1);
    heard.clear();
    m_window->countIn()->cancel();
    m_window->runAllSound();
    QCOMPARE(heard, expected(START_CHAIN, conditions));
    QCOMPARE(recorded.count(), 1);
    heard.clear();
    mode()->modeTraining_off();
    QCOMPARE(heard, expected(STOP_CHAIN, conditions));
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(misdirected.join(", "), QString());
}

void TestConnection::countIn_data() {
    QTest::addColumn<double>("tempo");
    QTest::addColumn<QList<int>>("delays");
    QTest::addColumn<QString>("interruption");
    // Each delay truncated on its own: 4 x 714 would be 2856.
    QTest::newRow("84 bpm") << 84.0 << QList<int>{0, 714, 1428, 2142, 2857} << "";
    QTest::newRow("200 bpm, stopped") << 200.0 << QList<int>{0, 300, 600, 900, 1200} << "stop";
    QTest::newRow("200 bpm, started again") << 200.0 << QList<int>{0, 300, 600, 900, 1200} << "start";
}

// Tags 4 to 0 a beat apart, then one start; a stop during the count-in leaves no start to come and
// releases the training lock; a new start replaces the pending count-in.
void TestConnection::countIn() {
    QFETCH(double, tempo);
    QFETCH(QList<int>, delays);
    QFETCH(QString, interruption);
    setTempo(tempo);
    QSignalSpy started(m_window, &Connection::s_startTraining);
    QObject watcher; // the hooks go with it
    const auto afterSteps = [&](int delayMs, const std::function<void()>& action) {
        CountInSteps::after(m_window->countIn(), delayMs, &watcher, action);
    };
    QList<int> tags;
    const auto recordTag = [&] { tags << m_window->view()->painterA()->tagNumber(); };
    mode()->modeTrainingLock_on();
    mode()->modeTraining_on();
    QCOMPARE(m_window->countIn()->pendingDelays(), delays);
    if (interruption == "stop") {
        afterSteps(delays[1], [] { mode()->modeTraining_off(); });
        QTRY_VERIFY(!mode()->modeTraining());
        QVERIFY(!m_window->countIn()->isPending());
        QVERIFY(!mode()->modeTrainingLock());
        QCOMPARE(m_window->view()->painterA()->tagNumber(), 0);
        QCOMPARE(m_window->view()->painterB()->tagNumber(), 0);
        QTest::qWait(delays.last());
        QCOMPARE(started.count(), 0);
        QVERIFY(!mode()->modeRun() && !mode()->modeStartSynchronized());
        QVERIFY(!m_window->metronomeTimer()->isActive());
        return;
    }
    if (interruption == "start") {
        afterSteps(delays[2], [&] {
            mode()->modeTraining_on();
            afterSteps(-1, recordTag);
        });
    } else {
        afterSteps(-1, recordTag);
    }
    QTRY_VERIFY_WITH_TIMEOUT(started.count() > 0, 10000);
    // The start comes with tag 0 on both painters and the lock released.
    QCOMPARE(m_window->view()->painterB()->tagNumber(), 0);
    QVERIFY(!mode()->modeTrainingLock());
    QCOMPARE(tags, (QList<int>{4, 3, 2, 1, 0}));
    QTest::qWait(100);
    QCOMPARE(started.count(), 1);
    QVERIFY(mode()->modeRun() && mode()->modeStartSynchronized());
    mode()->modeTraining_off();
}

void TestConnection::metronome_data() {
    QTest::addColumn<double>("tempo");
    QTest::addColumn<int>("interval");
    QTest::newRow("84") << 84.0 << 714;
    QTest::newRow("50") << 50.0 << 1200;
    QTest::newRow("200") << 200.0 << 300;
}

// One tick per beat, a bar every fourth tick; a tempo change restarts the beat at the new interval
// without losing the count.
void TestConnection::metronome() {
    QFETCH(double, tempo);
    QFETCH(int, interval);
    setTempo(tempo);
    m_window->startTimerBpm();
    QCOMPARE(m_window->metronomeTimer()->interval(), interval);
    QVERIFY(m_window->metronomeTimer()->isActive());
    m_window->metronomeTimer()->stop();
    m_window->runAllSound();
    QSignalSpy beats(m_window, &Connection::s_metronum);
    QSignalSpy bars(m_window, &Connection::s_metronum_All4);
    QList<int> barAt;
    connect(m_window, &Connection::s_metronum_All4, this, [&] { barAt << int(beats.count()); });
    for (int i = 0; i < 6; ++i)
        m_window->controller();
    setTempo(84);
    m_window->updateTimerBPM();
    for (int i = 0; i < 2; ++i)
        m_window->controller();
    QCOMPARE(barAt, (QList<int>{4, 8}));
    QCOMPARE(bars.count(), 2);
    m_window->disconnect(this);
    mode()->modeTraining_off();
}

void TestConnection::tempoChanges_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("countingIn");
    QTest::addColumn<int>("tempo"); // played afterwards; the set's own tempo is 84
    QTest::addColumn<bool>("recordingB"); // in recorder mode, only input B's recorder holds a take
    QTest::newRow("groove click") << "click" << false << 110 << false;
    QTest::newRow("Page Up") << "PageUp" << false << 110 << false;
    QTest::newRow("Page Down") << "PageDown" << false << 90 << false;
    QTest::newRow("a set's tempo") << "set" << false << 94 << false;
    QTest::newRow("drag, applied on release") << "drag" << false << 120 << false;
    QTest::newRow("Page Up during the count-in") << "PageUp" << true << 110 << false;
    QTest::newRow("Page Up, only B recording") << "PageUp" << false << 110 << true;
}

// From 100 on a set of 84 during a run, every way the tempo changes reaches the metronome and the
// player's looper speed; during the count-in the metronome waits for the start. A recorded input keeps
// its live curve and time base, so its curve file matches its take; the other restarts.
void TestConnection::tempoChanges() {
    QFETCH(QString, change);
    QFETCH(bool, countingIn);
    QFETCH(int, tempo);
    QFETCH(bool, recordingB);
    RecordingLooperTraining* open = Singleton::instance()->instanceLooperTraining();
    QWMenuDevice* settings = m_window->view()->settingsPanel();
    QCustomSlider* slider = settings->tempoSlider();
    m_window->view()->screenMenu_Device();
    settings->findChild<QTabWidget*>()->setCurrentIndex(1); // DISPLAY, where the tempo slider is
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QString loop = TestSandbox::root() + "/loop-44100.wav";
    QVERIFY(TestFiles::write(loop, TestFiles::wavFile(QByteArray(4 * 4410, '\1'), 44100)));
    open->setPathSound_Looper(loop);
    open->setBpm(84);
    settings->updateFactorSpeed(100);
    mode()->modeTraining_on();
    // No output device here: a descriptor without one sets the player up without opening a stream.
    m_window->player()->load(std::make_shared<const QSample>(ModelGraph::PLAYBACK, -1, QString(), 48000.0, 2, 0));
    const OutputFactorSpeed::Setup& looper = m_window->player()->setup().channel[PlaySetup::LOOPER];
    const double rateRatio = 44100 / 48000.0;
    QCOMPARE(looper.factorSpeed, 100 / 84.0 * rateRatio);
    if (!countingIn) {
        m_window->countIn()->cancel();
        m_window->runAllSound();
        QCOMPARE(m_window->metronomeTimer()->interval(), 600);
    }
    Time* time = Singleton::instance()->instanceTime();
    if (recordingB) {
        // B's stream opened in recorder mode on the capture device, not started: a restart would empty its
        // curve at once. A has no device.
        mode()->modeRecorder_on();
        Singleton::instance()->instanceSetting()->setParamInput_B(
            Singleton::instance()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]").value(0));
        m_window->dispatcher()->controllerDevices();
        m_window->recorderB()->load(Singleton::instance()->sampleB());
        QVERIFY(m_window->recorderB()->recording() && !m_window->recorderA()->recording());
        for (QWPainter* painter : {m_window->view()->painterA(), m_window->view()->painterB()})
            SyntheticCurve::fill(*painter->curve_Main(), 0, 10, 160.0);
        for (ModelGraph::EnumGraph graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B}) {
            time->resetCurrentSamplerate_m_s(graph);
            time->incrementCurrentSamplerate_m_s(graph);
        }
    }

    if (change == "click") {
        QCOMPARE(slider->value(), 100);
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 3, slider->height() / 2));
    } else if (change == "set") {
        open->setBpm(tempo);
    } else if (change == "drag") {
        slider->setSliderDown(true);
        slider->setValue(tempo);
        QCOMPARE(m_window->metronomeTimer()->interval(), 600);
        slider->setSliderDown(false);
    } else {
        QTest::keyClick(slider, change == "PageUp" ? Qt::Key_PageUp : Qt::Key_PageDown);
    }
    QCOMPARE(slider->value(), tempo);
    QCOMPARE(looper.factorSpeed, tempo / open->bpm() * rateRatio);
    if (countingIn) {
        QVERIFY(!m_window->metronomeTimer()->isActive());
        m_window->countIn()->cancel();
        m_window->runAllSound();
    }
    QCOMPARE(m_window->metronomeTimer()->interval(), int(60000.0 / tempo));
    QVERIFY(m_window->metronomeTimer()->isActive());
    if (recordingB) {
        QCOMPARE(m_window->view()->painterB()->curve_Main()->curveGlobal()->size(), 10);
        QCOMPARE(time->currentSamplerate_m_s(ModelGraph::INPUT_B), 1.0);
        QCOMPARE(m_window->view()->painterA()->curve_Main()->curveGlobal()->size(), 0);
        QCOMPARE(time->currentSamplerate_m_s(ModelGraph::INPUT_A), 0.0);
        m_window->recorderB()->stop();
        Singleton::instance()->instanceSetting()->setParamInput_B(QString());
        QTest::ignoreMessage(QtInfoMsg, "Nothing was recorded in this run: no recording is added to the library.");
    }
    mode()->modeTraining_off();
    mode()->modeRecorder_off();
    QVERIFY(!m_window->metronomeTimer()->isActive());
    open->setPathSound_Looper(QString());
    m_window->view()->modeMenu()->disableSubMenu();
}

// Space during the count-in stops it and releases the lock; the next Space starts a run as ever.
void TestConnection::spaceCancelsTheCountIn() {
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QSignalSpy started(m_window, &Connection::s_startTraining);
    bool counting = false;
    // Pressed as soon as the count-in is scheduled: posted, so it comes before any of its steps.
    const QMetaObject::Connection pressed = connect(mode(), &Mode::s_RunApp, this, [&] {
        QMetaObject::invokeMethod(
            this,
            [&] {
                counting = m_window->countIn()->isPending() && mode()->modeTrainingLock();
                QTest::keyClick(m_window, Qt::Key_Space);
            },
            Qt::QueuedConnection);
    });
    QTest::keyClick(m_window, Qt::Key_Space);
    QTRY_VERIFY(counting);
    disconnect(pressed);
    QVERIFY(!mode()->modeTraining());
    QVERIFY(!m_window->countIn()->isPending());
    QVERIFY(!mode()->modeTrainingLock());
    QTest::qWait(3000); // the whole count-in at 84
    QCOMPARE(started.count(), 0);
    QVERIFY(!mode()->modeRun() && !mode()->modeStartSynchronized());

    QTest::keyClick(m_window, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(started.count() == 1, 10000);
    QVERIFY(mode()->modeRun() && !mode()->modeTrainingLock());
    QTest::keyClick(m_window, Qt::Key_Space);
    QVERIFY(!mode()->modeTraining() && !mode()->modeRun());
}

enum FixedLink { StopEndsAutoresize, TimecodeRewires, CrossfaderEndsLearning };

void TestConnection::fixedWiring_data() {
    QTest::addColumn<int>("link");
    QTest::newRow("a stop turns auto-resize off") << int(StopEndsAutoresize);
    QTest::newRow("a timecode change rewires the chains") << int(TimecodeRewires);
    QTest::newRow("a learned crossfader ends learning") << int(CrossfaderEndsLearning);
}

// The connections made once, outside the chains that each wiring replaces.
void TestConnection::fixedWiring() {
    QFETCH(int, link);
    QWMenuDevice* settings = m_window->view()->settingsPanel();
    switch (FixedLink(link)) {
    case StopEndsAutoresize:
        m_window->view()->graphMenu()->autoresize_on();
        QVERIFY(mode()->modeAutoresize());
        mode()->modeTraining_off();
        QVERIFY(!mode()->modeAutoresize());
        break;
    case TimecodeRewires: {
        // Recorder mode switched on without a rewiring: only a new wiring adds the master recorder's stop.
        mode()->modeRecorder_on();
        const qsizetype before = m_window->runWiring().size();
        QCustomComboBox* timecode = settings->timecodeCombo();
        const int start = timecode->currentIndex();
        timecode->setCurrentIndex((start + 1) % timecode->count());
        QCOMPARE(m_window->runWiring().size(), before + 1);
        mode()->modeRecorder_off();
        timecode->setCurrentIndex(start);
        break;
    }
    case CrossfaderEndsLearning:
        settings->learnButton()->toggle_on();
        emit settings->s_UpdateCrossFader();
        QVERIFY(!settings->learnButton()->isChecked());
        break;
    }
}

void TestConnection::playPictures_data() {
    QTest::addColumn<bool>("recorder");
    QTest::addColumn<QStringList>("pictures"); // idle, running
    QTest::newRow("recorder mode") << true
                                   << QStringList{"play_record-button.png", "pause_record-button.png"};
    QTest::newRow("training") << false << QStringList{"play-button.png", "pause-button.png"};
}

// The play button tells a run that records from one that does not, idle and running.
void TestConnection::playPictures() {
    QFETCH(bool, recorder);
    QFETCH(QStringList, pictures);
    recorder ? mode()->modeRecorder_on() : mode()->modeRecorder_off();
    QB2Push* play = m_window->view()->toolBar()->playButton();
    for (bool running : {false, true}) {
        play->setChecked(running);
        QVERIFY2(shows(play, pictures[running]), qPrintable(pictures[running]));
    }
    play->setChecked(false);
    mode()->modeRecorder_off();
}

// Input A has no stream: a restart the painter asks for is done at once, the time base and the live
// curve together. The recorder's announcement of it empties nothing on the GUI side: with a running
// stream that would take the first points of the new time base.
void TestConnection::restartWithoutStream() {
    QWPainter* painter = m_window->view()->painterA();
    QListDataCurve* list = painter->curve_Main()->curveGlobal();
    Time* time = Singleton::instance()->instanceTime();
    QData point;
    list->addQdata(point);
    time->incrementCurrentSamplerate_m_s(ModelGraph::INPUT_A);
    const std::shared_ptr<const QSample> sample =
        Singleton::instance()->instancePerformance()->inputSample(ModelGraph::INPUT_A);
    QVERIFY(sample && sample->samplerateInMs() > 0);
    QElapsedTimer asked;
    asked.start();
    painter->initStart();
    const double elapsed = time->currentTimeToSamplerate(ModelGraph::INPUT_A, sample.get());
    QVERIFY2(elapsed <= asked.nsecsElapsed() / 1e6 * sample->samplerateInMs(), qPrintable(QString::number(elapsed)));
    QCOMPARE(list->size(), 0);
    QCOMPARE(time->currentSamplerate_m_s(ModelGraph::INPUT_A), 0.0);

    list->addQdata(point);
    emit m_window->recorderA()->s_UpdateBPM();
    QCOMPARE(list->size(), 1);
    list->clear();
}

// Quit from the application menu ends the event loop with 0; closing the window during a run stops it
// before the loop ends.
void TestConnection::quitAndCloseEndTheLoop() {
    QMenu* file = m_window->view()->applicationMenu()->actions().first()->menu();
    QTimer::singleShot(0, file->actions().first(), &QAction::trigger);
    QCOMPARE(qApp->exec(), 0);

    // Quitting closed the window.
    m_window->show();
    QSignalSpy stops(mode(), &Mode::s_StopApp);
    setTempo(200);
    mode()->modeTraining_on();
    QTimer::singleShot(500, m_window, &QWidget::close);
    QCOMPARE(qApp->exec(), 0);
    QCOMPARE(stops.count(), 1);
    QVERIFY(!mode()->modeTraining() && !mode()->modeRun() && !m_window->countIn()->isPending());
}

void TestConnection::cleanupTestCase() {
    delete m_window;
    QCOMPARE(m_modal->messages(), QStringList());
}

QUILLON_GUI_TEST_MAIN(TestConnection)
#include "tst_Connection.moc"
