#include <QDomDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

#include "TestSandbox.h"
#include "core/ManagePhrasing.h"
#include "core/Path.h"
#include "core/Phrasing.h"
#include "core/Singleton.h"
#include "core/Timecode.h"
#include "core/Vinyl.h"

using Arcs = QList<QPair<double, double>>;
using namespace Constant::Color;

class TestManagePhrasing : public QObject {
    Q_OBJECT

private slots:
    void edit_data();
    void edit();
    void palette();
    void randomEditsNeverMakeZeroSpan();
    void angleRules();
    void validity_data();
    void validity();
    void handOverOutlivesTheSet();
    void xmlReadsBack();
    void secondSaveRefused();
    void writerRefuses_data();
    void writerRefuses();
    void typedNameStaysInColor_data();
    void typedNameStaysInColor();
    void scratchTools_data();
    void scratchTools();
};

namespace {

QList<QPhrasing> areas(const Arcs& arcs) {
    QList<QPhrasing> list;
    for (const auto& [start, end] : arcs)
        list.append(QPhrasing(QString(), COLOR_BLUE_3, start, end));
    return list;
}

Arcs arcsOf(const ManagePhrasing& set) {
    Arcs arcs;
    for (const QPhrasing& area : set.listPhrasing())
        arcs.append({area.angleStart(), area.angleEnd()});
    return arcs;
}

void apply(ManagePhrasing& set, char operation, double angle) {
    switch (operation) {
    case 'a':
        return set.addArea(angle);
    case 'f': // fill the free arc
        return set.addAreaOnAllEmptyArea(angle);
    case 's':
        return set.defineAngleStart(angle);
    case 'e':
        return set.defineAngleEnd(angle);
    case 'd':
        return set.deleteArea(angle);
    default:
        return set.initAreas();
    }
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestManagePhrasing::edit_data() {
    QTest::addColumn<Arcs>("start");
    QTest::addColumn<char>("operation");
    QTest::addColumn<double>("angle");
    QTest::addColumn<Arcs>("expected");
    QTest::addColumn<int>("updates");

    const Arcs two{{0, 90}, {180, 270}};
    QTest::newRow("fill 120") << two << 'f' << 120.0 << Arcs{{0, 90}, {180, 270}, {90, 180}} << 1;
    QTest::newRow("add 120") << two << 'a' << 120.0 << Arcs{{0, 90}, {180, 270}, {90, 120}} << 1;
    QTest::newRow("add 45 cuts") << two << 'a' << 45.0 << Arcs{{0, 45}, {180, 270}} << 2;
    QTest::newRow("fill 300") << two << 'f' << 300.0 << Arcs{{0, 90}, {180, 270}, {270, 360}} << 1;
    QTest::newRow("fill held") << two << 'f' << 45.0 << two << 1;
    QTest::newRow("start 200") << two << 's' << 200.0 << Arcs{{0, 90}, {200, 270}} << 1;
    QTest::newRow("end 200") << two << 'e' << 200.0 << Arcs{{0, 90}, {180, 200}} << 1;
    QTest::newRow("end free") << two << 'e' << 100.0 << two << 1;
    QTest::newRow("delete 269.5") << two << 'd' << 269.5 << Arcs{{0, 90}} << 1;
    QTest::newRow("delete -30 is 330") << Arcs{{300, 360}} << 'd' << -30.0 << Arcs{} << 1;
    QTest::newRow("delete end excluded") << two << 'd' << 270.0 << two << 1;
    QTest::newRow("init") << two << 'i' << 0.0 << Arcs{} << 1;
    // Edits that would leave an area without span change nothing.
    QTest::newRow("add 0 on empty set") << Arcs{} << 'a' << 0.0 << Arcs{} << 1;
    QTest::newRow("add at a start") << two << 'a' << 180.0 << two << 1;
    QTest::newRow("add at an end") << two << 'a' << 90.0 << two << 1;
    QTest::newRow("end at a start") << two << 'e' << 180.0 << two << 1;
    QTest::newRow("add NaN") << Arcs{} << 'a' << qQNaN() << Arcs{} << 1;
}

void TestManagePhrasing::edit() {
    QFETCH(Arcs, start);
    QFETCH(char, operation);
    QFETCH(double, angle);
    QFETCH(Arcs, expected);
    QFETCH(int, updates);

    ManagePhrasing set(ModelGraph::INPUT_A);
    set.setListPhrasing(areas(start));
    QSignalSpy spy(&set, &ManagePhrasing::s_Update);
    apply(set, operation, angle);
    QCOMPARE(arcsOf(set), expected);
    QCOMPARE(spy.count(), updates);
}

void TestManagePhrasing::palette() {
    ManagePhrasing set(ModelGraph::INPUT_B);
    set.addArea(200.0);
    set.addAreaOnAllEmptyArea(250.0);
    QCOMPARE(arcsOf(set), (Arcs{{0, 200}, {200, 360}}));
    QCOMPARE(set.listPhrasing()[0].color(), COLOR_RED_1);
    QCOMPARE(set.listPhrasing()[1].color(), COLOR_YELLOW_1);

    const Rgba order[] = {COLOR_RED_1,    COLOR_YELLOW_1, COLOR_BLUE_1,   COLOR_ORANGE_1, COLOR_RED_2,
                          COLOR_RED_3,    COLOR_YELLOW_2, COLOR_YELLOW_3, COLOR_BLUE_2,   COLOR_BLUE_3,
                          COLOR_ORANGE_2, COLOR_ORANGE_3, COLOR_RED_1};
    set.initAreas();
    for (int i = 0; i < 13; ++i)
        set.addArea(10.0 * (i + 1));
    for (int i = 0; i < 13; ++i)
        QCOMPARE(set.listPhrasing()[i].color(), order[i]);
    // A freed colour comes back before the palette starts over.
    set.deleteArea(15.0);
    set.addAreaOnAllEmptyArea(15.0);
    QCOMPARE(set.listPhrasing().last().color(), COLOR_YELLOW_1);
}

void TestManagePhrasing::randomEditsNeverMakeZeroSpan() {
    QRandomGenerator random(8);
    ManagePhrasing set(ModelGraph::INPUT_A);
    for (int step = 0; step < 20000; ++step) {
        // Half the angles sit on an edge already present, where a zero span could arise.
        double angle = random.bounded(360);
        const QList<QPhrasing>& list = set.listPhrasing();
        if (!list.isEmpty() && random.bounded(2)) {
            const QPhrasing& area = list[random.bounded(int(list.size()))];
            angle = random.bounded(2) ? area.angleStart() : area.angleEnd();
        }
        const char operation = "aaffsseedi"[random.bounded(10)];
        if (operation != 'i' || random.bounded(20) == 0)
            apply(set, operation, angle);
        for (const QPhrasing& area : set.listPhrasing())
            QVERIFY2(area.spanAngle() > 0, qPrintable(QString::number(step)));
        QVERIFY(set.checkPhrasing());
    }
}

void TestManagePhrasing::angleRules() {
    Vinyl* vinyl = Singleton::instance()->instanceVinyl();
    Timecode* timecode = Singleton::instance()->instanceTimecode();
    vinyl->setCalculVinylDeltaPosition(ModelGraph::INPUT_B, 10.0);
    vinyl->setVinylPosition(ModelGraph::INPUT_B, 95.0);
    ManagePhrasing set(ModelGraph::INPUT_B);
    set.setListPhrasing(areas({{0, 90}, {90, 180}}));

    // Timecode mode off: adding reads the raw angle 95, deleting 95 - 10.
    set.addArea();
    QCOMPARE(arcsOf(set), (Arcs{{0, 90}, {90, 95}}));
    set.deleteArea();
    QCOMPARE(arcsOf(set), (Arcs{{90, 95}}));

    timecode->modeTimecode_on(ModelGraph::INPUT_B);
    vinyl->setVinylPosition(ModelGraph::INPUT_B, 102.0);
    set.defineAngleStart();
    QCOMPARE(arcsOf(set), (Arcs{{92, 95}}));
    timecode->modeTimecode_off(ModelGraph::INPUT_B);

    // -30 acts as 330; input A's angle is not read.
    vinyl->setCalculVinylDeltaPosition(ModelGraph::INPUT_B, 0.0);
    vinyl->setVinylPosition(ModelGraph::INPUT_B, -30.0);
    vinyl->setVinylPosition(ModelGraph::INPUT_A, 200.0);
    set.addArea();
    QCOMPARE(arcsOf(set), (Arcs{{92, 95}, {95, 330}}));
}

void TestManagePhrasing::validity_data() {
    QTest::addColumn<Arcs>("arcs");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << Arcs{} << true;
    QTest::newRow("[0,0)") << Arcs{{0, 0}} << false;
    QTest::newRow("[10,400)") << Arcs{{10, 400}} << false;
    QTest::newRow("[0,360)") << Arcs{{0, 360}} << true;
    QTest::newRow("[100,50)") << Arcs{{100, 50}} << true;
    QTest::newRow("overlap") << Arcs{{0, 100}, {50, 150}} << false;
    QTest::newRow("overlap, later first") << Arcs{{50, 150}, {0, 100}} << false;
    QTest::newRow("touching") << Arcs{{0, 100}, {100, 150}} << true;
}

void TestManagePhrasing::validity() {
    QFETCH(Arcs, arcs);
    QFETCH(bool, valid);
    ManagePhrasing set(ModelGraph::NOT_USED);
    set.setListPhrasing(areas(arcs));
    QCOMPARE(set.checkPhrasing(), valid);
}

void TestManagePhrasing::handOverOutlivesTheSet() {
    Phrasing* phrasing = Singleton::instance()->instancePhrasing();
    auto loaded = std::make_unique<ManagePhrasing>(ModelGraph::NOT_USED);
    loaded->addAreaOnAllEmptyArea(10.0);
    phrasing->setListPhrasing(ModelGraph::INPUT_A, loaded->listPhrasing());

    ManagePhrasing editing(ModelGraph::INPUT_A);
    editing.setListPhrasing(phrasing->listPhrasing(ModelGraph::INPUT_A));
    QCOMPARE(editing.listPhrasing()[0].id(), loaded->listPhrasing()[0].id());
    editing.addArea(180.0);
    loaded->addArea(90.0);
    loaded.reset();

    const QList<QPhrasing>& active = phrasing->listPhrasing(ModelGraph::INPUT_A);
    QCOMPARE(active.size(), 1);
    QCOMPARE(active[0].spanAngle(), 360.0);
    QCOMPARE(arcsOf(editing), (Arcs{{0, 180}}));
}

void TestManagePhrasing::xmlReadsBack() {
    ManagePhrasing set(ModelGraph::INPUT_A);
    set.setScratchTools("scratch.wav");
    set.setListPhrasing({QPhrasing("verse", COLOR_RED_1, 0.1, 1.0 / 3.0),
                         QPhrasing(QString::fromUtf8("<&\"é>"), {1, 2, 3, 4}, 90, 359.99999999999994)});
    const QString path = ManagePhrasing::colorFilePath("verse");
    QCOMPARE(path, Path::joinColor("verse.qlp"));
    QSignalSpy created(&set, &ManagePhrasing::s_newColorFile);
    QCOMPARE(set.createQLPXML(path, true), ManagePhrasing::SaveStatus::Created);
    QCOMPARE(created.count(), 1);
    QCOMPARE(created[0][0].toString(), path);

    const QByteArray bytes = readAll(path);
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Phrasing"));
    QVERIFY(bytes.contains("angleStart=\"0.1\""));
    QDomDocument doc;
    QVERIFY(doc.setContent(bytes));
    const QDomElement root = doc.documentElement();
    QCOMPARE(root.tagName(), "Phrasing");
    QCOMPARE(root.attribute("name"), "verse");
    QCOMPARE(root.attribute("scratchTools", "missing"), QString());
    const QDomNodeList sections = root.elementsByTagName("Section");
    QCOMPARE(sections.size(), 2);
    const QDomElement first = sections.at(0).toElement();
    QCOMPARE(first.attribute("label"), "verse");
    QCOMPARE(first.attribute("color"), "208,0,24");
    QCOMPARE(first.attribute("angleEnd").toDouble(), 1.0 / 3.0);
    const QDomElement second = sections.at(1).toElement();
    QCOMPARE(second.attribute("label"), QString::fromUtf8("<&\"é>"));
    QCOMPARE(second.attribute("color"), "1,2,3");
    QCOMPARE(second.attribute("angleStart"), "90");
    QCOMPARE(second.attribute("angleEnd").toDouble(), 359.99999999999994);
}

void TestManagePhrasing::secondSaveRefused() {
    ManagePhrasing set(ModelGraph::INPUT_B);
    set.addArea(100.0);
    const QString path = ManagePhrasing::colorFilePath("chorus");
    QCOMPARE(set.createQLPXML(path, false), ManagePhrasing::SaveStatus::Created);
    const QByteArray before = readAll(path);

    set.addAreaOnAllEmptyArea(200.0);
    QSignalSpy created(&set, &ManagePhrasing::s_newColorFile);
    QCOMPARE(set.createQLPXML(path, true), ManagePhrasing::SaveStatus::AlreadyExists);
    QCOMPARE(readAll(path), before);
    QCOMPARE(created.count(), 0);
}

void TestManagePhrasing::writerRefuses_data() {
    QTest::addColumn<QList<QPhrasing>>("list");
    QTest::addColumn<QString>("path");
    QTest::addColumn<ManagePhrasing::SaveStatus>("status");
    const QString path = Path::joinColor("refused.qlp");
    const auto invalid = ManagePhrasing::SaveStatus::InvalidSet;
    QTest::newRow("zero span") << areas({{10, 10}}) << path << invalid;
    QTest::newRow("not a number") << areas({{qQNaN(), qQNaN()}}) << path << invalid;
    QTest::newRow("control character in label")
        << QList<QPhrasing>{QPhrasing(QString(QChar(1)), COLOR_RED_1, 0, 10)} << path << invalid;
    QTest::newRow("missing folder") << areas({}) << Path::joinColor("none/x.qlp")
                                    << ManagePhrasing::SaveStatus::WriteFailed;
}

void TestManagePhrasing::writerRefuses() {
    QFETCH(QList<QPhrasing>, list);
    QFETCH(QString, path);
    QFETCH(ManagePhrasing::SaveStatus, status);
    ManagePhrasing set(ModelGraph::INPUT_A);
    set.setListPhrasing(list);
    QSignalSpy created(&set, &ManagePhrasing::s_newColorFile);
    QCOMPARE(set.createQLPXML(path, true), status);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(created.count(), 0);
}

void TestManagePhrasing::typedNameStaysInColor_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("../x") << "../x"
                          << ".._x.qlp";
    QTest::newRow("..") << ".."
                        << "...qlp";
    QTest::newRow("absolute") << "/tmp/x"
                              << "_tmp_x.qlp";
    QTest::newRow("backslash") << "a\\b"
                               << "a_b.qlp";
    QTest::newRow("extension typed") << "verse.qlp"
                                     << "verse.qlp.qlp";
}

void TestManagePhrasing::typedNameStaysInColor() {
    QFETCH(QString, name);
    QFETCH(QString, fileName);
    const QString path = ManagePhrasing::colorFilePath(name);
    QCOMPARE(path, Path::joinColor(fileName));
    ManagePhrasing set(ModelGraph::INPUT_A);
    QCOMPARE(set.createQLPXML(path, false), ManagePhrasing::SaveStatus::Created);
    QVERIFY(QFileInfo(Path::joinColor(fileName)).isFile());
}

void TestManagePhrasing::scratchTools_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("bare name") << "scratch one.wav" << true;
    QTest::newRow("missing") << "none.wav" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("a folder") << "folder" << false;
    QTest::newRow("outside the folder") << "../Input/outside.wav" << false;
}

void TestManagePhrasing::scratchTools() {
    QFETCH(QString, name);
    QFETCH(bool, loaded);
    // 100 silent 16-bit stereo frames at 48000 Hz.
    const QByteArray wav = QByteArray::fromHex("52494646 b4010000 57415645"  // RIFF, 436, WAVE
                                               "666d7420 10000000 0100 0200" // fmt, 16, PCM, 2 channels
                                               "80bb0000 00ee0200 0400 1000" // 48000, 192000, 4, 16 bits
                                               "64617461 90010000") +        // data, 400
                           QByteArray(400, '\0');
    QDir().mkpath(Path::joinScratchTools("folder"));
    for (const QString& file : {Path::joinScratchTools("scratch one.wav"), Path::joinInput("outside.wav")}) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(wav);
    }
    ManagePhrasing set(ModelGraph::NOT_USED);
    set.setScratchTools("scratch one.wav");
    set.generateScratchTools();
    QVERIFY(set.wav());
    set.setScratchTools(name);
    set.generateScratchTools();
    QCOMPARE(bool(set.wav()), loaded);
    if (loaded)
        QCOMPARE(set.wav()->size(), 100);
}

QUILLON_TEST_MAIN(TestManagePhrasing)
#include "tst_ManagePhrasing.moc"
