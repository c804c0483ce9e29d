#include "WorkerRecorderObject.h"

#include <QtDebug>


#include "core/ManageWAV.h"
#include "core/Mode.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/QSample.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/timecode/ReceiveTimecodeDVSObject.h"
#include "DeviceStream.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Whether the pair at `pos` (channels 2 pos and 2 pos + 1) lies within a frame of `channels`.
bool pairInFrame(int channels, int pos) {
    return pos >= 0 && 2 * qint64(pos) + 1 < qint64(channels);
}

void process(WorkerRecorderObject::Context& context, const qint16* input, unsigned long frameCount) {
    // Nothing is decoded or recorded before the count-in ends.
    if (!input || !context.mode->modeStartSynchronized())
        return;
    if (!pairInFrame(context.channels, context.pos))
        return;
    ReceiveTimecodeDVSObject* receiver = context.receiver;
    if (receiver && !context.tempoUpdated.load(relaxed)) {
        receiver->updateBPM();
        context.tempoUpdated.store(true, relaxed);
    }
    ManageWAV* wav = context.mode->modeRecorder() ? context.wav : nullptr;
    const qint64 end = qint64(context.channels) * qint64(frameCount);
    for (qint64 i = 2 * qint64(context.pos); i < end; i += context.channels) {
        if (wav) {
            wav->addData(input + i);
            wav->addData(input + i + 1);
        }
        if (receiver)
            receiver->execute(input + i);
    }
}

} // namespace

WorkerRecorderObject::WorkerRecorderObject(ModelGraph::EnumGraph tag, QCurve* curve)
    : m_tag(tag), m_receiver(curve ? std::make_unique<ReceiveTimecodeDVSObject>(tag, curve) : nullptr) {
    m_context.mode = Singleton::instance()->instanceMode();
    m_context.receiver = m_receiver.get();
}

WorkerRecorderObject::~WorkerRecorderObject() {
    closeStream(true);
}

int WorkerRecorderObject::paTestInputCallback(const void* input, void*, unsigned long frameCount,
                                              const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags,
                                              void* userData) {
    process(*static_cast<Context*>(userData), static_cast<const qint16*>(input), frameCount);
    return paContinue;
}

void WorkerRecorderObject::load(std::shared_ptr<const QSample> sample) {
    closeStream(false);
    // A take from a load that was never stopped is written, never dropped.
    writeRecording();
    m_sample = std::move(sample);
    m_context.tempoUpdated.store(false, relaxed);
    m_context.channels = m_sample ? m_sample->channels() : 0;
    m_context.pos = m_sample ? m_sample->pos() : 0;
    if (!m_sample || m_sample->deviceName().isEmpty())
        return;
    if (!pairInFrame(m_sample->channels(), m_sample->pos())) {
        qWarning() << "Input" << Model::toText(m_tag) << "not opened: pair" << m_sample->pos()
                   << "lies outside the" << m_sample->channels() << "channels of" << m_sample->deviceName();
        return;
    }
    const double buffer = Singleton::instance()->instancePerformance()->inputBuffer(m_tag);
    m_stream = DeviceStream::open(*m_sample, DeviceStream::Direction::Input, buffer, paNoFlag, paTestInputCallback,
                                  &m_context);
    // A stream that did not open leaves the input silent.
    if (!m_stream)
        return;
    if (m_context.mode->modeRecorder()) {
        m_wav = std::make_unique<ManageWAV>();
        m_context.wav = m_wav.get();
    }
}

void WorkerRecorderObject::record() {
    if (!m_stream || m_running || Pa_StartStream(m_stream) != paNoError)
        return;
    m_running = true;
    Singleton::instance()->instanceTime()->setStreamRunning(m_tag, true);
}

void WorkerRecorderObject::stop() {
    closeStream(false);
    m_context.tempoUpdated.store(false, relaxed);
    writeRecording();
}

void WorkerRecorderObject::timecodeInitialise() {
    if (m_receiver)
        m_receiver->initialise();
}

void WorkerRecorderObject::timecodeUpdateBPM() {
    if (m_receiver && m_running)
        m_receiver->updateBPM();
    else if (m_receiver)
        m_receiver->restartNow();
    emit s_UpdateBPM();
}

void WorkerRecorderObject::closeStream(bool abort) {
    if (!m_stream)
        return;
    // Returns once the callback has finished: the context and the buffer are ours again.
    DeviceStream::close(m_stream, abort);
    m_stream = nullptr;
    if (m_running)
        Singleton::instance()->instanceTime()->setStreamRunning(m_tag, false);
    m_running = false;
}

// A buffer exists only for a stream opened in recorder mode, which a run cannot leave, so the take
// is written whatever the mode says now. A take without a frame (a run stopped during its count-in)
// is no recording: it leaves no file, and no folder for one.
void WorkerRecorderObject::writeRecording() {
    if (!m_wav)
        return;
    const std::unique_ptr<ManageWAV> wav = std::move(m_wav);
    m_context.wav = nullptr;
    if (wav->size() == 0)
        return;
    const QString folder = Singleton::instance()->instancePathFile()->createPathDirectory_recording();
    const QString path = folder + QLatin1Char('/') + m_sample->filename();
    QString reason;
    const bool written = wav->createWAVFile(path, m_sample.get(), &reason);
    if (!written)
        emit s_WriteFailed(path, reason);
}
