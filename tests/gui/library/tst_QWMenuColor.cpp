#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QtTest>

#include "Artifacts.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "TestFiles.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Phrasing.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "core/audio/WorkerPlayObject.h"
#include "gui/library/ColorFileSaver.h"
#include "gui/library/QWColor.h"
#include "gui/library/QWMenuColor.h"
#include "gui/library/QWPainterPhrasing.h"
#include "gui/library/QWPainterRec.h"
#include "gui/library/SaveColorPhrasing.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBPush.h"
#include "gui/widgets/QBPushDark.h"

using Areas = QList<QPhrasing>;

namespace {

Singleton* registry() {
    return Singleton::instance();
}

// A colour file of `count` areas [30i, 30i + 20) labelled "part i", then `more` sections as written.
QString writeColorFile(const QString& path, const QString& title, int count, const QString& more = {}) {
    QString xml = QString("<Phrasing name=\"%1\" scratchTools=\"\">").arg(title);
    for (int i = 0; i < count; ++i)
        xml += QString(R"(<Section label="part %1" color="1,194,193" angleStart="%2" angleEnd="%3"/>)")
                   .arg(i)
                   .arg(i * 30)
                   .arg(i * 30 + 20);
    return TestFiles::write(path, (xml + more + "</Phrasing>").toUtf8()) ? path : QString();
}

QWColor* rowTitled(const QWMenuColor& panel, const QString& title) {
    for (QWColor* row : panel.rows()) {
        if (row->phrasing()->title() == title)
            return row;
    }
    return nullptr;
}

void releaseDeleted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// What each deck shows must be the areas of the row checked for it.
void verifyDecksFollowChecks(const QWMenuColor& panel) {
    const Phrasing* phrasing = registry()->instancePhrasing();
    // A deleted row never stays a deck's.
    QVERIFY(panel.row(phrasing->idPhrasingActivated(ModelGraph::INPUT_A)) &&
            panel.row(phrasing->idPhrasingActivated(ModelGraph::INPUT_B)));
    for (QWColor* row : panel.rows()) {
        QVERIFY(!(row->deleteButton()->isVisible() && (row->is_checkedA() || row->is_checkedB())));
        if (row->is_checkedA())
            QCOMPARE(phrasing->listPhrasing(ModelGraph::INPUT_A).size(),
                     row->phrasing()->listPhrasing().size());
        if (row->is_checkedB())
            QCOMPARE(registry()->instanceWavPhrasing()->wav(ModelGraph::INPUT_B), row->phrasing()->wav());
    }
}

} // namespace

