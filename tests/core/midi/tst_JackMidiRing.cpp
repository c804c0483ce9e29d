// The records of the JACK MIDI input in a real libjack ring, written on one thread as JACK's process
// thread writes them and read on another as the input's reader thread reads them. A small ring wraps
// every few records, so writes that libjack completes in two steps are met all the time.
#include <QtTest>

#include <jack/ringbuffer.h>
#include <semaphore.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "TestSandbox.h"
#include "platform/midi/JackMidiRing.h"

namespace {

// Tries before a thread waits for the other: spinning keeps both threads on a core, where the reader
// meets every stage of a write; blocking then keeps a busy machine from making each turn a scheduler round.
constexpr int SPINS = 1000;

using Ring = std::unique_ptr<jack_ringbuffer_t, decltype(&jack_ringbuffer_free)>;

// A POSIX semaphore: std::counting_semaphore of this C++ library can miss a release and sleep for ever.
struct Semaphore {
    Semaphore() { sem_init(&sem, 0, 0); }
    ~Semaphore() { sem_destroy(&sem); }
    void release() { sem_post(&sem); }
    void acquire() {
        while (sem_wait(&sem) != 0 && errno == EINTR) {
        }
    }
    sem_t sem;
};

Ring makeRing(int size) {
    return Ring(jack_ringbuffer_create(std::size_t(size)), &jack_ringbuffer_free);
}

// Message n: its stamp is n, its length steps through 1 to maxLength, its bytes count on from n.
std::size_t lengthOf(std::uint64_t n, int maxLength) {
    return std::size_t(1 + (n * 7) % std::uint64_t(maxLength));
}
std::uint8_t byteOf(std::uint64_t n, std::size_t k) {
    return std::uint8_t(n + k);
}

struct Received {
    int maxLength = 0;
    std::uint64_t next = 0; // the stamp expected next
    std::uint64_t wrong = 0;
};

void check(std::uint64_t stamp, const std::uint8_t* bytes, std::size_t length, void* context) {
    auto* received = static_cast<Received*>(context);
    bool whole = stamp == received->next && length == lengthOf(stamp, received->maxLength);
    for (std::size_t k = 0; whole && k < length; ++k)
        whole = bytes[k] == byteOf(stamp, k);
    received->wrong += whole ? 0 : 1;
    received->next = stamp + 1;
}

void collect(std::uint64_t stamp, const std::uint8_t* bytes, std::size_t length, void* context) {
    static_cast<QList<QByteArray>*>(context)->append(
        QByteArray::number(qulonglong(stamp)) + ":" +
        QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(length)));
}

} // namespace

class TestJackMidiRing : public QObject {
    Q_OBJECT

private slots:
    void everyMessageWholeAndInOrder_data() {
        QTest::addColumn<int>("ringSize");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("messages");
        QTest::newRow("up to the longest message, 512-byte ring")
            << 512 << int(JackMidiRing::MAX_MESSAGE_SIZE) << 200000;
        QTest::newRow("up to 64 bytes, 256-byte ring") << 256 << 64 << 500000;
    }

    // The writer waits for room rather than dropping, so every message must arrive, each exactly once.
    void everyMessageWholeAndInOrder() {
        QFETCH(int, ringSize);
        QFETCH(int, maxLength);
        QFETCH(int, messages);
        const Ring ring = makeRing(ringSize);
        std::atomic<bool> written{false};
        std::atomic<bool> abandoned{false};
        Semaphore data; // released after each record written
        Semaphore room; // released after each read that took records
        std::thread writer([&] {
            std::vector<std::uint8_t> bytes(JackMidiRing::MAX_MESSAGE_SIZE);
            for (std::uint64_t n = 0; n < std::uint64_t(messages); ++n) {
                const std::size_t length = lengthOf(n, maxLength);
                for (std::size_t k = 0; k < length; ++k)
                    bytes[k] = byteOf(n, k);
                for (int tries = 0; !JackMidiRing::write(ring.get(), n, bytes.data(), length); ++tries) {
                    if (abandoned.load(std::memory_order_relaxed))
                        return;
                    if (tries >= SPINS)
                        room.acquire();
                }
                data.release();
            }
            written.store(true, std::memory_order_release);
            data.release();
        });
        Received received;
        received.maxLength = maxLength;
        for (int idle = 0;;) {
            const bool done = written.load(std::memory_order_acquire);
            if (JackMidiRing::read(ring.get(), &check, &received) > 0) {
                idle = 0;
                // A reader that lost its place may never make room again: the writer is let go.
                if (received.wrong > 0)
                    abandoned.store(true, std::memory_order_relaxed);
                room.release();
                if (received.wrong > 0)
                    break;
            } else if (done) {
                break; // everything was written before this read, and none was left
            } else if (++idle >= SPINS) {
                data.acquire();
            }
        }
        writer.join();
        QCOMPARE(received.wrong, std::uint64_t(0));
        QCOMPARE(received.next, std::uint64_t(messages));
    }

