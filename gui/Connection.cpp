#include "Connection.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPixmap>
#include <QSplashScreen>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "CountIn.h"
#include "QWMenuDevice.h"
#include "QWView.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/Singleton.h"
#include "core/audio/DeviceObject.h"
#include "core/audio/WorkerPlayObject.h"
#include "core/audio/WorkerRecorderObject.h"
#include "core/midi/WorkerMidiObject.h"
#include "gui/graph/QWPainter.h"
#include "gui/library/RecordingExport.h"
#include "gui/widgets/QBMidiLearn.h"

namespace {

constexpr int SPLASH_MS = 2000;
// The display period when the stored one gives no usable interval (about 120 frames a second).
constexpr int FALLBACK_DISPLAY_MS = 8;

Mode* mode() {
    return Singleton::instance()->instanceMode();
}

} // namespace

Connection::Connection(QWidget* parent) : QMainWindow(parent) {
    m_displayTimer = new QTimer(this);
    m_metronomeTimer = new QTimer(this);
    m_countIn = new CountIn(this);
    actionSplashscreen();

    m_view = new QWView(this);
    setCentralWidget(m_view);

    createWorkerMidiThread();
    m_deviceObject = new DeviceObject;
    createWorkerRecorderAThread();
    createWorkerRecorderBThread();
    createWorkerRecorderMasterThread();
    createWorkerPlayThread();
    connectSignals();
}

// The MIDI thread is joined before its worker goes; the workers abort any stream still open when
// they are deleted, before the view's curves they append to go with the window's children.
Connection::~Connection() {
    stopRun();
    if (m_threadMidi->isRunning()) {
        m_threadMidi->quit();
        m_threadMidi->wait();
    }
    m_threadMidiEnded.load(std::memory_order_acquire); // the thread's last writes come before this
    delete m_workerMidi;
    m_workerMidi = nullptr;
    delete m_threadMidi;
    m_threadMidi = nullptr;
    delete m_recorderMaster;
    m_recorderMaster = nullptr;
    delete m_recorderA;
    m_recorderA = nullptr;
    delete m_recorderB;
    m_recorderB = nullptr;
    delete m_player;
    m_player = nullptr;
    delete m_deviceObject;
    m_deviceObject = nullptr;
    // A splash whose time did not come before the event loop ended.
    delete m_splash;
}

void Connection::actionSplashscreen() {
    const QPixmap picture(Path::joinResourceImage(QStringLiteral("Logo - Quillon V4-black.png")));
    m_splash = new QSplashScreen(picture, Qt::WindowStaysOnTopHint);
    m_splash->show();
    QTimer::singleShot(SPLASH_MS, Qt::CoarseTimer, m_splash, &QObject::deleteLater);
}

void Connection::createWorkerMidiThread() {
    m_workerMidi = new WorkerMidiObject;
    m_threadMidi = new QThread;
    m_workerMidi->moveToThread(m_threadMidi);
    connect(
        m_threadMidi, &QThread::finished, m_threadMidi,
        [this] { m_threadMidiEnded.store(true, std::memory_order_release); }, Qt::DirectConnection);
    m_threadMidi->start(QThread::InheritPriority);
    m_threadMidi->setPriority(QThread::HighPriority);

    QWMenuDevice* settings = m_view->settingsPanel();
    QBMidiLearn* learn = settings->learnButton();
    connect(learn, &QBMidiLearn::s_Toogle_on, m_workerMidi, &WorkerMidiObject::startLearnRun);
    connect(learn, &QBMidiLearn::s_Toogle_off, m_workerMidi, &WorkerMidiObject::stopRun);
    // Otherwise Learn stays checked once the control is learned.
    connect(settings, &QWMenuDevice::s_UpdateCrossFader, learn, &QBMidiLearn::toggle_off);
}

void Connection::createWorkerRecorderAThread() {
    m_recorderA = new WorkerRecorderObject(ModelGraph::INPUT_A, painterA()->curve_Main());
    connect(m_deviceObject, &DeviceObject::s_SampleA, m_recorderA, &WorkerRecorderObject::load);
    connect(m_view, &QWView::s_Record_SoundA, m_recorderA, &WorkerRecorderObject::record);
}

void Connection::createWorkerRecorderBThread() {
    m_recorderB = new WorkerRecorderObject(ModelGraph::INPUT_B, painterB()->curve_Main());
    connect(m_deviceObject, &DeviceObject::s_SampleB, m_recorderB, &WorkerRecorderObject::load);
    connect(m_view, &QWView::s_Record_SoundB, m_recorderB, &WorkerRecorderObject::record);
}

void Connection::createWorkerRecorderMasterThread() {
    m_recorderMaster = new WorkerRecorderObject(ModelGraph::MASTER, nullptr);
    connect(m_deviceObject, &DeviceObject::s_SampleMaster, m_recorderMaster, &WorkerRecorderObject::load);
    connect(m_view, &QWView::s_Record_SoundMaster, m_recorderMaster, &WorkerRecorderObject::record);
    // A take that could not be written is told at the export that would have named it.
    for (WorkerRecorderObject* recorder : {m_recorderA, m_recorderB, m_recorderMaster})
        connect(recorder, &WorkerRecorderObject::s_WriteFailed, m_view->recordingExport(),
                &RecordingExport::takeWriteFailure);
}

void Connection::updateDisplayFrequency() {
    const double period = Singleton::instance()->instancePerformance()->displayFrequency();
    int interval = FALLBACK_DISPLAY_MS;
    if (std::isfinite(period))
        interval = int(std::clamp(period, 1.0, 60000.0));
    m_displayTimer->setInterval(interval);
}

void Connection::stopRun() {
    if (mode()->modeTraining() || m_countIn->isPending())
        mode()->modeTraining_off();
}

void Connection::closeEvent(QCloseEvent* event) {
    stopRun();
    QCoreApplication::quit();
    event->accept();
}

void Connection::killApp() {
    stopRun();
    QCoreApplication::quit();
}

QWPainter* Connection::painterA() const {
    return m_view->painterA();
}

QWPainter* Connection::painterB() const {
    return m_view->painterB();
}
