#include <QDomDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/ManagePhrasing.h"
#include "core/ManageWAV.h"
#include "core/Path.h"
#include "core/Phrasing.h"
#include "core/QSample.h"
#include "core/Singleton.h"
#include "core/Timecode.h"
#include "core/Vinyl.h"

using Arcs = QList<QPair<double, double>>;
using namespace Constant::Color;

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

// Operations by letter: add, fill the free arc, define start, define end, delete; any other: init.
void apply(ManagePhrasing& set, char operation, double angle) {
    using Edit = void (ManagePhrasing::*)(double);
    const Edit edits[] = {qOverload<double>(&ManagePhrasing::addArea),
                          qOverload<double>(&ManagePhrasing::addAreaOnAllEmptyArea),
                          qOverload<double>(&ManagePhrasing::defineAngleStart),
                          &ManagePhrasing::defineAngleEnd, qOverload<double>(&ManagePhrasing::deleteArea)};
    const qsizetype k = QByteArray("afsed").indexOf(operation);
    k < 0 ? set.initAreas() : (set.*edits[k])(angle);
}

QByteArray section(const char* color, const char* start = "0", const char* end = "90") {
    return QByteArray(" <Section label=\"l\" color=\"") + color + "\" angleStart=\"" + start +
           "\" angleEnd=\"" + end + "\"/>\n";
}

QByteArray phrasing(const QByteArray& sections, const QByteArray& scratchTools = "") {
    return "<?xml version=\"1.0\"?>\n<Phrasing name=\"t\" scratchTools=\"" + scratchTools + "\">\n" +
           sections + "</Phrasing>\n";
}

} // namespace

class TestManagePhrasing : public QObject {
    Q_OBJECT

private slots:
    void edit_data() {
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
        QTest::newRow("start 200") << two << 's' << 200.0 << Arcs{{0, 90}, {200, 270}} << 1;
        QTest::newRow("end 200") << two << 'e' << 200.0 << Arcs{{0, 90}, {180, 200}} << 1;
        QTest::newRow("delete 269.5") << two << 'd' << 269.5 << Arcs{{0, 90}} << 1;
        QTest::newRow("delete end excluded") << two << 'd' << 270.0 << two << 1;
        QTest::newRow("delete -30 is 330") << Arcs{{300, 360}} << 'd' << -30.0 << Arcs{} << 1;
        // Edits that would leave an area without span change nothing.
        QTest::newRow("add 0 on empty set") << Arcs{} << 'a' << 0.0 << Arcs{} << 1;
        QTest::newRow("add at a start") << two << 'a' << 180.0 << two << 1;
        QTest::newRow("add at an end") << two << 'a' << 90.0 << two << 1;
    }

    void edit() {
        QFETCH(Arcs, start);
        QFETCH(char, operation);
        QFETCH(double, angle);
        ManagePhrasing set(ModelGraph::INPUT_A);
        set.setListPhrasing(areas(start));
        QSignalSpy spy(&set, &ManagePhrasing::s_Update);
        apply(set, operation, angle);
        QTEST(arcsOf(set), "expected");
        QTEST(int(spy.size()), "updates");
    }

    void palette() {
        ManagePhrasing set(ModelGraph::INPUT_B);
        set.addArea(200.0);
        set.addAreaOnAllEmptyArea(250.0);
        QCOMPARE(arcsOf(set), (Arcs{{0, 200}, {200, 360}}));
        QCOMPARE(set.listPhrasing()[0].color(), COLOR_RED_1);
        QCOMPARE(set.listPhrasing()[1].color(), COLOR_YELLOW_1);
        set.initAreas();
        for (int i = 1; i <= 13; ++i)
            set.addArea(10.0 * i);
        QCOMPARE(set.listPhrasing()[12].color(), COLOR_RED_1);
    }

