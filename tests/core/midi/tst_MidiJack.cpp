// Through the platform layer to the fixture's JACK server, fed by a controller: a MIDI source in a
// process of its own (midi_sender, whose path the build gives as MIDI_SENDER), sending each message
// written to it ("b0 08 7f"). The worker opens the source and the control changes it sends become
// crossfader positions; the JACK input hands messages whole and in order to the message procedure on its
// reader thread, while JACK's process thread allocates nothing.
//
// A JACK client's socket is named after the client alone, whatever its server, so opening one fails
// now and then while a client of the same name opens on another JACK server of this machine (another
// run of these tests). The sender's name is made unique; what the code under test must open is tried
// again until it is open.
#include <QProcess>
#include <QtTest>

#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>

#include "TestSandbox.h"
#include "WorkerThread.h"
#include "core/Function.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/Midi.h"
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

class TestMidiJack : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_source = QString("quillon-fader-%1:xfader").arg(QCoreApplication::applicationPid());
        m_sender.start(MIDI_SENDER, m_source.split(':'));
        QVERIFY(m_sender.waitForReadyRead(10000)); // its source is open
        QStringList listed;
        QTRY_COMPARE_WITH_TIMEOUT((listed = Function::devicesMidiIn().filter(":" + m_source)).size(), 1,
                                  10000);
        m_listed = listed.first();
    }

    // Closing its input ends the sender the way a program closes: its JACK client leaves the server
    // cleanly, where a killed one can leave the server's cycle failing for a while.
    void cleanupTestCase() {
        m_sender.closeWriteChannel();
        m_sender.waitForFinished(10000);
    }

    void init() {
        const ObjectMidi control(0, 8, ModelMode::Basic);
        m_midi->setCrossFader(&control);
        m_setting->setParamInput_Midi(m_listed);
    }

    void opensOnlyTheListedText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("crossFader");
        QTest::addColumn<bool>("learn");
        QTest::addColumn<int>("opened");
        const QString index = m_listed.section(':', 0, 0);
        QTest::newRow("listed") << m_listed << true << false << 1;
        QTest::newRow("index alone") << index << true << false << 0;
        QTest::newRow("name in other case") << index + ":" + m_source.toUpper() << true << false << 0;
        QTest::newRow("trailing blank") << m_listed + " " << true << false << 0;
        QTest::newRow("no crossfader") << m_listed << false << false << 0;
        QTest::newRow("learning needs no crossfader") << m_listed << false << true << 1;
    }

    void opensOnlyTheListedText() {
        QFETCH(QString, stored);
        QFETCH(bool, crossFader);
        QFETCH(bool, learn);
        QFETCH(int, opened);
        m_setting->setParamInput_Midi(stored);
        if (!crossFader)
            m_midi->setCrossFader(nullptr);
        WorkerThread thread;
        const auto start = learn ? &WorkerMidiObject::startLearnRun : &WorkerMidiObject::startRun;
        QCOMPARE(connectionsAfter([&] { thread.call(start); }, opened), opened);
        thread.call(&WorkerMidiObject::stopRun);
        QTRY_COMPARE_WITH_TIMEOUT(connections(), 0, 10000);
    }

    void publishesTheZonesTheControllerSends() {
        m_setting->setParamCrossfaderLeft("10");
        m_setting->setParamCrossfaderRight("100");
        WorkerThread thread;
        const auto startRun = [&thread] { thread.call(&WorkerMidiObject::startRun); };
        QCOMPARE(connectionsAfter(startRun, 1), 1);
        QVERIFY(sendUntil("b0 08 00", ModelCrossFader::LEFT));
        QVERIFY(sendUntil("b0 08 28", ModelCrossFader::MIDDLE));
        send("b0 08 3c");
        QVERIFY(sendUntil("b0 08 7f", ModelCrossFader::RIGHT));
        // Each of these would enter the left zone if it counted, and the last one would then publish nothing:
        // another channel, another controller, a note-on.
        for (const char* other : {"b1 08 00", "b0 09 00", "90 08 00"})
            send(other);
        QVERIFY(sendUntil("b0 08 05", ModelCrossFader::LEFT));
        QCOMPARE(m_published, QStringList({"LEFT 0", "MIDDLE 40", "RIGHT 127", "LEFT 5"}));
        // Run after run the input is closed while the controller may still be sending; that must never
        // bring the process down.
        for (int run = 0; run < 20; ++run) {
            thread.call(&WorkerMidiObject::stopRun);
            QCOMPARE(connectionsAfter(startRun, 1), 1);
            QVERIFY(run % 2 ? sendUntil("b0 08 00", ModelCrossFader::LEFT)
                            : sendUntil("b0 08 7f", ModelCrossFader::RIGHT));
        }
    }

    void messagesCrossWithoutAllocating() {
        // The counter counts: a watched thread's allocation shows.
        g_watched.store(pthread_self());
        QVERIFY(QByteArray(64, 'x').size() == 64);
        g_watched.store(0);
        QVERIFY(!COUNTS_ALLOCATIONS || g_allocations.exchange(0) > 0);

        // A client name is unique per machine, whatever the server: tried again while another run holds it.
        std::unique_ptr<JackMidiInput> input;
        const std::string client = "quillon-reader-" + std::to_string(QCoreApplication::applicationPid());
        for (int i = 0; i < 50 && !input; ++i) {
            input = JackMidiInput::open(client, "in", m_source.toStdString(), &TestMidiJack::receive, this);
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

private:
    void send(const QByteArray& message) {
        m_sender.write(message + "\n");
        m_sender.waitForBytesWritten(10000);
    }

    // The connections of the sender's port as the JACK server reports them: jack_lsp prints the port's
    // line, then one indented line per connection.
    int connections() const {
        QProcess lsp;
        lsp.start("jack_lsp", {"-c", m_source});
        if (!lsp.waitForFinished(10000))
            qFatal("jack_lsp did not finish");
        return int(lsp.readAllStandardOutput().count("\n "));
    }

    // Calls `attach` until the port has `expected` connections, at most ten times; the last count.
    int connectionsAfter(const std::function<void()>& attach, int expected) const {
        int count = -1;
        for (int i = 0; i < 10 && count != expected; ++i) {
            attach();
            count = connections();
        }
        return count;
    }

    // Sends `message` until the worker publishes a position of `status`: a connection made in JACK takes
    // effect at a later cycle, and a cycle the server misses under load loses what was sent in it.
    bool sendUntil(const QByteArray& message, ModelCrossFader::EnumCrossFader status) {
        const auto arrived = [&] {
            Midi::Position now = m_midi->crossFaderPos();
            if (now.get() != m_last.get()) {
                m_published << Model::toText(now->status()) + " " + QString::number(now->value());
                m_last = std::move(now);
            }
            return m_last && m_last->status() == status;
        };
        for (int i = 0; i < 100; ++i) {
            send(message);
            if (QTest::qWaitFor(arrived, 100))
                return true;
        }
        return false;
    }

    // The JACK input's message procedure: each message as a text (an allocation, as a queued signal makes).
    static void receive(std::uint64_t stamp, const std::uint8_t* bytes, std::size_t length, void* self);

    Midi* const m_midi = Singleton::instance()->instanceMidi();
    Setting* const m_setting = Singleton::instance()->instanceSetting();
    QProcess m_sender;
    QString m_source;      // its port, "client:port"
    QString m_listed;      // its text in the list of MIDI inputs, "index:client:port"
    Midi::Position m_last; // held, so a later position cannot take its address
    QStringList m_published;
    std::mutex m_mutex;
    QStringList m_received;
    bool m_onProcessThread = false;
    pthread_t m_processThread{};
};

void TestMidiJack::receive(std::uint64_t, const std::uint8_t* bytes, std::size_t length, void* self) {
    auto* test = static_cast<TestMidiJack*>(self);
    const QString text = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(length)).toHex(' ');
    std::lock_guard lock(test->m_mutex);
    test->m_onProcessThread |= pthread_equal(pthread_self(), test->m_processThread) != 0;
    test->m_received << text;
}

QUILLON_TEST_MAIN(TestMidiJack)
#include "tst_MidiJack.moc"