    void dropsWhatNoWriterWrote_data() {
        QTest::addColumn<QByteArray>("header"); // put into the ring after record 1 where a header belongs
        QTest::addColumn<int>("split");         // bytes of record 2 in the ring before the reader drops
        QTest::addColumn<QStringList>("received");
        const auto header = [](std::uint64_t stamp, std::size_t length, bool matches) {
            const auto length16 = std::uint16_t(length);
            const std::uint16_t sum = JackMidiRing::check(stamp, length16) ^ (matches ? 0 : 1);
            return QByteArray(reinterpret_cast<const char*>(&stamp), sizeof stamp) +
                   QByteArray(reinterpret_cast<const char*>(&length16), sizeof length16) +
                   QByteArray(reinterpret_cast<const char*>(&sum), sizeof sum);
        };
        const std::size_t tooLong = JackMidiRing::MAX_MESSAGE_SIZE + 1;
        QTest::newRow("a length no writer writes") << header(2, tooLong, true) << 0
                                                   << QStringList{"1:abc", "5:90 03 00 40 41 42 43", "6:de"};
        QTest::newRow("a check that does not match") << header(2, 3, false) << 0
                                                     << QStringList{"1:abc", "5:90 03 00 40 41 42 43", "6:de"};
        // The rest of record 2 reads as a header of length 3: only the check tells it from one.
        QTest::newRow("a drop inside a record") << header(2, 3, false) << 5 << QStringList{"1:abc", "6:de"};
    }

    // A header no writer writes means the reader lost its place: what the ring holds then is dropped,
    // never delivered, also where the drop ends inside a record; the next record read from a boundary
    // is delivered again.
    void dropsWhatNoWriterWrote() {
        QFETCH(QByteArray, header);
        QFETCH(int, split);
        const Ring ring = makeRing(1024);
        QStringList received;
        const auto read = [&] {
            QList<QByteArray> messages;
            JackMidiRing::read(ring.get(), &collect, &messages);
            for (const QByteArray& m : messages) {
                const qsizetype colon = m.indexOf(':');
                const QByteArray bytes = m.mid(colon + 1);
                received << m.left(colon + 1) + (bytes == "abc" || bytes == "de" ? bytes : bytes.toHex(' '));
            }
        };
        // Record 2 as a writer puts it in the ring, to be written in two parts.
        const Ring scratch = makeRing(1024);
        const std::uint8_t message[] = {0x90, 0x03, 0x00, 0x40, 0x41, 0x42, 0x43};
        QVERIFY(JackMidiRing::write(scratch.get(), 5, message, sizeof message));
        QByteArray record(int(jack_ringbuffer_read_space(scratch.get())), '\0');
        jack_ringbuffer_read(scratch.get(), record.data(), std::size_t(record.size()));

        QVERIFY(JackMidiRing::write(ring.get(), 1, reinterpret_cast<const std::uint8_t*>("abc"), 3));
        const QByteArray garbage = header + QByteArray(400, 'x');
        jack_ringbuffer_write(ring.get(), garbage.constData(), std::size_t(garbage.size()));
        jack_ringbuffer_write(ring.get(), record.constData(), std::size_t(split));
        read();
        QCOMPARE(jack_ringbuffer_read_space(ring.get()), std::size_t(0));
        jack_ringbuffer_write(ring.get(), record.constData() + split, std::size_t(record.size() - split));
        read();
        QVERIFY(JackMidiRing::write(ring.get(), 6, reinterpret_cast<const std::uint8_t*>("de"), 2));
        read();
        QTEST(received, "received");
        // Too long for any reader: not written at all.
        const QByteArray sysex(int(JackMidiRing::MAX_MESSAGE_SIZE) + 1, '\xf0');
        QVERIFY(!JackMidiRing::write(ring.get(), 4, reinterpret_cast<const std::uint8_t*>(sysex.constData()),
                                     std::size_t(sysex.size())));
        QCOMPARE(jack_ringbuffer_read_space(ring.get()), std::size_t(0));
    }
};

QUILLON_TEST_MAIN(TestJackMidiRing)
#include "tst_JackMidiRing.moc"
