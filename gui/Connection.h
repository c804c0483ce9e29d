#pragma once

#include <QMainWindow>
#include <QPointer>

#include <atomic>

#include "ChainWiring.h"
#include "core/Model.h"

class CountIn;
class DeviceObject;
class QCloseEvent;
class QSplashScreen;
class QThread;
class QTimer;
class QWPainter;
class QWView;
class WorkerMidiObject;
class WorkerPlayObject;
class WorkerRecorderObject;

// The application's one window and its controller. It creates and owns the engine's workers, the MIDI
// thread, the display and metronome timers and the main view; wires every signal between them; rewires
// the run, stop and start chains when the input selection changes; runs the count-in and the metronome;
// and tears everything down in a safe order.
//
// The window, the view, the timers, the recorders, the player and the dispatcher live on the GUI
// thread; the MIDI worker lives on its own thread, so its connections are delivered queued.
// Construction and destruction: Connection.cpp; run control: ConnectionRun.cpp; the fixed wiring:
// ConnectionWiring.cpp.
class Connection : public QMainWindow {
    Q_OBJECT

public:
    explicit Connection(QWidget* parent = nullptr);
    ~Connection() override;

    QWView* view() const { return m_view; }
    WorkerMidiObject* midiWorker() const { return m_workerMidi; }
    QThread* midiThread() const { return m_threadMidi; }
    WorkerRecorderObject* recorderMaster() const { return m_recorderMaster; }
    WorkerRecorderObject* recorderA() const { return m_recorderA; }
    WorkerRecorderObject* recorderB() const { return m_recorderB; }
    WorkerPlayObject* player() const { return m_player; }
    DeviceObject* dispatcher() const { return m_deviceObject; }
    QTimer* displayTimer() const { return m_displayTimer; }
    QTimer* metronomeTimer() const { return m_metronomeTimer; }
    CountIn* countIn() const { return m_countIn; }
    ModelInput::EnumInput inputSelection() const { return m_inputSelection; }
    int beatCounter() const { return m_beatCounter; }
    // The connections the last rewiring of the run chains made.
    ChainWiring& runWiring() { return m_runWiring; }

    void actionSplashscreen();
    void createWorkerMidiThread();
    void createWorkerRecorderAThread();
    void createWorkerRecorderBThread();
    void createWorkerRecorderMasterThread();
    void createWorkerPlayThread();
    void connectSignals();

signals:
    void s_startTraining();
    void s_metronum();
    void s_metronum_All4();

public slots:
    void initConnectionPlayStopTraining(ModelInput::EnumInput input);
    void timerRunAllSound();
    void runAllSound();
    void stopAllSound();
    void updatePlayStopIcon(bool recorder);
    void killApp();
    void updateDisplayFrequency();
    void controller();
    void updateTimerBPM();
    void startTimerBpm();
    // A tempo the settings panel took from a click, a key or an opened set: applied as a release of
    // the tempo slider is; a drag in progress waits for its release.
    void applyTempoChange();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Ends a training run still going (its count-in included) through the whole stop chain, so a
    // recording is written before the application goes.
    void stopRun();
    // The fixed wiring, in groups (ConnectionWiring.cpp).
    void connectGraphs();
    void connectToolBar();
    void connectOpenSet();
    void connectMenus();
    void connectPanels();
    void connectTimers();
    // The run, stop and start chains for the selection (ConnectionRun.cpp).
    void wireRunChain(bool useA, bool useB);
    void wireStopChain(bool useA, bool useB);
    void wireStartChain(bool useA, bool useB);
    QWPainter* painterA() const;
    QWPainter* painterB() const;

    ModelInput::EnumInput m_inputSelection = ModelInput::TEXT_A;
    WorkerMidiObject* m_workerMidi = nullptr;
    QThread* m_threadMidi = nullptr;
    // Set by the MIDI thread as it finishes, read once it is waited for: QThread::wait hands the
    // thread's end over inside Qt, which ThreadSanitizer does not see.
    std::atomic<bool> m_threadMidiEnded{false};
    WorkerRecorderObject* m_recorderMaster = nullptr;
    WorkerRecorderObject* m_recorderA = nullptr;
    WorkerRecorderObject* m_recorderB = nullptr;
    WorkerPlayObject* m_player = nullptr;
    QWView* m_view = nullptr;
    QTimer* m_displayTimer = nullptr;
    DeviceObject* m_deviceObject = nullptr;
    QTimer* m_metronomeTimer = nullptr;
    qint32 m_beatCounter = 0;
    CountIn* m_countIn = nullptr;
    ChainWiring m_runWiring;
    // No parent: it stays on top of the window while it is built.
    QPointer<QSplashScreen> m_splash;
};
