#include <QDomDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

#include "TestSandbox.h"
#include "core/ManagePhrasing.h"
#include "core/Path.h"

using Arcs = QList<QPair<double, double>>;
using Rgba = Constant::Color::Rgba;

class TestManagePhrasing : public QObject {
    Q_OBJECT

private slots:
    void editTwoAreas_data();
    void editTwoAreas();
    void emptySetPalette();
    void zeroSpanEditsChangeNothing_data();
    void zeroSpanEditsChangeNothing();
    void randomEditsStayValid();
    void deleteReducesItsAngle();
    void validity_data();
    void validity();
    void copiesKeepIdsAndStayApart();
    void xmlReadsBack();
    void secondSaveRefused();
    void writerRefuses_data();
    void writerRefuses();
    void writeFailureAnnouncesNothing();
    void typedNameStaysInColor_data();
    void typedNameStaysInColor();
    void scratchTools_data();
    void scratchTools();
};

namespace {

QList<QPhrasing> areas(const Arcs& arcs) {
    QList<QPhrasing> list;
    for (const auto& [start, end] : arcs)
        list.append(QPhrasing(QString(), Constant::Color::COLOR_BLUE_3, start, end));
    return list;
}

Arcs arcsOf(const ManagePhrasing& set) {
    Arcs arcs;
    for (const QPhrasing& area : set.listPhrasing())
        arcs.append({area.angleStart(), area.angleEnd()});
    return arcs;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A 16-bit stereo PCM file of `frames` silent frames.
QByteArray wavBytes(int frames) {
    auto u32 = [](quint32 v) {
        return QByteArray(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 4);
    };
    auto u16 = [](quint16 v) {
        return QByteArray(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 2);
    };
    const quint32 data = quint32(frames) * 4;
    return "RIFF" + u32(36 + data) + "WAVEfmt " + u32(16) + u16(1) + u16(2) + u32(48000) + u32(192000) +
           u16(4) + u16(16) + "data" + u32(data) + QByteArray(int(data), '\0');
}

} // namespace

void TestManagePhrasing::editTwoAreas_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<double>("angle");
    QTest::addColumn<Arcs>("expected");
    QTest::addColumn<int>("updates");

    QTest::newRow("all-empty 120") << "allEmpty" << 120.0 << Arcs{{0, 90}, {180, 270}, {90, 180}} << 1;
    QTest::newRow("add 120") << "add" << 120.0 << Arcs{{0, 90}, {180, 270}, {90, 120}} << 1;
    QTest::newRow("add 45 cuts") << "add" << 45.0 << Arcs{{0, 45}, {180, 270}} << 2;
    QTest::newRow("all-empty 300") << "allEmpty" << 300.0 << Arcs{{0, 90}, {180, 270}, {270, 360}} << 1;
    QTest::newRow("all-empty inside") << "allEmpty" << 45.0 << Arcs{{0, 90}, {180, 270}} << 1;
    QTest::newRow("start 200") << "start" << 200.0 << Arcs{{0, 90}, {200, 270}} << 1;
    QTest::newRow("start free") << "start" << 100.0 << Arcs{{0, 90}, {180, 270}} << 1;
    QTest::newRow("end 200") << "end" << 200.0 << Arcs{{0, 90}, {180, 200}} << 1;
    QTest::newRow("delete 269.5") << "delete" << 269.5 << Arcs{{0, 90}} << 1;
    QTest::newRow("delete 270 free") << "delete" << 270.0 << Arcs{{0, 90}, {180, 270}} << 1;
    QTest::newRow("init") << "init" << 0.0 << Arcs{} << 1;
}

void TestManagePhrasing::editTwoAreas() {
    QFETCH(QString, operation);
    QFETCH(double, angle);
    QFETCH(Arcs, expected);
    QFETCH(int, updates);

    ManagePhrasing set(ModelGraph::INPUT_A);
    const QList<QPhrasing> start = areas({{0, 90}, {180, 270}});
    set.setListPhrasing(&start);
    QSignalSpy spy(&set, &ManagePhrasing::s_Update);
    if (operation == "add")
        set.addArea(angle);
    else if (operation == "allEmpty")
        set.addAreaOnAllEmptyArea(angle);
    else if (operation == "start")
        set.defineAngleStart(angle);
    else if (operation == "end")
        set.defineAngleEnd(angle);
    else if (operation == "delete")
        set.deleteArea(angle);
    else
        set.initAreas();
    QCOMPARE(arcsOf(set), expected);
    QCOMPARE(spy.count(), updates);
    QVERIFY(set.checkPhrasing());
}