    void randomEditsNeverMakeZeroSpan() {
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

    // Calibration delta 10 with timecode mode off: adding reads the raw angle, deleting the angle minus 10.
    void angleRules() {
        Vinyl* vinyl = Singleton::instance()->instanceVinyl();
        vinyl->setCalculVinylDeltaPosition(ModelGraph::INPUT_B, 10.0);
        vinyl->setVinylPosition(ModelGraph::INPUT_B, 95.0);
        vinyl->setVinylPosition(ModelGraph::INPUT_A, 200.0);
        ManagePhrasing set(ModelGraph::INPUT_B);
        set.setListPhrasing(areas({{0, 90}, {90, 180}}));
        set.addArea();
        QCOMPARE(arcsOf(set), (Arcs{{0, 90}, {90, 95}}));
        set.deleteArea();
        QCOMPARE(arcsOf(set), (Arcs{{90, 95}}));
        // In timecode mode every operation takes the delta off.
        Singleton::instance()->instanceTimecode()->modeTimecode_on(ModelGraph::INPUT_B);
        vinyl->setVinylPosition(ModelGraph::INPUT_B, 102.0);
        set.defineAngleStart();
        QCOMPARE(arcsOf(set), (Arcs{{92, 95}}));
        Singleton::instance()->instanceTimecode()->modeTimecode_off(ModelGraph::INPUT_B);
    }

    void validity_data() {
        QTest::addColumn<Arcs>("arcs");
        QTest::addColumn<bool>("valid");
        QTest::newRow("[0,0)") << Arcs{{0, 0}} << false;
        QTest::newRow("[10,400)") << Arcs{{10, 400}} << false;
        QTest::newRow("[100,50)") << Arcs{{100, 50}} << true;
        QTest::newRow("overlap") << Arcs{{0, 100}, {50, 150}} << false;
        QTest::newRow("overlap, later first") << Arcs{{50, 150}, {0, 100}} << false;
        QTest::newRow("touching") << Arcs{{0, 100}, {100, 150}} << true;
        QTest::newRow("inside another") << Arcs{{0, 100}, {10, 20}} << false;
        // An area with a negative span holds nothing.
        QTest::newRow("start in a negative span") << Arcs{{100, 50}, {60, 70}} << true;
        QTest::newRow("NaN start") << Arcs{{qQNaN(), 10}, {0, 100}} << true;
    }

    void validity() {
        QFETCH(Arcs, arcs);
        ManagePhrasing set(ModelGraph::NOT_USED);
        set.setListPhrasing(areas(arcs));
        QTEST(set.checkPhrasing(), "valid");
    }

    // The sorted check gives the answers of the pairwise definition, on random sets with shared edges
    // and copies of an area (same id, which never counts against itself).
    void validityAsEveryPairDefinesIt() {
        QRandomGenerator random(3);
        for (int round = 0; round < 3000; ++round) {
            QList<QPhrasing> list;
            for (int i = random.bounded(6); i > 0; --i) {
                const double start = random.bounded(8) * 45.0;
                if (!list.isEmpty() && random.bounded(4) == 0)
                    list.append(list[random.bounded(int(list.size()))]);
                else
                    list.append(
                        QPhrasing(QString(), COLOR_RED_1, start, start + (random.bounded(10) - 2) * 45.0));
            }
            bool valid = true;
            for (const QPhrasing& area : list) {
                valid = valid && area.spanAngle() != 0.0 && area.spanAngle() <= 360.0;
                for (const QPhrasing& other : list)
                    valid = valid && (other.id() == area.id() || !other.holds(area.angleStart()));
            }
            ManagePhrasing set(ModelGraph::NOT_USED);
            set.setListPhrasing(list);
            QCOMPARE(set.checkPhrasing(), valid);
        }
    }

    // The default colour file has a fixed id, which library rows and saved state rely on.
    void activeColourFileIds() {
        const QUuid defaultId("{00000001-0002-0003-0004-000000000005}");
        Phrasing phrasing;
        phrasing.setIdPhrasingActivated(ModelGraph::INPUT_B, QUuid::createUuid());
        QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::MASTER), defaultId);
        phrasing.initIdPhrasingActivated();
        QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_B), defaultId);
    }

    void colorFile() {
        ManagePhrasing set(ModelGraph::INPUT_A);
        set.setListPhrasing(
            {QPhrasing("verse", COLOR_RED_1, 0.1, 1.0 / 3.0), QPhrasing("<&\"é>", {1, 2, 3, 4}, 90, 360)});
        const QString path = ManagePhrasing::colorFilePath("verse");
        QSignalSpy created(&set, &ManagePhrasing::s_newColorFile);
        QCOMPARE(set.createQLPXML(path, true), ManagePhrasing::SaveStatus::Created);
        QCOMPARE(created.size(), 1);
        QCOMPARE(created[0][0].toString(), Path::joinColor("verse.qlp"));
        const QByteArray bytes = TestFiles::read(path);
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Phrasing"));
        QDomDocument doc;
        QVERIFY(doc.setContent(bytes));
        QCOMPARE(doc.documentElement().attribute("name") +
                     doc.documentElement().attribute("scratchTools", "?"),
                 "verse");
        const QDomNodeList sections = doc.documentElement().elementsByTagName("Section");
        QCOMPARE(sections.size(), 2);
        const QDomElement first = sections.at(0).toElement();
        QCOMPARE(first.attribute("label"), "verse");
        QCOMPARE(first.attribute("color"), "208,0,24");
        // Shortest round-trip form: exact, and no digits beyond what it takes.
        QCOMPARE(first.attribute("angleStart"), "0.1");
        QCOMPARE(first.attribute("angleEnd").toDouble(), 1.0 / 3.0);
        // Markup in a label is escaped; the colour drops its alpha.
        QCOMPARE(sections.at(1).toElement().attribute("label") +
                     sections.at(1).toElement().attribute("color"),
                 "<&\"é>1,2,3");
        // A typed name always lands directly in the Color folder, never hidden.
        QCOMPARE(ManagePhrasing::colorFilePath("../x"), Path::joinColor("_.._x.qlp"));
        QCOMPARE(ManagePhrasing::colorFilePath("/tmp/x"), Path::joinColor("_tmp_x.qlp"));
    }

    void refusedSaves() {
        ManagePhrasing set(ModelGraph::INPUT_B);
        set.addArea(100.0);
        const QString path = ManagePhrasing::colorFilePath("chorus");
        QCOMPARE(set.createQLPXML(path, false), ManagePhrasing::SaveStatus::Created);
        const QByteArray before = TestFiles::read(path);
        set.addAreaOnAllEmptyArea(200.0);
        QSignalSpy created(&set, &ManagePhrasing::s_newColorFile);
        QCOMPARE(set.createQLPXML(path, true), ManagePhrasing::SaveStatus::AlreadyExists);
        QCOMPARE(TestFiles::read(path), before);
        QCOMPARE(set.createQLPXML(Path::joinColor("none/x.qlp"), true),
                 ManagePhrasing::SaveStatus::WriteFailed);
        // Neither a set the colour panel would refuse nor a label that would not read back is written.
        for (const QPhrasing& area :
             {QPhrasing("", COLOR_RED_1, 10, 10), QPhrasing(QChar(0xD800), COLOR_RED_1, 0, 9),
              QPhrasing("\x01", COLOR_RED_1, 0, 9)}) {
            set.setListPhrasing({area});
            QCOMPARE(set.createQLPXML(Path::joinColor("refused.qlp"), true),
                     ManagePhrasing::SaveStatus::InvalidSet);
        }
        QVERIFY(!QFile::exists(Path::joinColor("refused.qlp")));
        QCOMPARE(created.size(), 0);
    }

    // A colour file from someone else's package names its sound: only a bare name inside "Scratch Tools"
    // loads.
    void scratchSoundStaysInItsFolder() {
        ManageWAV recording;
        const qint16 sample = 1000;
        for (int i = 0; i < 64; ++i)
            recording.addData(&sample);
        const auto format = QSample::byDefault(ModelGraph::INPUT_A);
        QVERIFY(recording.createWAVFile(Path::joinScratchTools("cut.wav"), format.get()));
        QVERIFY(recording.createWAVFile(Path::joinInput("private.wav"), format.get()));

        ManagePhrasing set(ModelGraph::INPUT_A);
        for (const QString& name : {QString("../Input/private.wav"), Path::joinInput("private.wav"),
                                    QString(".."), QString("missing.wav")}) {
            set.setScratchTools(name);
            set.generateScratchTools();
            QVERIFY2(!set.wav(), qPrintable(name));
        }
        set.setScratchTools("cut.wav");
        set.generateScratchTools();
        QVERIFY(set.wav() && set.wav()->size() == 32);
    }

    // Colour files as someone else may have made them: a count of -1 means refused.
    void readColorFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("count");
        QTest::addColumn<Rgba>("firstColor");
        const Rgba none{};
        const QByteArray red = section("255,0,0");
        QByteArray many;
        for (int i = 0; i <= ManagePhrasing::MAX_AREAS; ++i)
            many +=
                section("1,2,3", QByteArray::number(i + 1).constData(), QByteArray::number(i).constData());

        QTest::newRow("four colour parts")
            << "a.qlp" << phrasing(section("255,0,0,9")) << 1 << Rgba{255, 0, 0};
        QTest::newRow("not a number") << "a.qlp" << phrasing(section("x,0,0")) << 1 << Rgba{0, 0, 0};
        QTest::newRow("out of range") << "a.qlp" << phrasing(section("300,7,7")) << 1 << Rgba{0, 0, 0};
        QTest::newRow("two colour parts")
            << "a.qlp" << phrasing(red + section("1,2", "90", "180")) << -1 << none;
        QTest::newRow("capital extension") << "a.QLP" << phrasing(red) << 1 << Rgba{255, 0, 0};
        QTest::newRow("other extension") << "a.xml" << phrasing(red) << -1 << none;
        QTest::newRow("angle not a number")
            << "a.qlp" << phrasing(section("1,2,3", "abc", "90")) << 1 << Rgba{1, 2, 3};
        QTest::newRow("NaN") << "a.qlp" << phrasing(section("1,2,3", "nan")) << -1 << none;
        QTest::newRow("infinite") << "a.qlp" << phrasing(section("1,2,3", "0", "1e999")) << -1 << none;
        QTest::newRow("overlapping") << "a.qlp" << phrasing(red + section("1,2,3", "45", "180")) << -1
                                     << none;
        QTest::newRow("sound in a folder") << "a.qlp" << phrasing(red, "../Input/x.wav") << -1 << none;
        QTest::newRow("other root") << "a.qlp" << QByteArray("<Colors name=\"t\"/>") << -1 << none;
        QTest::newRow("not XML") << "a.qlp" << QByteArray("<Phrasing") << -1 << none;
        QTest::newRow("over 1 MiB") << "a.qlp"
                                    << phrasing(red + "<!--" +
                                                QByteArray(ManagePhrasing::MAX_FILE_BYTES, 'x') + "-->")
                                    << -1 << none;
        // Nested entities that would expand to two billion characters.
        QByteArray laughs = "<!DOCTYPE Phrasing [<!ENTITY a0 \"ha\">";
        for (char level = '1'; level <= '9'; ++level)
            laughs += QByteArray("<!ENTITY a") + level + " \"" +
                      (QByteArray("&a") + char(level - 1) + ';').repeated(10) + "\">";
        QTest::newRow("entity expansion") << "a.qlp"
                                          << phrasing(section("1,2,3"))
                                                 .replace("<Phrasing", laughs + "]>\n<Phrasing")
                                                 .replace("label=\"l\"", "label=\"&a9;\"")
                                          << -1 << none;
        QTest::newRow("too many areas") << "a.qlp" << phrasing(many) << -1 << none;
        // Deep nesting makes the document parse slow; no colour file of ours nests past two levels.
        QTest::newRow("deep nesting")
            << "a.qlp"
            << phrasing(red).replace("</Phrasing>", QByteArray("<x>").repeated(20000) +
                                                        QByteArray("</x>").repeated(20000) + "</Phrasing>")
            << -1 << none;
    }

    void readColorFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, count);
        const QString path = TestSandbox::root() + "/" + name;
        QVERIFY(TestFiles::write(path, content));
        const std::unique_ptr<ManagePhrasing> set = ManagePhrasing::readQLPFile(path);
        QCOMPARE(set ? set->listPhrasing().size() : -1, count);
        if (set) {
            QTEST(set->listPhrasing()[0].color(), "firstColor");
            QCOMPARE(set->title(), "t");
            QCOMPARE(set->path(), path);
        }
    }
};

QUILLON_TEST_MAIN(TestManagePhrasing)
#include "tst_ManagePhrasing.moc"
