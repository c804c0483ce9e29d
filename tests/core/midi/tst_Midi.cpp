#include <QtTest>

#include "TestSandbox.h"
#include "core/midi/Midi.h"

class TestMidi : public QObject {
    Q_OBJECT

private slots:
    void crossFaderIsACopy();
    void positionStartsNoneAndKeepsTheLatest();
    void heldPositionOutlivesItsReplacement();
};

void TestMidi::crossFaderIsACopy() {
    Midi midi;
    QVERIFY(!midi.crossFader());
    QVERIFY(midi.controllerName().isEmpty());
    {
        ObjectMidi control(3, 33, ModelMode::Basic);
        midi.setCrossFader(&control);
        control.setValue(99);
    }
    QCOMPARE(midi.crossFader()->controller(), 33);
    QCOMPARE(midi.crossFader()->value(), 0);
    midi.setCrossFader(nullptr);
    QVERIFY(!midi.crossFader());
}

void TestMidi::positionStartsNoneAndKeepsTheLatest() {
    Midi midi;
    QVERIFY(!midi.crossFaderPos());
    for (int value : {0, 64, 127}) {
        auto position = std::make_unique<ObjectMidi>(0, 7, ModelMode::Basic);
        position->setValue(value);
        midi.setCrossFaderPos(std::move(position));
    }
    const Midi::Position latest = midi.crossFaderPos();
    QVERIFY(latest);
    QCOMPARE(latest->value(), 127);
    QCOMPARE(latest->status(), ModelCrossFader::RIGHT);
}

// Under the address sanitizer a freed position read here would stop the test.
void TestMidi::heldPositionOutlivesItsReplacement() {
    Midi midi;
    auto first = std::make_unique<ObjectMidi>(1, 7, ModelMode::Basic);
    first->setName("XFader");
    midi.setCrossFaderPos(std::move(first));
    Midi::Position held = midi.crossFaderPos();
    for (int i = 0; i < 100; ++i)
        midi.setCrossFaderPos(std::make_unique<ObjectMidi>(1, 7, ModelMode::Basic));
    QCOMPARE(held->name(), QString("XFader"));
    Midi::Position moved = std::move(held);
    QVERIFY(!held);
    QCOMPARE(moved->channel(), 1);
    moved = midi.crossFaderPos();
    QVERIFY(moved->name().isEmpty());
}

QUILLON_TEST_MAIN(TestMidi)
#include "tst_Midi.moc"