void TestManagePhrasing::emptySetPalette() {
    ManagePhrasing set(ModelGraph::INPUT_B);
    set.addArea(200.0);
    set.addAreaOnAllEmptyArea(250.0);
    QCOMPARE(arcsOf(set), (Arcs{{0, 200}, {200, 360}}));
    QCOMPARE(set.listPhrasing()[0].color(), Constant::Color::COLOR_RED_1);
    QCOMPARE(set.listPhrasing()[1].color(), Constant::Color::COLOR_YELLOW_1);
    QVERIFY(set.listPhrasing()[0].label().isEmpty());

    const QList<Rgba> order{
        Constant::Color::COLOR_RED_1,    Constant::Color::COLOR_YELLOW_1, Constant::Color::COLOR_BLUE_1,
        Constant::Color::COLOR_ORANGE_1, Constant::Color::COLOR_RED_2,    Constant::Color::COLOR_RED_3,
        Constant::Color::COLOR_YELLOW_2, Constant::Color::COLOR_YELLOW_3, Constant::Color::COLOR_BLUE_2,
        Constant::Color::COLOR_BLUE_3,   Constant::Color::COLOR_ORANGE_2, Constant::Color::COLOR_ORANGE_3,
        Constant::Color::COLOR_RED_1};
    set.initAreas();
    for (int i = 0; i < 13; ++i)
        set.addArea(10.0 * (i + 1));
    QCOMPARE(set.listPhrasing().size(), 13);
    for (int i = 0; i < 13; ++i)
        QCOMPARE(set.listPhrasing()[i].color(), order[i]);

    // A freed colour is taken again before a later one.
    set.deleteArea(15.0);
    set.addAreaOnAllEmptyArea(15.0);
    QCOMPARE(set.listPhrasing().last().color(), Constant::Color::COLOR_YELLOW_1);
}

void TestManagePhrasing::zeroSpanEditsChangeNothing_data() {
    QTest::addColumn<Arcs>("start");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<double>("angle");

    QTest::newRow("add 0 on empty set") << Arcs{} << "add" << 0.0;
    QTest::newRow("add at a start") << Arcs{{90, 180}} << "add" << 90.0;
    QTest::newRow("add at an end") << Arcs{{90, 180}} << "add" << 180.0;
    QTest::newRow("end at a start") << Arcs{{90, 180}} << "end" << 90.0;
    QTest::newRow("add NaN") << Arcs{{90, 180}} << "add" << qQNaN();
    QTest::newRow("all-empty NaN") << Arcs{} << "allEmpty" << qQNaN();
}

void TestManagePhrasing::zeroSpanEditsChangeNothing() {
    QFETCH(Arcs, start);
    QFETCH(QString, operation);
    QFETCH(double, angle);

    ManagePhrasing set(ModelGraph::INPUT_A);
    const QList<QPhrasing> list = areas(start);
    set.setListPhrasing(&list);
    QSignalSpy spy(&set, &ManagePhrasing::s_Update);
    if (operation == "add")
        set.addArea(angle);
    else if (operation == "end")
        set.defineAngleEnd(angle);
    else
        set.addAreaOnAllEmptyArea(angle);
    QCOMPARE(arcsOf(set), start);
    QCOMPARE(spy.count(), 1);
}

void TestManagePhrasing::randomEditsStayValid() {
    QRandomGenerator random(8);
    ManagePhrasing set(ModelGraph::INPUT_A);
    for (int step = 0; step < 20000; ++step) {
        // Mostly angles on the edges already present, where a zero span could arise.
        double angle = random.bounded(360);
        if (!set.listPhrasing().isEmpty() && random.bounded(2)) {
            const QPhrasing& area = set.listPhrasing()[random.bounded(int(set.listPhrasing().size()))];
            angle = random.bounded(2) ? area.angleStart() : area.angleEnd();
        }
        switch (random.bounded(6)) {
        case 0:
            set.addArea(angle);
            break;
        case 1:
            set.addAreaOnAllEmptyArea(angle);
            break;
        case 2:
            set.defineAngleStart(angle);
            break;
        case 3:
            set.defineAngleEnd(angle);
            break;
        case 4:
            if (random.bounded(4) == 0)
                set.deleteArea(angle);
            break;
        default:
            if (random.bounded(50) == 0)
                set.initAreas();
        }
        for (const QPhrasing& area : set.listPhrasing())
            QVERIFY2(area.spanAngle() > 0, qPrintable(QString::number(step)));
        QVERIFY(set.checkPhrasing());
    }
}

void TestManagePhrasing::deleteReducesItsAngle() {
    ManagePhrasing set(ModelGraph::INPUT_A);
    const QList<QPhrasing> list = areas({{0, 90}, {300, 360}});
    set.setListPhrasing(&list);
    set.deleteArea(-30.0);
    QCOMPARE(arcsOf(set), (Arcs{{0, 90}}));
    set.deleteArea(765.0);
    QCOMPARE(arcsOf(set), Arcs{});
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
    QTest::newRow("same start") << Arcs{{0, 100}, {0, 50}} << false;
}

