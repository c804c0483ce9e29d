#include <QTemporaryDir>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/Path.h"
#include "core/midi/ItemButton.h"
#include "core/midi/ItemKnob.h"
#include "core/midi/Midi.h"
#include "core/midi/ParserMidi.h"

// The crossfader state: a control's status, the published position, and the controller mapping.
class TestMidi : public QObject {
    Q_OBJECT

private slots:
    void status_data();
    void status();
    void heldPositionOutlivesItsReplacement();
    void crossFaderOfTheShippedMapping();
    void parse_data();
    void parse();
};

namespace {

std::unique_ptr<ObjectMidi> position(int value, const QString& name = QString()) {
    auto object = std::make_unique<ObjectMidi>(0, 7, ModelMode::Basic);
    object->setValue(value);
    object->setName(name);
    return object;
}

QByteArray root(const QByteArray& controllers) {
    return "<ni-controller-midi-map>" + controllers + "</ni-controller-midi-map>";
}
QByteArray controller(const QByteArray& type, const QByteArray& pages) {
    return "<controller type=\"" + type + "\"><midi-map><pages>" + pages + "</pages></midi-map></controller>";
}
QByteArray page(const QByteArray& controls, const QByteArray& name = "Basic") {
    return "<page name=\"" + name + "\">" + controls + "</page>";
}
QByteArray mapping(const QByteArray& pages) {
    return root(controller("Z", pages));
}
const QByteArray XFADER = "<wheel id=\"XFader\"><channel>2</channel><controller>8</controller></wheel>";

// Each control as "kind:id mode channel/controller", then a button's on/off or a knob's min/max.
QString describe(const ItemInterfaceList& items) {
    QStringList list;
    for (const auto& item : items) {
        const ObjectMidi& control = item->objectMidi();
        QString text = QString("%1:%2 %3 %4/%5")
                           .arg(item->objectName(), item->idName(), Model::toText(item->mode()))
                           .arg(control.channel())
                           .arg(control.controller());
        if (auto* button = qobject_cast<const ItemButton*>(item.get()))
            text += QString(" %1/%2").arg(button->on()).arg(button->off());
        if (auto* knob = qobject_cast<const ItemKnob*>(item.get()))
            text += QString(" %1/%2").arg(knob->min()).arg(knob->max());
        list << text;
    }
    return list.join(", ");
}

} // namespace

void TestMidi::status_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("value");
    QTest::addColumn<ModelCrossFader::EnumCrossFader>("status");
    QTest::newRow("10/100 at 10") << 10 << 100 << 10 << ModelCrossFader::LEFT;
    QTest::newRow("10/100 at 11") << 10 << 100 << 11 << ModelCrossFader::MIDDLE;
    QTest::newRow("10/100 at 99") << 10 << 100 << 99 << ModelCrossFader::MIDDLE;
    QTest::newRow("10/100 at 100") << 10 << 100 << 100 << ModelCrossFader::RIGHT;
    // Crossed thresholds: the right one is asked first.
    QTest::newRow("100/10 at 50") << 100 << 10 << 50 << ModelCrossFader::RIGHT;
}

void TestMidi::status() {
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, value);
    ObjectMidi object(0, 7, ModelMode::Basic);
    object.setCrossLeftRight(left, right);
    object.setValue(value);
    QTEST(object.status(), "status");
}

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

void TestMidi::parse_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("controls");
    const QString xfader = "wheel:XFader Basic 2/8";
    QTest::newRow("complete") << mapping(page(XFADER)) << xfader;
    QTest::newRow("root of another name")
        << mapping(page(XFADER)).replace("ni-controller-midi-map", "ni-controller-midi-mapping") << "";
    QTest::newRow("type in other case") << mapping(page(XFADER)).replace("\"Z\"", "\"z\"") << "";
    QTest::newRow("first controller of the type")
        << root(controller("O", page("<knob id=\"O\"/>")) + controller("Z", page("<knob id=\"A\"/>")) +
                controller("Z", page("<knob id=\"B\"/>")))
        << "knob:A Basic 0/0 0/0";
    QTest::newRow("Shift") << mapping(page(XFADER + "<led id=\"L\"/>", "Shift"))
                           << "wheel:XFader Shift 2/8, led:L Shift 0/0";
    QTest::newRow("shift is Basic") << mapping(page(XFADER, "shift")) << xfader;
    QTest::newRow("NO_TESTED") << mapping(page(XFADER, "NO_TESTED")) << "wheel:XFader NO_TESTED 2/8";
    QTest::newRow("no name is Basic") << mapping("<page>" + XFADER + "</page>") << xfader;
    // Each control starts from zeros; of a repeated value the last counts.
    QTest::newRow("values do not carry over")
        << mapping(page("<knob id=\"K1\"><channel>3</channel><controller>9</controller><min>1</min>"
                        "<max>90</max></knob><knob id=\"K2\"><min>5</min></knob>"
                        "<button id=\"B\"><on>127</on><off>1</off><on>64</on></button>"))
        << "knob:K1 Basic 3/9 1/90, knob:K2 Basic 0/0 5/0, button:B Basic 0/0 64/1";
    QTest::newRow("unknown kinds skipped")
        << mapping(page("<button id=\"B\"/><pedal id=\"P\"><channel>1</channel></pedal><Knob id=\"k\"/>"
                        "<led id=\"L\"><Channel>5</Channel></led>") +
                   page("<wheel id=\"W\"/>", "Shift"))
        << "button:B Basic 0/0 0/0, led:L Basic 0/0, wheel:W Shift 0/0";
    // Channels that are not decimal numbers of 32 bits read 0.
    QTest::newRow("channels") << mapping(page(
                                     "<knob id=\"K\"><channel>one</channel></knob><led id=\"L\"><channel>"
                                     "1.5</channel></led><led id=\"M\"><channel>2147483648</channel></led>"))
                              << "knob:K Basic 0/0 0/0, led:L Basic 0/0, led:M Basic 0/0";
    // The document parse would take seconds at 40,000 levels: nesting past any real mapping is refused.
    const auto nested = [](int levels) {
        return QByteArray("<x>").repeated(levels) + QByteArray("</x>").repeated(levels);
    };
    QTest::newRow("32 levels") << mapping(page(XFADER + "<led id=\"L\">" + nested(26) + "</led>"))
                               << xfader + ", led:L Basic 0/0";
    QTest::newRow("33 levels") << mapping(page(XFADER + "<led id=\"L\">" + nested(27) + "</led>")) << "";
    QTest::newRow("40,000 levels") << mapping(page(XFADER + nested(40000))) << "";
}

void TestMidi::parse() {
    QFETCH(QByteArray, xml);
    QTemporaryDir dir;
    QFile file(dir.filePath("map.ncc"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size());
    file.close();
    const ItemInterfaceList items = ParserMidi::parseXmlNi(file.fileName(), "Z");
    QTEST(describe(items), "controls");
    for (const auto& item : items)
        QVERIFY(qobject_cast<ItemInterface*>(item.get()) && item->objectMidi().name() == item->idName());
    QCOMPARE(qobject_interface_iid<ItemInterface*>(), "Quillon.ItemInterface/1.0");
}

QUILLON_TEST_MAIN(TestMidi)
#include "tst_Midi.moc"
