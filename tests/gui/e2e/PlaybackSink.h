#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// Stands in for the file the test playback device writes: a named pipe in its place that a thread
// drains at about `pace` times real time. The device has no clock of its own, so the pipe paces the
// player's stream, and a run of a few seconds stays a few seconds of sound, not gigabytes. Only the
// channel pair the player writes is kept. Create it before anything initialises PortAudio.
class PlaybackSink {
public:
    PlaybackSink(const QString& path, int channels, int pair, double rate, double pace);
    ~PlaybackSink();

    bool isOpen() const { return m_fd >= 0; }
    // The pair's left samples received so far.
    QList<qint16> left() const;

private:
    void drain();

    int m_fd = -1;
    const int m_frameBytes;
    const int m_pairOffset;
    const double m_bytesPerSecond;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QList<qint16> m_left;
    std::thread m_thread;
};
