#pragma once

#include <QList>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

// Stands in for the file the test playback device writes: a named pipe in its place that a thread
// drains only as far as the test allows. The device has no clock of its own and would run as fast as
// the CPU lets it; held by the pipe, the player's stream plays exactly the frames let through, so a run
// stays a few seconds of sound, not gigabytes, and the test decides where in the sound its own events
// land. Only the channel pair the player writes is kept. Create it before anything initialises PortAudio.
class PlaybackSink {
public:
    // `allowed`: the frames let through before the first allow(), room for the stream's start.
    PlaybackSink(const QString& path, int channels, int pair, qint64 allowed);
    ~PlaybackSink();

    bool isOpen() const { return m_fd >= 0; }
    // Lets `frames` more frames through.
    void allow(qint64 frames);
    // Lets everything through from now on: a stream held by the pipe cannot stop.
    void release();
    // Waits until every frame let through has come; false if the stream stopped delivering before.
    bool waitForAllowed();
    // The pair's left samples received so far.
    QList<qint16> left() const;

private:
    void drain();

    int m_fd = -1;
    const int m_frameBytes;
    const int m_pairOffset;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    bool m_released = false;
    qint64 m_allowedBytes;
    qint64 m_totalBytes = 0;
    QList<qint16> m_left;
    std::thread m_thread;
};
