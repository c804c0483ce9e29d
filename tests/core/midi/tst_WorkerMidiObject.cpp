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

void setCrossFader(int channel, int controller, ModelMode::EnumMode mode = ModelMode::Basic) {
    const ObjectMidi control(channel, controller, mode);
    midi()->setCrossFader(&control);
}

void setThresholds(const QString& left, const QString& right) {
    Singleton::instance()->instanceSetting()->setParamCrossfaderLeft(left);
    Singleton::instance()->instanceSetting()->setParamCrossfaderRight(right);
}

// Control changes of channel 0, controller 8 (the crossfader of most cases) with these values.
QList<quint32> faders(std::initializer_list<int> values) {
    QList<quint32> messages;
    for (int value : values)
        messages << (0x08B0 | quint32(value) << 16);
    return messages;
}

// Hands `messages` to the worker one at a time and lists the positions published meanwhile as
// "STATUS value". The position in force before is held, so a new one cannot take its address.
QStringList published(WorkerThread& thread, const QList<quint32>& messages) {
    QStringList list;
    Midi::Position last = midi()->crossFaderPos();
    for (quint32 message : messages) {
        thread.call(&WorkerMidiObject::message, message, 0u);
        Midi::Position now = midi()->crossFaderPos();
        if (now.get() != last.get())
            list << Model::toText(now->status()) + " " + QString::number(now->value());
        last = std::move(now);
    }
    return list;
}

} // namespace

// The worker on a real thread, fed as its MIDI input feeds it. No MIDI system is reachable here, so
// no input is ever opened; the JACK test covers opening.
class TestWorkerMidiObject : public QObject {
    Q_OBJECT

private slots:
    void init();
    void publishesOnZoneChangesOnly();
    void onlyTheControlOfTheRunCounts();
    void learningTakesTheFirstControlChange();
};

void TestWorkerMidiObject::init() {
    setCrossFader(0, 8);
    setThresholds("0", "127");
}

void TestWorkerMidiObject::publishesOnZoneChangesOnly() {
    setCrossFader(0, 8, ModelMode::Shift);
    setThresholds("10", "100");
    WorkerThread thread; // a new worker: its last zone is MIDDLE
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(published(thread, faders({50, 10, 5, 0, 11, 99, 100, 127, 99, 10})),
             QStringList({"LEFT 10", "MIDDLE 11", "RIGHT 100", "MIDDLE 99", "LEFT 10"}));
    const Midi::Position position = midi()->crossFaderPos();
    QVERIFY(position->channel() == 0 && position->controller() == 8 && position->mode() == ModelMode::Shift);
    QVERIFY(position->name() == "XFader" && position->crossLeft() == 10 && position->crossRight() == 100);
    // The thresholds are read at every message.
    setThresholds("10", "90");
    QCOMPARE(published(thread, faders({95, 89, 90})), QStringList({"RIGHT 95", "MIDDLE 89", "RIGHT 90"}));
    // The position and the zone outlast the run.
    const Midi::Position kept = midi()->crossFaderPos();
    thread.call(&WorkerMidiObject::stopRun);
    QCOMPARE(midi()->crossFaderPos().get(), kept.get());
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(published(thread, faders({127, 50})), QStringList({"MIDDLE 50"}));
}

void TestWorkerMidiObject::onlyTheControlOfTheRunCounts() {
    WorkerThread thread;
    thread.call(&WorkerMidiObject::startRun);
    setCrossFader(2, 16); // taken at the next start: until then channel 0, controller 8 counts
    QCOMPARE(published(thread, faders({127}) << 0x0010B2), QStringList({"RIGHT 127"}));
    thread.call(&WorkerMidiObject::startRun);
    // Each would enter the left zone if it counted: the former control, another channel, another
    // controller, a note-on and a pitch bend.
    const QList<quint32> others = {0x0008B0, 0x0010B3, 0x0011B2, 0x001092, 0x0010E2};
    QCOMPARE(published(thread, others + QList<quint32>{0x4010B2}), QStringList({"MIDDLE 64"}));
    midi()->setCrossFader(nullptr);
    thread.call(&WorkerMidiObject::startRun);
    QCOMPARE(published(thread, {0x0010B2}), QStringList());
}

void TestWorkerMidiObject::learningTakesTheFirstControlChange() {
    WorkerThread thread;
    QSignalSpy learnt(thread.worker, &WorkerMidiObject::s_LearnMidi);
    const auto learn = [&thread](quint32 message) {
        thread.call(&WorkerMidiObject::learnMessage, message, 0u);
    };
    learn(0x4010B2); // not learning yet
    thread.call(&WorkerMidiObject::startLearnRun);
    // Note-on, note-off and pitch bend are not learnt; of two control changes only the first is.
    for (quint32 message : {0x7F3C91, 0x003C81, 0x0020E1, 0x4010B2, 0x4011B3})
        learn(message);
    thread.call(&WorkerMidiObject::stopRun);
    thread.call(&WorkerMidiObject::startLearnRun);
    learn(0x0011BF);
    QCOMPARE(QList<QVariantList>(learnt), QList<QVariantList>({{2, 16}, {15, 17}}));
}

QUILLON_TEST_MAIN(TestWorkerMidiObject)
#include "tst_WorkerMidiObject.moc"
