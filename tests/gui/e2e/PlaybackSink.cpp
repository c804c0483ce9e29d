#include "PlaybackSink.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far more than a scenario plays: about a minute of sound at 44100 frames a second.
constexpr qsizetype MAX_FRAMES = 3'000'000;
// A stream that delivers nothing for this long has stopped; a loaded machine delivers a beat's frames
// in a few seconds at most.
constexpr std::chrono::seconds STALLED{60};

} // namespace

PlaybackSink::PlaybackSink(const QString& path, int channels, int pair, qint64 allowed)
    : m_frameBytes(2 * channels), m_pairOffset(4 * pair), m_allowedBytes(allowed * 2 * channels) {
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData());
    if (::mkfifo(name.constData(), 0644) != 0)
        return;
    // Read and write: opening it never waits for the device, and the device's writes never fail.
    m_fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    if (m_fd >= 0)
        m_thread = std::thread([this] { drain(); });
}

PlaybackSink::~PlaybackSink() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

void PlaybackSink::allow(qint64 frames) {
    {
        std::lock_guard lock(m_mutex);
        m_allowedBytes += frames * m_frameBytes;
    }
    m_changed.notify_all();
}

void PlaybackSink::release() {
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_changed.notify_all();
}

bool PlaybackSink::waitForAllowed() {
    std::unique_lock lock(m_mutex);
    qint64 seen = -1;
    // Waits again as long as frames keep coming.
    while (!m_released && m_totalBytes < m_allowedBytes && m_totalBytes != seen) {
        seen = m_totalBytes;
        m_changed.wait_for(lock, STALLED, [&] { return m_released || m_totalBytes != seen; });
    }
    return m_released || m_totalBytes >= m_allowedBytes;
}

QList<qint16> PlaybackSink::left() const {
    std::lock_guard lock(m_mutex);
    return m_left;
}

void PlaybackSink::drain() {
    char buffer[1 << 16];
    // The first byte of a sample that the last read cut in two.
    char pending = 0;
    bool split = false;
    for (;;) {
        qint64 room = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stop || m_released || m_totalBytes < m_allowedBytes; });
            if (m_stop)
                return;
            room = m_released ? qint64(sizeof buffer) : m_allowedBytes - m_totalBytes;
        }
        pollfd ready{m_fd, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0)
            continue;
        // Never past what is let through: the rest stays in the pipe and holds the stream.
        const qint64 n = ::read(m_fd, buffer, size_t(std::min<qint64>(room, sizeof buffer)));
        if (n <= 0)
            continue;
        std::lock_guard lock(m_mutex);
        const auto keep = [this](char low, char high) {
            if (m_left.size() < MAX_FRAMES)
                m_left.append(qint16(quint16(quint8(low)) | quint16(quint8(high)) << 8));
        };
        const qint64 total = m_totalBytes;
        qint64 i = 0;
        if (split) {
            keep(pending, buffer[0]);
            split = false;
            i = 1;
        }
        // Each frame's sample of the pair starts m_pairOffset bytes into the frame.
        for (;;) {
            const qint64 at = total + i;
            const qint64 inFrame = at % m_frameBytes;
            const qint64 next = at + (inFrame <= m_pairOffset ? 0 : m_frameBytes) + m_pairOffset - inFrame - total;
            if (next >= n)
                break;
            if (next + 1 == n) {
                pending = buffer[next];
                split = true;
                break;
            }
            keep(buffer[next], buffer[next + 1]);
            i = next + 2;
        }
        m_totalBytes += n;
        m_changed.notify_all();
    }
}
