#include "PlaybackSink.h"

#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far more than a scenario plays: about a minute of sound at 44100 frames a second.
constexpr qsizetype MAX_FRAMES = 3'000'000;

} // namespace

PlaybackSink::PlaybackSink(const QString& path, int channels, int pair, double rate, double pace)
    : m_frameBytes(2 * channels), m_pairOffset(4 * pair), m_bytesPerSecond(rate * pace * 2 * channels) {
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
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

QList<qint16> PlaybackSink::left() const {
    std::lock_guard lock(m_mutex);
    return m_left;
}

void PlaybackSink::drain() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    char buffer[1 << 16];
    // Bytes read so far, and the first byte of a sample that the last read cut in two.
    qint64 total = 0;
    char pending = 0;
    bool split = false;
    while (!m_stop) {
        const double allowed = std::chrono::duration<double>(Clock::now() - start).count() * m_bytesPerSecond;
        if (double(total) > allowed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        pollfd ready{m_fd, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0)
            continue;
        const qint64 n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        std::lock_guard lock(m_mutex);
        const auto keep = [this](char low, char high) {
            if (m_left.size() < MAX_FRAMES)
                m_left.append(qint16(quint16(quint8(low)) | quint16(quint8(high)) << 8));
        };
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
        total += n;
    }
}