class TestQWMenuColor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        GuiTest::applyAppearance();
        QVERIFY(!writeColorFile(Path::joinColor("Upper.QLP"), "upper", 4).isEmpty());
        QVERIFY(!writeColorFile(Path::joinColor("Second default.qlp"), "Default color", 1).isEmpty());
        QVERIFY(
            TestFiles::write(Path::joinColor("bad.qlp"), "<Phrasing><Section color=\"1,2\"/></Phrasing>"));
    }

    void init() {
        registry()->instancePhrasing()->initIdPhrasingActivated();
        registry()->instanceLooperTraining()->setMode(ModelActivatedMode::Looper);
    }

    void scanAndAssignment() {
        QWMenuColor panel("Color", "colorMode.png");
        panel.show();
        // The refused file is skipped; the capitalised extension is listed; one row only is the default's.
        QCOMPARE(panel.rows().size(), 3);
        QVERIFY(rowTitled(panel, "upper"));
        QWColor* fallback = panel.row(Constant::Default::UUID);
        QVERIFY(fallback && fallback->is_checkedA() && fallback->is_checkedB());
        QCOMPARE(fallback->phrasing()->path(), Path::joinColor("Default color.qlp"));
        QVERIFY(registry()->instanceMode()->modeColor());

        QWColor* upper = rowTitled(panel, "upper");
        QSignalSpy refreshed(&panel, &QWMenuColor::s_refreshDisplay);
        GuiTest::hover(upper, true);
        QTest::mouseClick(upper->toggleA(), Qt::LeftButton);
        QVERIFY(upper->is_checkedA() && !fallback->is_checkedA() && fallback->is_checkedB());
        QCOMPARE(registry()->instancePhrasing()->listPhrasing(ModelGraph::INPUT_A).size(), 4);
        QVERIFY(!registry()->instanceWavPhrasing()->wav(ModelGraph::INPUT_A));
        QCOMPARE(registry()->instanceLooperTraining()->pathColor_A(), "Upper.QLP");
        QVERIFY(!upper->deleteButton()->isVisible());
        QTest::mouseClick(upper->toggleA(), Qt::LeftButton);
        QVERIFY(!upper->is_checkedA() && fallback->is_checkedA());
        QCOMPARE(registry()->instancePhrasing()->listPhrasing(ModelGraph::INPUT_A).size(), 3);
        QVERIFY(registry()->instanceWavPhrasing()->wav(ModelGraph::INPUT_A));
        QCOMPARE(refreshed.size(), 2);
        QVERIFY(upper->deleteButton()->isVisible());
        GuiTest::hover(upper, false);
        QVERIFY(!upper->toggleA()->isVisible() && !upper->deleteButton()->isVisible());

        // No row for the decks' ids, both at the default: colour mode goes off.
        panel.deleteQWColor(Constant::Default::UUID);
        QVERIFY(!registry()->instanceMode()->modeColor());
    }

    void deleteAndShare() {
        const QString path = writeColorFile(Path::joinColor("doomed.qlp"), "doomed", 0,
                                            R"(<Section label="a&quot;b" color="208,0,24" angleStart="0.5" )"
                                            R"(angleEnd="90.333333333"/>)");
        QWMenuColor panel("Color", "colorMode.png");
        panel.show();
        QWColor* doomed = rowTitled(panel, "doomed");
        GuiTest::hover(panel.row(Constant::Default::UUID), true);
        QVERIFY(!panel.row(Constant::Default::UUID)->deleteButton()->isVisible());
        GuiTest::hover(doomed, true);
        QVERIFY(doomed->deleteButton()->isVisible() && doomed->shareButton()->isVisible());

        ModalDriver driver;
        const QString folder = TestSandbox::root() + "/shared";
        QDir().mkpath(folder);
        driver.queuePaths({folder});
        QTest::mouseClick(doomed->shareButton(), Qt::LeftButton);
        QVERIFY(QFile::exists(folder + "/doomed.qlp"));

        driver.setAnswer(QMessageBox::No);
        QTest::mouseClick(doomed->deleteButton(), Qt::LeftButton);
        QCOMPARE(driver.messages(),
                 {"Delete files Permanently? \n  \"a\"b\" RGB(208,0,24) from 0.5 to 90.3333\n"});
        QVERIFY(QFile::exists(path) && panel.row(doomed->id()));
        driver.setAnswer(QMessageBox::Yes);
        QSignalSpy deleted(doomed, &QWColor::s_deleteColor);
        QTest::mouseClick(doomed->deleteButton(), Qt::LeftButton);
        QCOMPARE(deleted.size(), 1);
        QVERIFY(!QFile::exists(path) && !panel.row(deleted[0][0].toUuid()));
        QCOMPARE(panel.listPhrasing().size(), panel.rows().size());
        releaseDeleted();
    }

    void import() {
        QWMenuColor panel("Color", "colorMode.png");
        const int rows = panel.rows().size();
        ModalDriver driver;
        driver.queuePaths({writeColorFile(TestSandbox::root() + "/outside.qlp", "outside", 2)});
        panel.addButton()->mouseClick();
        QCOMPARE(panel.rows().size(), rows + 1);
        QCOMPARE(panel.rows().last()->phrasing()->path(), Path::joinColor("outside.qlp"));
        QVERIFY(QFile::exists(Path::joinColor("outside.qlp")));
        panel.importQLPFileWithCopy(TestSandbox::root() + "/outside.qlp");
        panel.importQLPFileWithCopy(Path::joinColor("bad.qlp"));
        panel.importQLPFileWithoutCopy(Path::joinColor("bad.qlp"));
        // A copy that fails: the Color folder is not a folder.
        const QString other = writeColorFile(TestSandbox::root() + "/other.qlp", "other", 1);
        QVERIFY(QDir().rename(Path::joinColor(""), TestSandbox::root() + "/Color.away"));
        QVERIFY(TestFiles::write(Path::joinColor(""), ""));
        panel.importQLPFileWithCopy(other);
        QVERIFY(QFile::remove(Path::joinColor("")) &&
                QDir().rename(TestSandbox::root() + "/Color.away", Path::joinColor("")));
        QCOMPARE(driver.messages(), QStringList({"File already imported !", "Non-compliant file !",
                                                 "File could not be copied !"}));
        QCOMPARE(panel.rows().size(), rows + 1);
    }

    // Hover, toggles, refreshes and deletions in a random order: under AddressSanitizer nothing a deck,
    // a preview or the player holds is ever freed.
    void ownershipInAnyOrder() {
        for (int i = 0; i < 6; ++i)
            writeColorFile(Path::joinColor(QString("any%1.qlp").arg(i)), QString("any%1").arg(i), i + 1);
        QWMenuColor panel("Color", "colorMode.png");
        panel.show();
        WorkerPlayObject player;
        player.load(QSample::byDefault(ModelGraph::PLAYBACK));
        connect(&panel, &QWMenuColor::s_refreshDisplay, &player, &WorkerPlayObject::updateWav);
        ModalDriver driver;
        driver.setAnswer(QMessageBox::Yes);
        // As no pointer could: a row checked for a deck is deleted, and the deck returns to the default.
        QWColor* checked = rowTitled(panel, "any0");
        checked->refreshCheckA();
        checked->delete_PhrasingFile();
        verifyDecksFollowChecks(panel);
        const qsizetype rowsBefore = panel.rows().size();
        QRandomGenerator random(1983);
        for (int step = 0; step < 300; ++step) {
            const QList<QWColor*> rows = panel.rows();
            QWColor* row = rows[random.bounded(int(rows.size()))];
            switch (random.bounded(6)) {
            case 0:
                GuiTest::hover(row, random.bounded(2));
                break;
            case 1:
                row->refreshCheckA();
                break;
            case 2:
                row->refreshCheckB();
                break;
            case 3:
                if (row->phrasing()->title().startsWith("any"))
                    row->delete_PhrasingFile();
                break;
            case 4:
                panel.refreshDisplay();
                break;
            case 5:
                releaseDeleted();
                break;
            }
            verifyDecksFollowChecks(panel);
            if (QTest::currentTestFailed())
                return;
            QWidget* preview = panel.rows().first()->preview();
            QVERIFY(!preview->grab().isNull());
        }
        QVERIFY(panel.rows().size() < rowsBefore);
        releaseDeleted();
    }

    // A Training or Recording set brings its own colour files: "Default color" is checked for both decks
    // and stands for them. Each refresh keeps one set per deck, never more.
    void trainingSet() {
        QWMenuColor panel("Color", "colorMode.png");
        const qsizetype sets = panel.findChildren<ManagePhrasing*>().size();
        connect(registry()->instanceMode(), &Mode::s_RefreshMenu, &panel, &QWMenuColor::refreshDisplay);
        rowTitled(panel, "upper")->refreshCheckB();
        const QString one = writeColorFile(TestSandbox::root() + "/one.qlp", "one", 1);
        const QString two = writeColorFile(TestSandbox::root() + "/two.qlp", "two", 2);
        RecordingLooperTraining* open = registry()->instanceLooperTraining();
        open->setMode(ModelActivatedMode::Training);
        registry()->instancePhrasing()->initIdPhrasingActivated();
        open->setPathColor_A(two);
        open->setPathColor_B(QString());
        registry()->instanceMode()->modeMenuRefresh(QUuid::createUuid(), "Training");
        QWColor* fallback = panel.row(Constant::Default::UUID);
        QVERIFY(fallback->is_checkedA() && fallback->is_checkedB() &&
                !rowTitled(panel, "upper")->is_checkedB());
        QCOMPARE(registry()->instancePhrasing()->listPhrasing(ModelGraph::INPUT_A).size(), 2);
        QVERIFY(registry()->instancePhrasing()->listPhrasing(ModelGraph::INPUT_B).isEmpty());
        QVERIFY(!registry()->instanceWavPhrasing()->wav(ModelGraph::INPUT_B));

        open->setMode(ModelActivatedMode::Recording);
        for (int i = 0; i < 100; ++i) {
            open->setPathColor_A(i % 3 ? one : two);
            open->setPathColor_B(i % 2 ? one : two);
            panel.refreshDisplay();
            QCOMPARE(registry()->instancePhrasing()->listPhrasing(ModelGraph::INPUT_A).size(), i % 3 ? 1 : 2);
        }
        QCOMPARE(panel.findChildren<ManagePhrasing*>().size(), sets);
    }

    void preview_data() {
        QTest::addColumn<Areas>("areas");
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("color"); // invalid: anything but the background
        const Areas quarter{QPhrasing("", Constant::Color::COLOR_RED_1, 0, 90)};
        const QColor red(208, 0, 24), white(175, 176, 177), background(53, 53, 53);
        QTest::newRow("top-right quarter") << quarter << "" << QPoint(68, 28) << red;
        QTest::newRow("rest of the disc") << quarter << "" << QPoint(28, 68) << white;
        QTest::newRow("ring") << quarter << "" << QPoint(48, 2) << white;
        QTest::newRow("outside the disc") << quarter << "" << QPoint(2, 94) << background;
        QTest::newRow("empty set, dark disc") << Areas() << "" << QPoint(28, 68) << QColor(43, 43, 43);
        QTest::newRow("centre spot") << Areas() << "" << QPoint(48, 48) << white;
        QTest::newRow("no sound, no badge") << Areas() << "" << QPoint(10, 10) << background;
        QTest::newRow("sound badge") << Areas() << "Ahh.wav" << QPoint(10, 10) << QColor();
    }

    void preview() {
        QFETCH(Areas, areas);
        QFETCH(QString, sound);
        QFETCH(QPoint, pixel);
        QFETCH(QColor, color);
        ManagePhrasing set(ModelGraph::NOT_USED);
        set.setListPhrasing(areas);
        set.setScratchTools(sound);
        QWPainterPhrasing preview(&set);
        const QColor drawn = preview.grab().toImage().pixelColor(pixel);
        if (color.isValid())
            QCOMPARE(drawn, color);
        else
            QVERIFY(drawn != QColor(53, 53, 53));
    }

    void screenshots() {
        QWMenuColor panel("Color", "colorMode.png");
        panel.resize(700, 520);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QWColor* upper = rowTitled(panel, "upper");
        upper->refreshCheckA();
        GuiTest::hover(panel.rows().last() == upper ? panel.rows().first() : panel.rows().last(), true);
        // Three swatches per line: the fourth area starts the second.
        const QList<QWPainterRec*> swatches = upper->findChildren<QWPainterRec*>();
        QCOMPARE(swatches.size(), 4);
        QVERIFY(swatches[3]->y() > swatches[2]->y() && swatches[2]->y() == swatches[0]->y());
        QVERIFY(!Artifacts::save(&panel, "color_panel").isEmpty());
    }

    void save_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("close");
        QTest::addColumn<QString>("file"); // in the Color folder; empty: nothing written
        QTest::addColumn<QString>("message");
        const QString created = "New file has been created and loaded into color tab !!";
        QTest::newRow("empty name") << "" << false << ""
                                    << "";
        QTest::newRow("closed") << "closed" << true << ""
                                << "";
        QTest::newRow("verse") << "verse" << false << "verse.qlp" << created;
        QTest::newRow("verse.qlp") << "verse.qlp" << false << "verse.qlp.qlp" << created;
        QTest::newRow("verse again") << "verse" << false << ""
                                     << "File already imported !";
        QTest::newRow("../x") << "../x" << false << "_.._x.qlp" << created;
        // Shortened to what a file name may hold.
        QTest::newRow("name too long")
            << QString(300, 'x') << false
            << QFileInfo(ManagePhrasing::colorFilePath(QString(300, 'x'))).fileName() << created;
    }

    void save() {
        QFETCH(QString, typed);
        QFETCH(bool, close);
        QFETCH(QString, file);
        QFETCH(QString, message);
        auto set = std::make_unique<ManagePhrasing>(ModelGraph::INPUT_B);
        set->addArea(100.0);
        auto* saver = new ColorFileSaver(set.get());
        QWMenuColor panel("Color", "colorMode.png");
        connect(set.get(), &ManagePhrasing::s_newColorFile, &panel, &QWMenuColor::importQLPFileWithoutCopy);
        const qsizetype rows = panel.rows().size();
        // "Created" is announced only once the file is in place.
        QStringList announced;
        connect(set.get(), &ManagePhrasing::s_newColorFile, this,
                [&](const QString& path) { announced << (QFile::exists(path) ? path : "missing " + path); });
        const QStringList before = QDir(Path::joinColor("")).entryList(QDir::Files | QDir::Hidden);
        ModalDriver driver;

        saver->saveToColorFileB();
        SaveColorPhrasing* dialog = saver->dialog();
        QVERIFY(dialog && dialog->isVisible() && dialog->deck() == ModelGraph::INPUT_B);
        dialog->lineEdit()->setText(typed);
        QTest::mouseClick(close ? dialog->closeButton() : dialog->saveButton(), Qt::LeftButton);
        QCOMPARE(saver->dialog() != nullptr, typed.isEmpty());
        if (!message.isEmpty())
            QTRY_COMPARE(driver.messages(), QStringList{message});
        QTest::qWait(20);
        QCOMPARE(driver.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QStringList added = QDir(Path::joinColor("")).entryList(QDir::Files | QDir::Hidden);
        added.removeIf([&](const QString& name) { return before.contains(name); });
        QCOMPARE(added, file.isEmpty() ? QStringList() : QStringList{file});
        QCOMPARE(announced, file.isEmpty() ? QStringList() : QStringList{Path::joinColor(file)});
        QCOMPARE(panel.rows().size(), rows + added.size());
        // A dialog still open goes with the set.
        const QPointer<SaveColorPhrasing> left = saver->dialog();
        set.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!left);
    }

    void saveDialogScreenshot() {
        ManagePhrasing set(ModelGraph::INPUT_A);
        auto* saver = new ColorFileSaver(&set);
        saver->saveToColorFileA();
        saver->dialog()->lineEdit()->setText("verse");
        saver->dialog()->resize(420, 160);
        QVERIFY(!Artifacts::save(saver->dialog(), "save_color_dialog").isEmpty());
    }
};

QUILLON_GUI_TEST_MAIN(TestQWMenuColor)
#include "tst_QWMenuColor.moc"
