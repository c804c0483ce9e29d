#include <QSignalSpy>
#include <QtTest>

#include "TestSandbox.h"
#include "WorkerThread.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/Midi.h"

namespace {

Midi* midi() {
    return Singleton::instance()->instanceMidi();
}
Setting* setting() {
    return Singleton::instance()->instanceSetting();
}

void setCrossFader(int channel, int controller, ModelMode::EnumMode mode = ModelMode::Basic) {
    const ObjectMidi control(channel, controller, mode);
    midi()->setCrossFader(&control);
}

// A control change of channel 0 and controller 8 (the crossfader of most cases) with `value`.
quint32 fader(int value) {
    return 0x08B0 | quint32(value) << 16;
}

// The values of the positions published while the worker handles `values` of the crossfader, one
// message after the other. The position in force before is held, so a new one cannot take its address.
QList<int> published(WorkerThread& thread, const QList<int>& values) {
    QList<int> result;
    Midi::Position last = midi()->crossFaderPos();
    for (int value : values) {
        thread.message(fader(value));
        Midi::Position now = midi()->crossFaderPos();
        if (now.get() != last.get())
            result << now->value();
        last = std::move(now);
    }
    return result;
}

} // namespace

// The worker on a real thread, fed as its MIDI input feeds it. No MIDI system is reachable here, so
// no input is ever opened; the JACK test covers opening.
class TestWorkerMidiObject : public QObject {
    Q_OBJECT

private slots:
    void init();
    void firstRunStartsInTheMiddle();
    void onlyTheCrossfaderControlCounts_data();
    void onlyTheCrossfaderControlCounts();
    void publishesOnZoneChangesOnly();
    void stopAndStartKeepTheZone();
    void crossfaderIsTakenAtStartRun();
    void learningTakesTheFirstControlChange();
};

void TestWorkerMidiObject::init() {
    setCrossFader(0, 8);
    setting()->setParamCrossfaderLeft("0");
    setting()->setParamCrossfaderRight("127");
}

// Runs first: no position has been published in this process yet.
void TestWorkerMidiObject::firstRunStartsInTheMiddle() {
    setCrossFader(0, 8, ModelMode::Shift);
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startRun);
    for (int value : {64, 1, 126})
        thread.message(fader(value));
    QVERIFY(!midi()->crossFaderPos());

    thread.message(fader(0));
    const Midi::Position position = midi()->crossFaderPos();
    QVERIFY(position);
    QCOMPARE(position->status(), ModelCrossFader::LEFT);
    QCOMPARE(position->value(), 0);
    QCOMPARE(position->channel(), 0);
    QCOMPARE(position->controller(), 8);
    QCOMPARE(position->mode(), ModelMode::Shift);
    QCOMPARE(position->name(), QString("XFader"));
    QCOMPARE(position->crossLeft(), 0);
    QCOMPARE(position->crossRight(), 127);
}

void TestWorkerMidiObject::onlyTheCrossfaderControlCounts_data() {
    QTest::addColumn<quint32>("message");
    QTest::addColumn<bool>("counts");
    // The crossfader is channel 2, controller 16; every message below carries the value 0 (LEFT).
    QTest::newRow("its control change") << quint32(0x0010B2) << true;
    QTest::newRow("other channel") << quint32(0x0010B3) << false;
    QTest::newRow("channel in the high nibble") << quint32(0x0010B0 | 2 << 4) << false;
    QTest::newRow("other controller") << quint32(0x0011B2) << false;
    QTest::newRow("note-on") << quint32(0x001092) << false;
    QTest::newRow("note-off") << quint32(0x001082) << false;
    QTest::newRow("key pressure") << quint32(0x0010A2) << false;
    QTest::newRow("pitch bend") << quint32(0x0010E2) << false;
}

void TestWorkerMidiObject::onlyTheCrossfaderControlCounts() {
    QFETCH(quint32, message);
    QFETCH(bool, counts);
    setCrossFader(2, 16);
    WorkerThread thread; // a new worker: its last zone is MIDDLE
    thread.call(&WorkerMidiObject::startRun);
    const Midi::Position before = midi()->crossFaderPos();
    thread.message(message);
    const Midi::Position after = midi()->crossFaderPos();
    QCOMPARE(after.get() != before.get(), counts);
    if (counts) {
        QCOMPARE(after->channel(), 2);
        QCOMPARE(after->controller(), 16);
    }
}

void TestWorkerMidiObject::publishesOnZoneChangesOnly() {
    setting()->setParamCrossfaderLeft("10");
    setting()->setParamCrossfaderRight("100");
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(published(thread, {50, 10, 5, 0, 11, 99, 100, 127, 99, 10}), QList<int>({10, 11, 100, 99, 10}));
    QCOMPARE(midi()->crossFaderPos()->crossLeft(), 10);

    // The thresholds are read at every message.
    setting()->setParamCrossfaderRight("90");
    QCOMPARE(published(thread, {95, 89, 90}), QList<int>({95, 89, 90}));
    QCOMPARE(midi()->crossFaderPos()->crossRight(), 90);
}

void TestWorkerMidiObject::stopAndStartKeepTheZone() {
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(published(thread, {127, 0}), QList<int>({127, 0}));
    const Midi::Position kept = midi()->crossFaderPos();
    thread.call(&WorkerMidiObject::stopRun);
    QCOMPARE(midi()->crossFaderPos().get(), kept.get());
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(published(thread, {0, 64}), QList<int>({64}));
}

void TestWorkerMidiObject::crossfaderIsTakenAtStartRun() {
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startRun);
    setCrossFader(1, 9);
    QCOMPARE(published(thread, {127}), QList<int>({127})); // still channel 0, controller 8
    thread.message(0x0009B1);
    QCOMPARE(midi()->crossFaderPos()->value(), 127);

    thread.call(&WorkerMidiObject::startRun);
    thread.message(0x0009B1);
    QCOMPARE(midi()->crossFaderPos()->channel(), 1);
    QCOMPARE(midi()->crossFaderPos()->status(), ModelCrossFader::LEFT);

    midi()->setCrossFader(nullptr);
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(published(thread, {127}), QList<int>());
    thread.message(0x7F09B1);
    QCOMPARE(midi()->crossFaderPos()->status(), ModelCrossFader::LEFT);
}

void TestWorkerMidiObject::learningTakesTheFirstControlChange() {
    WorkerThread thread;
    QSignalSpy learnt(thread.worker(), &WorkerMidiObject::s_LearnMidi);
    thread.learnMessage(0x4010B2); // not learning yet
    thread.call(&WorkerMidiObject::startLearnRun);
    thread.learnMessage(0x7F1092); // note-on
    thread.learnMessage(0x001082); // note-off
    thread.learnMessage(0x0010E2); // pitch bend
    QCOMPARE(learnt.count(), 0);
    thread.learnMessage(0x4010B2);
    thread.learnMessage(0x4011B3);
    QCOMPARE(learnt.count(), 1);
    QCOMPARE(learnt.at(0), QVariantList({2, 16}));

    thread.call(&WorkerMidiObject::stopRun);
    thread.call(&WorkerMidiObject::startLearnRun);
    thread.learnMessage(0x0011BF);
    QCOMPARE(learnt.count(), 2);
    QCOMPARE(learnt.at(1), QVariantList({15, 17}));
}

QUILLON_TEST_MAIN(TestWorkerMidiObject)
#include "tst_WorkerMidiObject.moc"
