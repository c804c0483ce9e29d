#pragma once

#include <QObject>
#include <QString>

#include <portaudio.h>

#include <atomic>
#include <memory>

#include "core/Model.h"

class ManageWAV;
class Mode;
class QCurve;
class QSample;
class ReceiveTimecodeDVSObject;

// The recorder of one input: owns its PortAudio input stream. While a run is synchronised, the input
// callback hands every frame of the configured channel pair to the input's timecode receiver, which
// extends the input's live curve, and, in recorder mode, appends the pair to the recording buffer that
// stop writes as a WAV file. Three instances: input A and input B, each with its input's main curve
// and so a receiver, and the master input, which only records.
//
// The object and its slots live on the GUI thread; the callback runs on PortAudio's audio thread. The
// callback's context changes only while no stream runs (load before the start, stop after the stream
// stopped), except the receiver's restart request and the tempo-updated flag, which are atomics.
class WorkerRecorderObject : public QObject {
    Q_OBJECT

public:
    static inline const QString NAME = QStringLiteral("Record");

    // What the input callback works with; PortAudio hands it back as user data.
    struct Context {
        const Mode* mode = nullptr;
        ReceiveTimecodeDVSObject* receiver = nullptr;
        // Present only while a stream opened in recorder mode.
        ManageWAV* wav = nullptr;
        int channels = 0;
        int pos = 0;
        std::atomic<bool> tempoUpdated{false};
    };

    // `curve` is the input's main curve (not owned, it must outlive the worker), or null for the
    // master, which then has no receiver.
    WorkerRecorderObject(ModelGraph::EnumGraph tag, QCurve* curve);
    ~WorkerRecorderObject() override;

    ModelGraph::EnumGraph tag() const { return m_tag; }
    bool isOpen() const { return m_stream != nullptr; }
    // The recording buffer of the present run; null when none is recorded.
    const ManageWAV* recording() const { return m_wav.get(); }
    Context* context() { return &m_context; }

    // Audio thread: processes the buffer `input` of `frameCount` frames for `userData`, a Context.
    // Always continues.
    static int paTestInputCallback(const void* input, void* output, unsigned long frameCount,
                                   const PaStreamCallbackTimeInfo* timeInfo,
                                   PaStreamCallbackFlags statusFlags, void* userData);

public slots:
    // Closes a stream still open and writes the take it recorded, as stop does; then opens the input
    // stream on the descriptor's device, if it has one, its index still names it and its pair lies
    // within the frame; with a stream open in recorder mode, makes an empty recording buffer.
    void load(std::shared_ptr<const QSample> sample);
    // Starts the stream load opened; nothing when none is open.
    void record();
    // Stops and closes the stream, then writes the recording buffer into the recording folder.
    // Nothing to close and nothing written when load opened nothing or the stream recorded no frame.
    void stop();
    void timecodeInitialise();
    // Restarts the input's time base and empties its live curve in one step, then emits s_UpdateBPM:
    // while the stream runs the callback does it before its next frame, else it is done at once.
    void timecodeUpdateBPM();

signals:
    void s_UpdateBPM();
    // A take could not be written: `fileName` is the full path of the WAV file it was to become,
    // `reason` says why. Emitted by stop (or by a load that replaces an unstopped take) before it
    // returns, so whatever runs after stop knows that file is missing.
    void s_WriteFailed(const QString& fileName, const QString& reason);

private:
    // Undoes what load did: the stream (aborted or stopped), and PortAudio's initialisation.
    void closeStream(bool abort);
    // Writes the held take, if any, and lets it go.
    void writeRecording();

    const ModelGraph::EnumGraph m_tag;
    const std::unique_ptr<ReceiveTimecodeDVSObject> m_receiver;
    std::shared_ptr<const QSample> m_sample;
    std::unique_ptr<ManageWAV> m_wav;
    PaStream* m_stream = nullptr;
    // The stream was started: its callback may run.
    bool m_running = false;
    Context m_context;
};
