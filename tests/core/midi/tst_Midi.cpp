#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/Path.h"
#include "core/midi/Midi.h"

class TestMidi : public QObject {
    Q_OBJECT

private slots:
    void heldPositionOutlivesItsReplacement();
    void crossFaderOfTheShippedMapping();
};

namespace {

std::unique_ptr<ObjectMidi> position(int value, const QString& name = QString()) {
    auto object = std::make_unique<ObjectMidi>(0, 7, ModelMode::Basic);
    object->setValue(value);
    object->setName(name);
    return object;
}

} // namespace

// Under the address sanitizer a freed position read here stops the test.
void TestMidi::heldPositionOutlivesItsReplacement() {
    Midi midi;
    QVERIFY(!midi.crossFaderPos());
    midi.setCrossFaderPos(position(0, "XFader"));
    Midi::Position held;
    {
        Midi::Position first = midi.crossFaderPos();
        held = std::move(first); // the hold moves: ending `first` must not let go of it
    }
    for (int value = 1; value <= 100; ++value)
        midi.setCrossFaderPos(position(value));
    QCOMPARE(held->name(), QString("XFader"));
    QCOMPARE(midi.crossFaderPos()->value(), 100);
}

void TestMidi::crossFaderOfTheShippedMapping() {
    Midi midi;
    const QString path = Path::joinInput("Conf_Midi_Z2.ncc");
    midi.loadConfigListMidiItems(path, "Traktor Kontrol Z2");
    const ObjectMidi* crossFader = midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Basic);
    QVERIFY(crossFader && crossFader->channel() <= 15 && crossFader->controller() <= 127);
    QVERIFY(!midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Shift));
    QVERIFY(!midi.objectMidiOfIdName("xfader", ModelMode::Basic));
    // Loading again replaces the controls, with none when the type has none.
    midi.loadConfigListMidiItems(path, "Other");
    QVERIFY(!midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Basic));
}

QUILLON_TEST_MAIN(TestMidi)
#include "tst_Midi.moc"
