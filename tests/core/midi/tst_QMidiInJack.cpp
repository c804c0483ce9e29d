#include <QtTest>

#include "MidiSender.h"
#include "TestSandbox.h"
#include "core/Function.h"
#include "core/midi/QMidiIn.h"

namespace {

// A message that only tells the source is attached: a connection made in JACK takes effect at a
// later cycle, and what is sent before then is lost.
const QByteArray MARKER = "bf 7f 7f";
const quint32 MARKER_MESSAGE = 0x007F7FBF;

// The events of one QMidiIn, received on the test's thread as a worker would receive them: queued.
class Receiver : public QObject {
    Q_OBJECT

public:
    explicit Receiver(QMidiIn& input) {
        QObject::connect(&input, &QMidiIn::midiEvent, this, &Receiver::receive, Qt::QueuedConnection);
    }
    bool waitFor(qsizetype count, int timeout = 10000) {
        return QTest::qWaitFor([&] { return messages.size() >= count; }, timeout);
    }
    // Sends markers until one arrives.
    bool attached(MidiSender& sender) {
        for (int i = 0; i < 100; ++i) {
            sender.send(MARKER);
            if (QTest::qWaitFor([&] { return markers > 0; }, 100))
                return true;
        }
        return false;
    }
    QList<quint32> messages; // all but the markers
    int markers = 0;

public slots:
    void receive(quint32 message, quint32) {
        if (message == MARKER_MESSAGE)
            ++markers;
        else
            messages.append(message);
    }
};

const QString SOURCE = "quillon-sender:crossfader";

QString keyOf(const QString& source) {
    return QMidiIn::devices().key(source);
}

} // namespace

// Through the platform layer to the fixture's JACK server: QMidiIn lists a source of another process,
// opens it and emits what arrives.
class TestQMidiInJack : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listsTheSender();
    void messagesArriveInOrder();
    void stopDetachesUntilStart();
    void secondConnectClosesTheFirst();
    void openAndCloseRepeatedly();
    void vanishedSourceIsNotOpened();

private:
    MidiSender m_sender;
};

void TestQMidiInJack::initTestCase() {
    QVERIFY(m_sender.start("quillon-sender", "crossfader"));
}

void TestQMidiInJack::listsTheSender() {
    const QString key = keyOf(SOURCE);
    QVERIFY(!key.isEmpty());
    QVERIFY(Function::devicesMidiIn().contains(key + ":" + SOURCE));
}

void TestQMidiInJack::messagesArriveInOrder() {
    QMidiIn input;
    Receiver receiver(input);
    QVERIFY(input.connect(keyOf(SOURCE)));
    input.start();
    QVERIFY(receiver.attached(m_sender));
    m_sender.send("b0 08 00");
    m_sender.send("b3 08 64");
    m_sender.send("90 3c 7f");
    m_sender.send("c0 05"); // two bytes: dropped
    m_sender.send("b0 08 7f");
    QVERIFY(receiver.waitFor(4));
    QCOMPARE(receiver.messages, QList<quint32>({0x000008B0, 0x006408B3, 0x007F3C90, 0x007F08B0}));
}

void TestQMidiInJack::stopDetachesUntilStart() {
    QMidiIn input;
    Receiver receiver(input);
    QVERIFY(input.connect(keyOf(SOURCE)));
    input.start();
    input.stop();
    m_sender.send("b0 08 11");
    input.start();
    QVERIFY(receiver.attached(m_sender));
    m_sender.send("b0 08 22");
    QVERIFY(receiver.waitFor(1));
    QCOMPARE(receiver.messages, QList<quint32>({0x002208B0}));
}

void TestQMidiInJack::secondConnectClosesTheFirst() {
    QMidiIn input;
    Receiver receiver(input);
    QVERIFY(input.connect(keyOf(SOURCE)));
    input.start();
    QVERIFY(input.connect(keyOf(SOURCE))); // not started: nothing attached
    m_sender.send("b0 08 33");
    input.start();
    QVERIFY(receiver.attached(m_sender));
    m_sender.send("b0 08 44");
    QVERIFY(receiver.waitFor(1));
    QCOMPARE(receiver.messages, QList<quint32>({0x004408B0}));
}

void TestQMidiInJack::openAndCloseRepeatedly() {
    // Closing while the MIDI system delivers must never bring the process down.
    const QString key = keyOf(SOURCE);
    for (int i = 0; i < 25; ++i) {
        QMidiIn input;
        Receiver receiver(input);
        QVERIFY(input.connect(key));
        input.start();
        QVERIFY(receiver.attached(m_sender));
        // A cycle the server misses under load loses what was sent in it: send until it arrives.
        bool arrived = false;
        for (int tries = 0; tries < 100 && !arrived; ++tries) {
            m_sender.send("b1 08 " + QByteArray::number(i, 16));
            arrived = receiver.waitFor(1, 100);
        }
        QVERIFY(arrived);
        QCOMPARE(receiver.messages.first(), quint32(0x000008B1 | i << 16));
    }
}

void TestQMidiInJack::vanishedSourceIsNotOpened() {
    MidiSender other;
    QVERIFY(other.start("quillon-other", "gone"));
    const QString key = keyOf("quillon-other:gone");
    QVERIFY(!key.isEmpty());
    QMidiIn input;
    QVERIFY(input.connect(key));

    other.stop();
    QTRY_VERIFY_WITH_TIMEOUT(keyOf("quillon-other:gone").isEmpty(), 10000);
    input.start(); // the source is gone: nothing is attached, nothing fails
    input.stop();

    QVERIFY(!input.connect(QString::number(QMidiIn::devices().size())));
    input.start();
}

QUILLON_TEST_MAIN(TestQMidiInJack)
#include "tst_QMidiInJack.moc"
