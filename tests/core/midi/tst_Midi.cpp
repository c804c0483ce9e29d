#include <QTemporaryDir>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/Path.h"
#include "core/midi/Midi.h"

class TestMidi : public QObject {
    Q_OBJECT

private slots:
    void crossFaderIsACopy();
    void positionStartsNoneAndKeepsTheLatest();
    void heldPositionOutlivesItsReplacement();
    void crossFaderOfTheMapping();
    void reloadReplacesTheControls();
    void shippedMappingHasTheCrossfader();
};

namespace {

// A mapping of the controller type "Z": an "XFader" knob on a Shift page, then a Basic page with an
// "XFader" led and wheel.
const QByteArray MAPPING =
    "<ni-controller-midi-map><controller type=\"Z\"><midi-map><pages>"
    "<page name=\"Shift\"><knob id=\"XFader\"><channel>1</channel><controller>1</controller></knob></page>"
    "<page name=\"Basic\"><led id=\"XFader\"><channel>2</channel><controller>8</controller></led>"
    "<wheel id=\"XFader\"><channel>3</channel><controller>9</controller></wheel></page>"
    "</pages></midi-map></controller></ni-controller-midi-map>";

QString writeMapping(const QTemporaryDir& dir, const QByteArray& xml) {
    const QString path = dir.filePath("map.ncc");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(xml) != xml.size())
        qFatal("cannot write the mapping fixture");
    return path;
}

} // namespace

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

void TestMidi::crossFaderOfTheMapping() {
    QTemporaryDir dir;
    Midi midi;
    QCOMPARE(midi.objectMidiOfIdName("XFader", ModelMode::Basic), nullptr);
    midi.loadConfigListMidiItems(writeMapping(dir, MAPPING), "Z");
    QCOMPARE(midi.controllerName(), QString("Z"));

    const ObjectMidi* basic = midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Basic);
    QVERIFY(basic);
    QCOMPARE(basic->channel(), 2); // the first of that id on a Basic page
    QCOMPARE(basic->controller(), 8);
    QCOMPARE(basic->name(), QString("XFader"));
    const ObjectMidi* shift = midi.objectMidiOfIdName("XFader", ModelMode::Shift);
    QVERIFY(shift);
    QCOMPARE(shift->channel(), 1);
    QCOMPARE(midi.objectMidiOfIdName("xfader", ModelMode::Basic), nullptr);
    QCOMPARE(midi.objectMidiOfIdName("XFader", ModelMode::NO_TESTED), nullptr);
}

void TestMidi::reloadReplacesTheControls() {
    QTemporaryDir dir;
    Midi midi;
    const QString path = writeMapping(dir, MAPPING);
    midi.loadConfigListMidiItems(path, "Z");
    QVERIFY(midi.objectMidiOfIdName("XFader", ModelMode::Basic));
    midi.loadConfigListMidiItems(path, "Other");
    QCOMPARE(midi.controllerName(), QString("Other"));
    QCOMPARE(midi.objectMidiOfIdName("XFader", ModelMode::Basic), nullptr);
    midi.loadConfigListMidiItems(path, "Z");
    midi.loadConfigListMidiItems(dir.filePath("missing.ncc"), "Z");
    QCOMPARE(midi.objectMidiOfIdName("XFader", ModelMode::Basic), nullptr);
}

void TestMidi::shippedMappingHasTheCrossfader() {
    Midi midi;
    midi.loadConfigListMidiItems(Path::joinInput("Conf_Midi_Z2.ncc"), "Traktor Kontrol Z2");
    const ObjectMidi* crossFader = midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Basic);
    QVERIFY(crossFader);
    QVERIFY(crossFader->channel() >= 0 && crossFader->channel() <= 15);
    QVERIFY(crossFader->controller() >= 0 && crossFader->controller() <= 127);
    QCOMPARE(midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Shift), nullptr);
}

QUILLON_TEST_MAIN(TestMidi)
#include "tst_Midi.moc"
