#include <QTemporaryDir>
#include <QtTest>

#include "TestSandbox.h"
#include "core/midi/ItemButton.h"
#include "core/midi/ItemKnob.h"
#include "core/midi/ItemWheel.h"
#include "core/midi/ParserMidi.h"

class TestParserMidi : public QObject {
    Q_OBJECT

private slots:
    void nothingRequiredMissing_data();
    void nothingRequiredMissing();
    void firstControllerOfTheTypeWins();
    void pageNameGivesMode_data();
    void pageNameGivesMode();
    void valuesDoNotCarryOver();
    void unknownKindIsSkipped();
    void numbers_data();
    void numbers();
    void controlCarriesIdAndPageMode();

private:
    ItemInterfaceList parse(const QByteArray& xml, const QString& controller = "Z");
    QTemporaryDir m_dir;
};

namespace {

QByteArray mapping(const QByteArray& pages, const QByteArray& root = "ni-controller-midi-map") {
    return "<?xml version=\"1.0\"?><" + root + "><controller type=\"Z\"><midi-map><pages>" + pages +
           "</pages></midi-map></controller></" + root + ">";
}

QByteArray page(const QByteArray& controls, const QByteArray& name = "Basic") {
    return "<page name=\"" + name + "\">" + controls + "</page>";
}

const QByteArray XFADER = "<wheel id=\"XFader\"><channel>2</channel><controller>8</controller>"
                          "<min>0</min><max>127</max></wheel>";

QStringList idNames(const ItemInterfaceList& items) {
    QStringList names;
    for (const auto& item : items)
        names << item->objectName() + ":" + item->idName();
    return names;
}

} // namespace

ItemInterfaceList TestParserMidi::parse(const QByteArray& xml, const QString& controller) {
    const QString path = m_dir.filePath("map.ncc");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(xml) != xml.size())
        qFatal("cannot write the mapping fixture");
    file.close();
    return ParserMidi::parseXmlNi(path, controller);
}

void TestParserMidi::nothingRequiredMissing_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("count");
    QTest::newRow("complete") << mapping(page(XFADER)) << 1;
    QTest::newRow("root of another name") << mapping(page(XFADER), "ni-controller-midi-mapping") << 0;
    QTest::newRow("malformed") << mapping(page(XFADER)).chopped(3) << 0;
    QTest::newRow("not XML") << QByteArray("\x00\xff\x10", 3) << 0;
    QTest::newRow("type in other case") << mapping(page(XFADER)).replace("type=\"Z\"", "type=\"z\"") << 0;
    QTest::newRow("no midi-map") << mapping(page(XFADER)).replace("midi-map>", "midi-mop>") << 0;
    QTest::newRow("no pages") << mapping(page(XFADER)).replace("pages>", "pagez>") << 0;
}

void TestParserMidi::nothingRequiredMissing() {
    QFETCH(QByteArray, xml);
    QFETCH(int, count);
    QCOMPARE(int(parse(xml).size()), count);
    QVERIFY(ParserMidi::parseXmlNi(m_dir.filePath("missing.ncc"), "Z").empty());
}

void TestParserMidi::firstControllerOfTheTypeWins() {
    const QByteArray xml = "<ni-controller-midi-map>"
                           "<controller type=\"Other\"><midi-map><pages><page><knob id=\"O\"/></page></pages>"
                           "</midi-map></controller>"
                           "<controller type=\"Z\"><midi-map><pages><page><knob id=\"A\"/></page></pages>"
                           "</midi-map></controller>"
                           "<controller type=\"Z\"><midi-map><pages><page><knob id=\"B\"/></page></pages>"
                           "</midi-map></controller></ni-controller-midi-map>";
    QCOMPARE(idNames(parse(xml)), QStringList({"knob:A"}));
}

void TestParserMidi::pageNameGivesMode_data() {
    QTest::addColumn<QByteArray>("pageTag");
    QTest::addColumn<ModelMode::EnumMode>("mode");
    QTest::newRow("Shift") << QByteArray("<page name=\"Shift\">") << ModelMode::Shift;
    QTest::newRow("shift is Basic") << QByteArray("<page name=\"shift\">") << ModelMode::Basic;
    QTest::newRow("NO_TESTED") << QByteArray("<page name=\"NO_TESTED\">") << ModelMode::NO_TESTED;
    QTest::newRow("empty") << QByteArray("<page name=\"\">") << ModelMode::Basic;
    QTest::newRow("no name") << QByteArray("<page>") << ModelMode::Basic;
}