void TestManagePhrasing::validity() {
    QFETCH(Arcs, arcs);
    QFETCH(bool, valid);
    ManagePhrasing set(ModelGraph::NOT_USED);
    const QList<QPhrasing> list = areas(arcs);
    set.setListPhrasing(&list);
    QCOMPARE(set.checkPhrasing(), valid);
}

void TestManagePhrasing::copiesKeepIdsAndStayApart() {
    ManagePhrasing loaded(ModelGraph::NOT_USED);
    loaded.addAreaOnAllEmptyArea(10.0);
    const QList<QPhrasing> handed = loaded.listPhrasing();

    auto editing = std::make_unique<ManagePhrasing>(ModelGraph::INPUT_A);
    editing->setListPhrasing(&handed);
    QCOMPARE(editing->listPhrasing()[0].id(), handed[0].id());
    // The same id is the same area, so it does not overlap itself.
    QVERIFY(editing->checkPhrasing());

    editing->addArea(180.0);
    editing.reset();
    loaded.initAreas();
    QCOMPARE(arcsOf(loaded), Arcs{});
    QCOMPARE(handed.size(), 1);
    QCOMPARE(handed[0].spanAngle(), 360.0);

    editing = std::make_unique<ManagePhrasing>(ModelGraph::INPUT_A);
    editing->setListPhrasing(nullptr);
    QVERIFY(editing->listPhrasing().isEmpty());
}

void TestManagePhrasing::xmlReadsBack() {
    ManagePhrasing set(ModelGraph::INPUT_A);
    set.setScratchTools("scratch.wav");
    const double third = 1.0 / 3.0;
    QList<QPhrasing> list{QPhrasing("verse", Constant::Color::COLOR_RED_1, 0.1, third),
                          QPhrasing(QString::fromUtf8("<&\"é>"), {1, 2, 3, 4}, 90, 359.99999999999994)};
    set.setListPhrasing(&list);
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
    QVERIFY(root.hasAttribute("scratchTools"));
    QCOMPARE(root.attribute("scratchTools"), QString());
    const QDomNodeList sections = root.elementsByTagName("Section");
    QCOMPARE(sections.size(), 2);
    const QDomElement first = sections.at(0).toElement();
    QCOMPARE(first.attribute("label"), "verse");
    QCOMPARE(first.attribute("color"), "208,0,24");
    QCOMPARE(first.attribute("angleStart").toDouble(), 0.1);
    QCOMPARE(first.attribute("angleEnd").toDouble(), third);
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
    QTest::newRow("zero span") << areas({{10, 10}});
    QTest::newRow("overlap") << areas({{0, 100}, {50, 150}});
    QTest::newRow("not a number") << areas({{qQNaN(), qQNaN()}});
    QTest::newRow("control character in label")
        << QList<QPhrasing>{QPhrasing(QString(QChar(1)), Constant::Color::COLOR_RED_1, 0, 10)};
}

void TestManagePhrasing::writerRefuses() {
    QFETCH(QList<QPhrasing>, list);
    ManagePhrasing set(ModelGraph::INPUT_A);
    set.setListPhrasing(&list);
    QSignalSpy created(&set, &ManagePhrasing::s_newColorFile);
    const QString path = ManagePhrasing::colorFilePath("refused");
    QCOMPARE(set.createQLPXML(path, true), ManagePhrasing::SaveStatus::InvalidSet);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(created.count(), 0);
}

void TestManagePhrasing::writeFailureAnnouncesNothing() {
    ManagePhrasing set(ModelGraph::INPUT_A);
    QSignalSpy created(&set, &ManagePhrasing::s_newColorFile);
    const QString path = Path::joinColor("missing folder/x.qlp");
    QCOMPARE(set.createQLPXML(path, true), ManagePhrasing::SaveStatus::WriteFailed);
    QCOMPARE(created.count(), 0);
    QVERIFY(!QFile::exists(path));
}

void TestManagePhrasing::typedNameStaysInColor_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("../x") << "../x"
                          << ".._x.qlp";
    QTest::newRow("..") << ".."
                        << "...qlp";
    QTest::newRow(".") << "."
                       << "..qlp";
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
    QCOMPARE(QFileInfo(path).fileName(), fileName);
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(Path::joinColor(QString())).absoluteFilePath());

    ManagePhrasing set(ModelGraph::INPUT_A);
    QCOMPARE(set.createQLPXML(path, false), ManagePhrasing::SaveStatus::Created);
    QVERIFY(QFile::exists(Path::joinColor(fileName)));
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
    QDir().mkpath(Path::joinScratchTools("folder"));
    for (const QString& file : {Path::joinScratchTools("scratch one.wav"), Path::joinInput("outside.wav")}) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(wavBytes(100));
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
