#include <QProcess>
#include <QtTest>

#include "MidiSender.h"
#include "TestSandbox.h"
#include "WorkerThread.h"
#include "core/Function.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/Midi.h"

namespace {

const QString SOURCE = "quillon-fader:xfader";

Midi* midi() {
    return Singleton::instance()->instanceMidi();
}

// The listed text of the sender's source ("index:name"); empty when it is not listed.
QString listedSource() {
    for (const QString& text : Function::devicesMidiIn()) {
        if (text.section(':', 1) == SOURCE)
            return text;
    }
    return QString();
}

// Whether anything is connected to the sender's port, as the JACK server itself reports it.
bool sourceConnected() {
    QProcess lsp;
    lsp.start("jack_lsp", {"-c", SOURCE});
    if (!lsp.waitForFinished(10000))
        qFatal("jack_lsp did not finish");
    const QList<QByteArray> lines = lsp.readAllStandardOutput().split('\n');
    // The port's own line, then one indented line per connection.
    return lines.size() > 1 && lines[1].startsWith(' ');
}

// The positions the worker publishes, seen from this thread. Each one is held, so a later one cannot
// take its address and every publication is told apart.
class Positions {
public:
    Positions() { m_seen.push_back(midi()->crossFaderPos()); }
    // Waits until a position was published and the latest has `status`; false after `timeout` ms.
    bool waitFor(ModelCrossFader::EnumCrossFader status, int timeout = 10000) {
        return QTest::qWaitFor(
            [&] {
                Midi::Position now = midi()->crossFaderPos();
                if (now.get() != m_seen.back().get())
                    m_seen.push_back(std::move(now));
                return m_seen.size() > 1 && m_seen.back()->status() == status;
            },
            timeout);
    }
    // Status and value of every position published since this object was made.
    QStringList published() const {
        QStringList list;
        for (std::size_t i = 1; i < m_seen.size(); ++i)
            list << Model::toText(m_seen[i]->status()) + " " + QString::number(m_seen[i]->value());
        return list;
    }

private:
    std::vector<Midi::Position> m_seen;
};

} // namespace

// Through the platform layer to the fixture's JACK server: the worker opens the stored input, and the
// control changes a controller (midi_sender) sends become crossfader positions.
class TestWorkerMidiObjectJack : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void opensOnlyTheListedText_data();
    void opensOnlyTheListedText();
    void noCrossfaderOpensNothing();
    void learningOpensTheInput();
    void publishesTheZonesTheControllerSends();

private:
    MidiSender m_sender;
    QString m_listed;
};

void TestWorkerMidiObjectJack::initTestCase() {
    QVERIFY(m_sender.start("quillon-fader", "xfader"));
    m_listed = listedSource();
    QVERIFY(!m_listed.isEmpty());
}

void TestWorkerMidiObjectJack::init() {
    const ObjectMidi control(0, 8, ModelMode::Basic);
    midi()->setCrossFader(&control);
    Singleton::instance()->instanceSetting()->setParamInput_Midi(m_listed);
    QVERIFY(!sourceConnected());
}

void TestWorkerMidiObjectJack::opensOnlyTheListedText_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("opened");
    const QString index = m_listed.section(':', 0, 0);
    QTest::newRow("listed") << m_listed << true;
    QTest::newRow("another index") << QString::number(index.toInt() + 1) + ":" + SOURCE << false;
    QTest::newRow("name in other case") << index + ":" + SOURCE.toUpper() << false;
    QTest::newRow("name alone") << SOURCE << false;
    QTest::newRow("index alone") << index << false;
    QTest::newRow("trailing blank") << m_listed + " " << false;
    QTest::newRow("nothing stored") << QString() << false;
}

void TestWorkerMidiObjectJack::opensOnlyTheListedText() {
    QFETCH(QString, stored);
    QFETCH(bool, opened);
    Singleton::instance()->instanceSetting()->setParamInput_Midi(stored);
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(sourceConnected(), opened);
    thread.call(&WorkerMidiObject::stopRun);
    QTRY_VERIFY_WITH_TIMEOUT(!sourceConnected(), 10000);
}

void TestWorkerMidiObjectJack::noCrossfaderOpensNothing() {
    midi()->setCrossFader(nullptr);
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startRun);
    QVERIFY(!sourceConnected());
    thread.call(&WorkerMidiObject::stopRun);
    QVERIFY(!sourceConnected());
}

void TestWorkerMidiObjectJack::learningOpensTheInput() {
    midi()->setCrossFader(nullptr);
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startLearnRun);
    QVERIFY(sourceConnected());
    thread.call(&WorkerMidiObject::stopRun);
    QTRY_VERIFY_WITH_TIMEOUT(!sourceConnected(), 10000);
}

void TestWorkerMidiObjectJack::publishesTheZonesTheControllerSends() {
    Setting* setting = Singleton::instance()->instanceSetting();
    setting->setParamCrossfaderLeft("10");
    setting->setParamCrossfaderRight("100");
    WorkerThread thread;
    Positions positions;
    thread.call(&WorkerMidiObject::startRun);
    // A connection made in JACK takes effect at a later cycle, and a cycle the server misses under
    // load loses what was sent in it: each message that enters a zone is sent until the zone is
    // published. Repeats within one zone publish nothing.
    const auto sendUntil = [&](const QByteArray& message, ModelCrossFader::EnumCrossFader status) {
        for (int i = 0; i < 100; ++i) {
            m_sender.send(message);
            if (positions.waitFor(status, 100))
                return true;
        }
        return false;
    };
    QVERIFY(sendUntil("b0 08 00", ModelCrossFader::LEFT));
    QVERIFY(sendUntil("b0 08 28", ModelCrossFader::MIDDLE));
    m_sender.send("b0 08 3c");
    QVERIFY(sendUntil("b0 08 7f", ModelCrossFader::RIGHT));
    // Each of these would enter the left zone if it counted, and the last one would then publish nothing.
    m_sender.send("b1 08 00"); // another channel
    m_sender.send("b0 09 00"); // another controller
    m_sender.send("90 08 00"); // a note-on
    QVERIFY(sendUntil("b0 08 05", ModelCrossFader::LEFT));
    QCOMPARE(positions.published(), QStringList({"LEFT 0", "MIDDLE 40", "RIGHT 127", "LEFT 5"}));
    thread.call(&WorkerMidiObject::stopRun);
}

QUILLON_TEST_MAIN(TestWorkerMidiObjectJack)
#include "tst_WorkerMidiObjectJack.moc"