void TestParserMidi::pageNameGivesMode() {
    QFETCH(QByteArray, pageTag);
    QFETCH(ModelMode::EnumMode, mode);
    const ItemInterfaceList items = parse(mapping(pageTag + XFADER + "<led id=\"L\"/></page>"));
    QCOMPARE(int(items.size()), 2);
    QCOMPARE(items[0]->mode(), mode);
    QCOMPARE(items[1]->mode(), mode);
}

void TestParserMidi::valuesDoNotCarryOver() {
    const ItemInterfaceList items =
        parse(mapping(page("<knob id=\"K1\"><channel>3</channel><controller>9</controller>"
                           "<min>1</min><max>90</max></knob>"
                           "<knob id=\"K2\"><min>5</min></knob>"
                           "<button id=\"B\"><on>127</on><off>0</off><on>64</on></button>")));
    QCOMPARE(int(items.size()), 3);
    const auto* second = qobject_cast<ItemKnob*>(items[1].get());
    QVERIFY(second);
    QCOMPARE(second->min(), 5);
    QCOMPARE(second->max(), 0);
    QCOMPARE(second->objectMidi().channel(), 0);
    QCOMPARE(second->objectMidi().controller(), 0);
    const auto* button = qobject_cast<ItemButton*>(items[2].get());
    QVERIFY(button);
    QCOMPARE(button->on(), 64); // the last of a repeated tag counts
    QCOMPARE(button->off(), 0);
}

void TestParserMidi::unknownKindIsSkipped() {
    const ItemInterfaceList items = parse(
        mapping(page("<button id=\"B\"/><pedal id=\"P\"><channel>1</channel></pedal><touchstrip id=\"T\"/>"
                     "<Knob id=\"k\"/><led id=\"L\"/>") +
                page("<wheel id=\"W\"/>", "Shift")));
    QCOMPARE(idNames(items), QStringList({"button:B", "led:L", "wheel:W"}));
    for (const auto& item : items)
        QVERIFY(qobject_cast<ItemInterface*>(item.get()));
    QCOMPARE(qobject_interface_iid<ItemInterface*>(), "Quillon.ItemInterface/1.0");
}

void TestParserMidi::numbers_data() {
    QTest::addColumn<QByteArray>("channel");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << QByteArray("15") << 15;
    QTest::newRow("not a number") << QByteArray("one") << 0;
    QTest::newRow("fraction") << QByteArray("1.5") << 0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 0;
    QTest::newRow("beyond 32 bits") << QByteArray("2147483648") << 0;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("negative") << QByteArray("-1") << -1;
    QTest::newRow("empty") << QByteArray() << 0;
}

void TestParserMidi::numbers() {
    QFETCH(QByteArray, channel);
    QFETCH(int, value);
    const ItemInterfaceList items = parse(mapping(
        page("<wheel id=\"W\"><channel>" + channel + "</channel><controller>7</controller></wheel>")));
    QCOMPARE(int(items.size()), 1);
    QCOMPARE(items[0]->objectMidi().channel(), value);
    QCOMPARE(items[0]->objectMidi().controller(), 7);
}

void TestParserMidi::controlCarriesIdAndPageMode() {
    const ItemInterfaceList items = parse(mapping(page("<led id=\"L\"/>") + page(XFADER, "Shift")));
    QCOMPARE(int(items.size()), 2);
    const auto* wheel = qobject_cast<const ItemWheel*>(items[1].get());
    QVERIFY(wheel);
    QCOMPARE(wheel->idName(), QString("XFader"));
    QCOMPARE(wheel->objectMidi().name(), QString("XFader"));
    QCOMPARE(wheel->objectMidi().channel(), 2);
    QCOMPARE(wheel->objectMidi().controller(), 8);
    QCOMPARE(wheel->objectMidi().mode(), ModelMode::Shift);
    QCOMPARE(wheel->objectMidi().value(), 0);
    QCOMPARE(wheel->max(), 127);
    QCOMPARE(items[0]->objectMidi().mode(), ModelMode::Basic);
}

QUILLON_TEST_MAIN(TestParserMidi)
#include "tst_ParserMidi.moc"
