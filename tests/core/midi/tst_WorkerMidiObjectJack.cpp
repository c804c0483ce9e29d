#include <QProcess>
#include <QtTest>

#include <functional>

#include "TestSandbox.h"
#include "WorkerThread.h"
#include "core/Function.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/Midi.h"

// Through the platform layer to the fixture's JACK server: the worker opens the source of another
// process, and the control changes it sends become crossfader positions.
//
// A JACK client's socket is named after the client alone, whatever its server, so opening one fails
// now and then while a client of the same name opens on another JACK server of this machine (another
// run of these tests). The sender's name is made unique; what the code under test must open is tried
// again until it is open.
class TestWorkerMidiObjectJack : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void opensOnlyTheListedText_data();
    void opensOnlyTheListedText();
    void publishesTheZonesTheControllerSends();

private:
    void send(const QByteArray& message);
    int connections() const;
    int connectionsAfter(const std::function<void()>& attach, int expected) const;
    bool sendUntil(const QByteArray& message, ModelCrossFader::EnumCrossFader status);

    Midi* const m_midi = Singleton::instance()->instanceMidi();
    Setting* const m_setting = Singleton::instance()->instanceSetting();
    // A controller: a MIDI source in a process of its own (midi_sender, whose path the build gives
    // as MIDI_SENDER), sending each message written to it ("b0 08 7f").
    QProcess m_sender;
    QString m_source;      // its port, "client:port"
    QString m_listed;      // its text in the list of MIDI inputs, "index:client:port"
    Midi::Position m_last; // held, so a later position cannot take its address
    QStringList m_published;
};

void TestWorkerMidiObjectJack::initTestCase() {
    m_source = QString("quillon-fader-%1:xfader").arg(QCoreApplication::applicationPid());
    m_sender.start(MIDI_SENDER, m_source.split(':'));
    QVERIFY(m_sender.waitForReadyRead(10000)); // its source is open
    QStringList listed;
    QTRY_COMPARE_WITH_TIMEOUT((listed = Function::devicesMidiIn().filter(":" + m_source)).size(), 1, 10000);
    m_listed = listed.first();
}

// Closing its input ends the sender the way a program closes: its JACK client leaves the server
// cleanly, where a killed one can leave the server's cycle failing for a while.
void TestWorkerMidiObjectJack::cleanupTestCase() {
    m_sender.closeWriteChannel();
    m_sender.waitForFinished(10000);
}

void TestWorkerMidiObjectJack::init() {
    const ObjectMidi control(0, 8, ModelMode::Basic);
    m_midi->setCrossFader(&control);
    m_setting->setParamInput_Midi(m_listed);
}

void TestWorkerMidiObjectJack::send(const QByteArray& message) {
    m_sender.write(message + "\n");
    m_sender.waitForBytesWritten(10000);
}

// The connections of the sender's port as the JACK server reports them: jack_lsp prints the port's
// line, then one indented line per connection.
int TestWorkerMidiObjectJack::connections() const {
    QProcess lsp;
    lsp.start("jack_lsp", {"-c", m_source});
    if (!lsp.waitForFinished(10000))
        qFatal("jack_lsp did not finish");
    return int(lsp.readAllStandardOutput().count("\n "));
}

// Calls `attach` until the port has `expected` connections, at most ten times; the last count.
int TestWorkerMidiObjectJack::connectionsAfter(const std::function<void()>& attach, int expected) const {
    int count = -1;
    for (int i = 0; i < 10 && count != expected; ++i) {
        attach();
        count = connections();
    }
    return count;
}

void TestWorkerMidiObjectJack::opensOnlyTheListedText_data() {
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

void TestWorkerMidiObjectJack::opensOnlyTheListedText() {
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

// Sends `message` until the worker publishes a position of `status`: a connection made in JACK takes
// effect at a later cycle, and a cycle the server misses under load loses what was sent in it.
bool TestWorkerMidiObjectJack::sendUntil(const QByteArray& message, ModelCrossFader::EnumCrossFader status) {
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

void TestWorkerMidiObjectJack::publishesTheZonesTheControllerSends() {
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

QUILLON_TEST_MAIN(TestWorkerMidiObjectJack)
#include "tst_WorkerMidiObjectJack.moc"
