#include <QMenu>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <functional>

#include "GuiTest.h"
#include "ModalDriver.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/midi/WorkerMidiObject.h"
#include "gui/Connection.h"
#include "gui/CountIn.h"
#include "gui/QWContextMenu.h"
#include "gui/QWView.h"
#include "gui/graph/QWPainter.h"

// The controller window without audio devices: its thread and timers, the order of the run, stop and
// start chains for each input selection, the count-in and the metronome, and the ways out.
class TestConnection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void midiWorkerOnItsOwnThread();
    void displayTimer_data();
    void displayTimer();
    void chains_data();
    void chains();
    void countIn_data();
    void countIn();
    void metronome_data();
    void metronome();
    void quitAndCloseEndTheLoop();
    void cleanupTestCase();

private:
    Connection* m_window = nullptr;
    ModalDriver* m_modal = nullptr;
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
    m_window = new Connection;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
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
    m_window->runWiring().setObserver([&heard](const QString& label) { heard << label; });
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

    m_window->runWiring().setObserver(nullptr);
    mode()->modeRecorder_off();
    m_window->initConnectionPlayStopTraining(ModelInput::TEXT_A);
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
    // Runs `action` right after the pending steps due at `delayMs` (at every step: -1). A busy machine
    // may run several steps in one pass of the event loop: neither polling nor waiting keeps to the beats.
    QObject watcher; // the hooks go with it
    const auto afterSteps = [&](int delayMs, const std::function<void()>& action) {
        for (QTimer* timer : m_window->countIn()->findChildren<QTimer*>())
            if (timer->isActive() && (delayMs < 0 || timer->interval() == delayMs))
                connect(timer, &QTimer::timeout, &watcher, action);
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
