// The JACK input of the platform layer against the fixture's JACK server, fed by a source in a
// process of its own: messages reach the message procedure whole and in order, on the input's reader
// thread, while JACK's process thread allocates nothing.
#include <QProcess>
#include <QtTest>

#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "TestSandbox.h"
#include "platform/midi/JackMidiInput.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define COUNTS_ALLOCATIONS 0
#else
#define COUNTS_ALLOCATIONS 1
#endif

namespace {

// Allocations made on the watched thread. operator new, Qt's containers and libjack all allocate
// through these, which this executable puts in front of the C library's (not under a sanitizer,
// whose own allocator stands there).
std::atomic<pthread_t> g_watched{0};
std::atomic<int> g_allocations{0};

void countAllocation() {
    const pthread_t watched = g_watched.load(std::memory_order_relaxed);
    if (watched && pthread_equal(watched, pthread_self()))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

#if COUNTS_ALLOCATIONS
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* memory, size_t size);

void* malloc(size_t size) {
    countAllocation();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    countAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* memory, size_t size) {
    countAllocation();
    return __libc_realloc(memory, size);
}
}
#endif

class TestJackMidiInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void messagesCrossWithoutAllocating();

private:
    // The message procedure: each message as a text (an allocation, as a queued signal makes).
    static void receive(std::uint64_t stamp, const std::uint8_t* bytes, std::size_t length, void* self);

    QProcess m_sender;
    QString m_source;
    std::mutex m_mutex;
    QStringList m_received;
    bool m_onProcessThread = false;
    pthread_t m_processThread{};
};

void TestJackMidiInput::receive(std::uint64_t, const std::uint8_t* bytes, std::size_t length, void* self) {
    auto* test = static_cast<TestJackMidiInput*>(self);
    const QString text = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(length)).toHex(' ');
    std::lock_guard lock(test->m_mutex);
    test->m_onProcessThread |= pthread_equal(pthread_self(), test->m_processThread) != 0;
    test->m_received << text;
}

void TestJackMidiInput::initTestCase() {
    m_source = QString("quillon-jack-input-%1:out").arg(QCoreApplication::applicationPid());
    m_sender.start(MIDI_SENDER, m_source.split(':'));
    QVERIFY(m_sender.waitForReadyRead(10000));
}

void TestJackMidiInput::cleanupTestCase() {
    m_sender.closeWriteChannel();
    m_sender.waitForFinished(10000);
}

void TestJackMidiInput::messagesCrossWithoutAllocating() {
    // The counter counts: a watched thread's allocation shows.
    g_watched.store(pthread_self());
    QVERIFY(QByteArray(64, 'x').size() == 64);
    g_watched.store(0);
    QVERIFY(!COUNTS_ALLOCATIONS || g_allocations.exchange(0) > 0);

    // A client name is unique per machine, whatever the server: tried again while another run holds it.
    std::unique_ptr<JackMidiInput> input;
    const std::string client = "quillon-reader-" + std::to_string(QCoreApplication::applicationPid());
    for (int i = 0; i < 50 && !input; ++i) {
        input = JackMidiInput::open(client, "in", m_source.toStdString(), &TestJackMidiInput::receive, this);
        if (!input)
            QTest::qWait(100);
    }
    QVERIFY(input);
    {
        std::lock_guard lock(m_mutex);
        m_processThread = input->processThread();
    }
    QVERIFY(m_processThread != pthread_t{});
    g_watched.store(m_processThread);

    // A connection takes effect at a later cycle: sent again until the first arrives.
    const auto received = [this] {
        std::lock_guard lock(m_mutex);
        return m_received;
    };
    const auto send = [this](const QByteArray& line) {
        m_sender.write(line + "\n");
        m_sender.waitForBytesWritten(10000);
    };
    for (int i = 0; i < 100 && received().isEmpty(); ++i) {
        send("b0 08 00");
        QTest::qWait(50);
    }
    QVERIFY(!received().isEmpty());
    // 100 messages in bursts; a cycle the server misses under load may lose some, never reorder or
    // cut one.
    constexpr int MESSAGES = 100;
    for (int i = 1; i <= MESSAGES; ++i) {
        send(QByteArray::number(0xb0, 16) + " 08 " + QByteArray::number(i, 16).rightJustified(2, '0'));
        if (i % 10 == 0)
            QTest::qWait(20);
    }
    // Then an end mark, sent until it arrives.
    for (int i = 0; i < 100 && received().last() != "b0 09 7f"; ++i) {
        send("b0 09 7f");
        QTest::qWait(50);
    }
    input.reset();
    g_watched.store(0);

    QStringList messages = received();
    QVERIFY(messages.last() == "b0 09 7f");
    while (messages.last() == "b0 09 7f")
        messages.removeLast();
    int last = 0;
    for (const QString& message : messages) {
        QVERIFY2(message.startsWith("b0 08 ") && message.size() == 8, qPrintable(message));
        const int value = message.mid(6).toInt(nullptr, 16);
        QVERIFY(value == 0 || value > last);
        last = value ? value : last;
    }
    QVERIFY(!m_onProcessThread);
    qInfo("%lld messages through JACK's process thread, %d allocations on it", qint64(messages.size()),
          g_allocations.load());
    if (!COUNTS_ALLOCATIONS)
        QSKIP("allocations are not counted under a sanitizer");
    QCOMPARE(g_allocations.load(), 0);
}

QUILLON_TEST_MAIN(TestJackMidiInput)
#include "tst_JackMidiInput.moc"
