#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include "Artifacts.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "TestFiles.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/Header.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/library/PackageCheck.h"
#include "gui/library/QWLooper.h"
#include "gui/library/QWMenuLooper.h"

namespace {

const QString TITLE = QString::fromUtf8("100% %2 é");

QByteArray header(ModelActivatedMode::EnumActivatedMode mode, const QString& title, int bpm, int offset,
                  const QString& looper) {
    return TestFiles::trainingFile({mode, title, "T4rMo", "https://x.org", bpm, looper, offset});
}

// Every file and folder under the data folder, with its bytes.
QMap<QString, QByteArray> tree() {
    return TestFiles::tree(Path::appData());
}

struct Entry {
    QString name;
    QByteArray data;
    quint32 unixMode = 0100644;
    // A size declared without the bytes behind it; -1 for the data's own.
    qint64 declared = -1;
};

void writeZip(const QString& path, const QList<Entry>& entries) {
    QuaZip zip(path);
    QVERIFY(zip.open(QuaZip::mdCreate));
    for (const Entry& entry : entries) {
        QuaZipNewInfo info(entry.name);
        info.externalAttr = entry.unixMode << 16;
        QuaZipFile file(&zip);
        if (entry.declared < 0) {
            QVERIFY(file.open(QIODevice::WriteOnly, info));
        } else {
            info.uncompressedSize = quint64(entry.declared);
            QVERIFY(file.open(QIODevice::WriteOnly, info, nullptr, 0, 0, 0, true));
        }
        file.write(entry.data);
        file.close();
    }
    zip.close();
    QCOMPARE(zip.getZipError(), 0);
}

// A Looper set as a package's entries: its header and its sound.
QList<Entry> looperSet(ModelActivatedMode::EnumActivatedMode mode = ModelActivatedMode::Looper) {
    return {{"loop.wav", QByteArray(4000, 'w')}, {"A_T_84.qlt", header(mode, "T", 84, 0, "loop.wav")}};
}

// The entries with small extra files up to `count` entries.
QList<Entry> padded(QList<Entry> entries, int count) {
    for (int i = int(entries.size()); i < count; ++i)
        entries.append({QStringLiteral("extra%1.txt").arg(i), "x"});
    return entries;
}

} // namespace

Q_DECLARE_METATYPE(Entry)

// The library panels and their rows: the folder scan, package import and export, play, step, delete.
class TestQWMenuLooper : public QObject {
    Q_OBJECT

private slots:
    void scan_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("listed");
        const auto row = [](const char* name, const char* where, const char* kind, bool listed) {
            QTest::newRow(name) << QString(where) << QString(kind) << listed;
        };
        row("sub-folder", "Training/DJ/a.qlt", "good", true);
        row("library root", "Training/a.qlt", "good", true);
        row("data root", "a.qlt", "good", true);
        row("two levels down", "Training/DJ/deeper/a.qlt", "good", false);
        row("title byte flipped", "Training/DJ/a.qlt", "flipped", false);
        row("wrong mode", "Training/DJ/a.qlt", "looper", false);
        row("upper-case extension", "Training/DJ/a.QLT", "good", false);
        row("absolute name", "Training/DJ/a.qlt", "absolute", false);
        row("bpm 0", "Training/DJ/a.qlt", "bpm0", false);
        // Where an earlier version saved a set by ".dj"; listed once nothing of it is missing.
        row("hidden folder, complete set", "Training/.dj/.dj_a.qlt", "complete", true);
        row("hidden folder, its sound missing", "Training/.dj/.dj_a.qlt", "good", false);
    }

    // Which training files a panel lists; the digest is computed here independently of the writer.
    void scan() {
        QFETCH(QString, where);
        QFETCH(QString, kind);
        const auto training = ModelActivatedMode::Training;
        QByteArray bytes = kind == "looper" ? header(ModelActivatedMode::Looper, TITLE, 88, 48000, "s.wav")
                           : kind == "absolute" ? header(training, TITLE, 88, 48000, "/tmp/s.wav")
                           : kind == "bpm0"     ? header(training, TITLE, 0, 48000, "s.wav")
                                                : header(training, TITLE, 88, 48000, "s.wav");
        if (kind == "flipped")
            bytes[16] = bytes[16] ^ 1; // a base64 letter of the title
        const QString path = Path::joinHome(where);
        QVERIFY(TestFiles::write(path, bytes));
        const QString sound = QFileInfo(path).dir().filePath("s.wav");
        if (kind == "complete")
            QVERIFY(TestFiles::write(sound, "s"));
        const QWMenuLooper panel("Training", "menu_training.png");
        QFile::remove(path);
        QFile::remove(sound);
        QTEST(panel.loopers().size() == 1, "listed");
        // The sound is found beside the training file, wherever that lies.
        if (panel.loopers().size() == 1)
            QCOMPARE(QFileInfo(panel.loopers().first().path_sound_looper()).dir(), QFileInfo(path).dir());
    }

    void importRefused_data() {
        QTest::addColumn<QList<Entry>>("entries");
        QTest::addColumn<QString>("reason"); // what the entry check says; empty when the check passes
        const QList<Entry> set = looperSet();
        QList<Entry> tampered = set;
        tampered[1].data[16] = tampered[1].data[16] ^ 1; // a base64 letter of the title
        QTest::newRow("wrong mode") << looperSet(ModelActivatedMode::Training) << "";
        QTest::newRow("tampered digest") << tampered << "";
        QTest::newRow("../x") << (QList<Entry>(set) << Entry{"../x", "x"}) << "folder";
        QTest::newRow("/abs") << (QList<Entry>(set) << Entry{"/abs", "x"}) << "folder";
        QTest::newRow("sub/x") << (QList<Entry>(set) << Entry{"sub/x", "x"}) << "folder";
        QTest::newRow("17 entries") << padded(set, 17) << "more than 16";
        QTest::newRow("16 entries, wrong mode") << padded(looperSet(ModelActivatedMode::Training), 16) << "";
        QTest::newRow("symbolic link") << (QList<Entry>(set) << Entry{"link", "/etc", 0120777}) << "link";
        QTest::newRow("duplicate name") << (QList<Entry>(set) << Entry{"LOOP.wav", "x"}) << "repeated";
        QTest::newRow("two training files")
            << (QList<Entry>(set) << Entry{"b.qlt", set[1].data}) << "more than one";
        QTest::newRow("oversize entry")
            << (QList<Entry>(set) << Entry{"big.wav", "x", 0100644, qint64(3) << 30}) << "too large";
        QTest::newRow("oversize training file")
            << QList<Entry>{{"a.qlt", QByteArray((1 << 20) + 1, 0)}} << "too large";
        QTest::newRow("no training file") << QList<Entry>{set[0]} << "no training";
    }

    void importRefused() {
        QFETCH(QList<Entry>, entries);
        QFETCH(QString, reason);
        const QString package = TestSandbox::root() + "/refused.qlz";
        writeZip(package, entries);
        const PackageCheck::Verdict verdict = PackageCheck::check(package);
        QCOMPARE(verdict.ok, reason.isEmpty());
        QVERIFY2(verdict.reason.contains(reason), qPrintable(verdict.reason));

        QWMenuLooper panel("Looper", "musical-disc-and-dj-hand.png");
        const auto before = tree();
        ModalDriver driver;
        panel.importPackage(package);
        QCOMPARE(driver.messages(), QStringList{"Non-compliant file !"});
        QCOMPARE(tree(), before);
    }

    void importTwiceThenDeleteAndAgain() {
        const QString package = TestSandbox::root() + "/set.qlz";
        writeZip(package, looperSet());
        QVERIFY(PackageCheck::check(package, 4000).reason.contains("free space"));
        QWMenuLooper panel("Looper", "musical-disc-and-dj-hand.png");
        const int rows = panel.rows().size();
        // A folder of the set's name, not a set of the panel: refused with the same box, left as it was.
        const QString folder = Path::joinLooper("T4rMo_T_84");
        QVERIFY(TestFiles::write(folder + "/mine.txt", "mine"));
        const auto mine = tree();
        ModalDriver driver;
        panel.importPackage(package);
        QCOMPARE(driver.messages(), QStringList{"File already imported !\n  T\n  T4rMo\n  84"});
        QCOMPARE(tree(), mine);
        QVERIFY(QDir(folder).removeRecursively());
        driver.clear();
        driver.queuePaths({package});
        panel.addQLZToWidgetAndLooper();
        QVERIFY(driver.messages().isEmpty());
        QCOMPARE(panel.rows().size(), rows + 1);
        QCOMPARE(TestFiles::read(folder + "/loop.wav"), QByteArray(4000, 'w'));

        const auto before = tree();
        panel.importPackage(package);
        QCOMPARE(driver.messages(), QStringList{"File already imported !\n  T\n  T4rMo\n  84"});
        QCOMPARE(tree(), before);

        driver.clear();
        QWLooper* row = panel.rows().last();
        driver.setAnswer(QMessageBox::Yes);
        QSignalSpy deleted(row, &QWLooper::s_deleteLooper);
        row->deleteLooperFile();
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(panel.rows().size(), rows);
        QVERIFY(!QFileInfo::exists(folder));
        panel.importPackage(package);
        QCOMPARE(driver.messages(), QStringList{"Delete files Permanently?\n  T\n  T4rMo\n  84 bpm"});
        QCOMPARE(panel.rows().size(), rows + 1);
        QVERIFY(QDir(folder).removeRecursively());
    }

    void shareImportsElsewhere_data() {
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("training"); // the training file's name in the set and the package
        QTest::addColumn<QString>("target");   // the folder the import makes, under Training
        QTest::addColumn<QString>("imported"); // the training file's name there
        QTest::newRow("UTF-8") << QString::fromUtf8("Zoë ß") << "set.qlt"
                               << QString::fromUtf8("Zoë ß_Cuts_92") << "set.qlt";
        // Shared from the hidden folder an earlier version saved it in, under a hidden name; imported
        // where the scan sees it.
        QTest::newRow("author .dj") << ".dj"
                                    << ".dj_Cuts_92.qlt"
                                    << "_.dj_Cuts_92"
                                    << "_.dj_Cuts_92.qlt";
    }

    // A package written by share holds the set under bare UTF-8 names and imports where the set is gone.
    void shareImportsElsewhere() {
        QFETCH(QString, author);
        const QString folder = Path::joinHome("Training/" + author);
        const QByteArray sound(3000, 's');
        QVERIFY(TestFiles::write(folder + "/beat.wav", sound));
        for (const char* name : {"author.png", "take.qlw", "base.qlw", "other.wav", "deck.qlp", "alt.qlp"})
            QVERIFY(TestFiles::write(folder + "/" + name, name));
        // Members follow the set's order, not the names': curve 1, curve 2, sound A, sound B, colour A and
        // B, the looper sound (here sound A again), the training file, the picture.
        const QLooper stored("", 1, ModelActivatedMode::Training, 0, "Cuts", author, "https://x.org", "", 92,
                             "beat.wav", 0, "beat.wav", "other.wav", "take.qlw", "base.qlw", "deck.qlp",
                             "alt.qlp");
        QFETCH(QString, training);
        QVERIFY(Header::exportHeaderToQLTFile(folder + "/" + training, &stored));
        QWMenuLooper panel("Training", "menu_training.png");
        QCOMPARE(panel.rows().size(), 1);
        const QString out = TestSandbox::root() + "/shared";
        QVERIFY(QDir().mkpath(out));
        ModalDriver driver;
        driver.queuePaths({out});
        panel.rows().first()->shareLooperFile();
        const QString package = out + "/Training_" + author + "_Cuts_92.qlz";
        QuaZip zip(package);
        QVERIFY(zip.open(QuaZip::mdUnzip));
        QCOMPARE(zip.getFileNameList(), (QStringList{"take.qlw", "base.qlw", "beat.wav", "other.wav",
                                                     "deck.qlp", "alt.qlp", training, "author.png"}));
        zip.close();
        const QByteArray header = TestFiles::read(folder + "/" + training);
        QVERIFY(!panel.rows().first()->shareTo(out + "/missing"));
        QCOMPARE(driver.messages(), QStringList{"Failed to compress files to:\n  " + out +
                                                "/missing/Training_" + author + "_Cuts_92.qlz"});
        driver.clear();

        QVERIFY(QDir(folder).removeRecursively());
        QWMenuLooper other("Training", "menu_training.png");
        other.importPackage(package);
        QVERIFY(driver.messages().isEmpty());
        QCOMPARE(other.rows().size(), 1);
        QFETCH(QString, target);
        target = Path::joinHome("Training/" + target);
        QCOMPARE(TestFiles::read(target + "/beat.wav"), sound);
        QFETCH(QString, imported);
        QCOMPARE(TestFiles::read(target + "/" + imported), header);
        QCOMPARE(other.loopers().first().path_picture(), target + "/author.png");
        const QWMenuLooper atNextStart("Training", "menu_training.png");
        QCOMPARE(atNextStart.loopers().size(), 1);
        QCOMPARE(atNextStart.loopers().first().filename(), target + "/" + imported);
        QVERIFY(QDir(target).removeRecursively());
    }

    // The built-in set lies in its author's folder, not in the folder an import would make for it: its
    // package is still the same set.
    void builtInSetImportedBack() {
        // A wrongly accepted import would otherwise stay for the tests after this one.
        const auto cleanup =
            qScopeGuard([] { QDir(Path::joinLooper("T4rMo_Regular Training_84")).removeRecursively(); });
        QWMenuLooper panel("Looper", "musical-disc-and-dj-hand.png");
        const int rows = panel.rows().size();
        const QString out = TestSandbox::root() + "/built-in";
        QVERIFY(QDir().mkpath(out));
        QWLooper* builtIn = panel.rows().first();
        QCOMPARE(builtIn->id(), Constant::Default::UUID);
        QVERIFY(builtIn->shareTo(out));
        const auto before = tree();
        ModalDriver driver;
        panel.importPackage(out + "/Looper_T4rMo_Regular Training_84.qlz");
        QCOMPARE(driver.messages(),
                 QStringList{"File already imported !\n  Regular Training\n  T4rMo\n  84"});
        QCOMPARE(panel.rows().size(), rows);
        QCOMPARE(tree(), before);
    }

    // Play, previous and next on rows of one panel, with the 100 ms start and the training lock.
    void playStepsWithLock() {
        Mode* mode = Singleton::instance()->instanceMode();
        QWMenuLooper panel("Recording", "record.png");
        const auto row = [&](int index) { return panel.rows().value(index); };
        for (int bpm : {90, 91, 92})
            panel.addWidgetAndLooper(QLooper("", 1, ModelActivatedMode::Recording, 0, "R", "U", "", "", bpm,
                                             "", 0, "", "", "", "", "", ""));
        connect(mode, &Mode::s_RefreshMenu, &panel, &QWMenuLooper::manageIconPlayPause);
        QStringList events;
        QElapsedTimer clock;
        qint64 stopAt = -1;
        qint64 runAt = -1;
        connect(mode, &Mode::s_StopApp, &panel, [&] {
            events << "stop";
            stopAt = clock.elapsed();
        });
        connect(mode, &Mode::s_RunApp, &panel, [&] {
            events << "run";
            runAt = clock.elapsed();
        });
        const auto started = [&](int index) {
            return QTest::qWaitFor([&] { return row(index)->is_playing(); }) && mode->modeTraining();
        };

        clock.start();
        row(0)->refreshPlayStop();
        QVERIFY(started(0));
        mode->modeTrainingLock_off(); // the run control's release
        events.clear();
        row(1)->refreshPlayStop();
        row(2)->refreshPlayStop(); // locked: ignored
        panel.next();              // locked: ignored
        QVERIFY(started(1));
        QCOMPARE(events, (QStringList{"stop", "run"}));
        // The timer may fire a few ms early; the gap is the deliberate 100 ms.
        QVERIFY2(runAt - stopAt >= 90, qPrintable(QString::number(runAt - stopAt)));
        QVERIFY(!row(0)->is_playing() && !row(2)->is_playing());

        mode->modeTrainingLock_off();
        panel.next();
        QVERIFY(started(2));
        mode->modeTrainingLock_off();
        panel.next(); // wraps
        QVERIFY(started(0));
        mode->modeTrainingLock_off();
        panel.previous(); // wraps back
        QVERIFY(started(2));
        mode->modeTrainingLock_off();
        events.clear();
        panel.play(); // the playing row: stops
        QCOMPARE(events, QStringList{"stop"});
        QVERIFY(!mode->modeTraining() && !row(2)->is_playing());
        QCOMPARE(Singleton::instance()->instanceLooperTraining()->idActivated(), row(2)->id());
        Singleton::instance()->instanceLooperTraining()->setNameActivated(Constant::Default::TAB);
    }

    void deleteKeepsOthers_data() {
        QTest::addColumn<QString>("folder");   // of the deleted set, under the data folder
        QTest::addColumn<QString>("sound");    // the looper sound it names
        QTest::addColumn<QStringList>("kept"); // files that stay, under the data folder
        QTest::addColumn<bool>("folderRemoved");
        const auto row = [](const char* name, const char* folder, const QString& sound,
                            const QStringList& kept, bool removed) {
            QTest::newRow(name) << QString(folder) << sound << kept << removed;
        };
        row("own folder", "Looper/DJ", "own.wav", {}, true);
        row("sound another set names", "Looper/DJ", "shared.wav", {"Looper/DJ/shared.wav"}, false);
        row("library root", "Looper", "own.wav", {"Looper"}, false);
        row("outside the folder", "Looper/DJ", Path::joinInput("beep1.wav"), {"Input/beep1.wav"}, false);
    }

    void deleteKeepsOthers() {
        QFETCH(QString, folder);
        QFETCH(QString, sound);
        QFETCH(QStringList, kept);
        const QString dir = Path::joinHome(folder);
        QVERIFY(TestFiles::write(dir + "/own.wav", "own"));
        QVERIFY(TestFiles::write(dir + "/author.png", "png"));
        if (sound == "shared.wav") {
            QVERIFY(TestFiles::write(dir + "/shared.wav", "shared"));
            const QLooper other("", 1, ModelActivatedMode::Looper, 0, "O", "DJ", "", "", 90, "shared.wav", 0,
                                "", "", "", "", "", "");
            QVERIFY(Header::exportHeaderToQLTFile(dir + "/other.qlt", &other));
        }
        const QLooper set(dir + "/set.qlt", 1, ModelActivatedMode::Looper, 0, "S", "DJ", "", "", 90,
                          QDir(dir).filePath(sound), 0, "", "", "", "", "", "");
        QVERIFY(TestFiles::write(set.filename(), "header"));
        QWLooper row(QUuid::createUuid(), "Looper", set);
        ModalDriver driver;
        driver.setAnswer(QMessageBox::Yes);
        row.deleteLooperFile();
        QVERIFY(!QFileInfo::exists(set.filename()));
        for (const QString& path : kept)
            QVERIFY2(QFileInfo::exists(Path::joinHome(path)), qPrintable(path));
        QTEST(!QFileInfo::exists(dir), "folderRemoved");
        if (folder == "Looper")
            QFile::remove(dir + "/author.png");
        else
            QDir(dir).removeRecursively();
    }

    void screenshots() {
        qApp->setStyleSheet(Function::loadStyleFromFile(Path::joinCss("style.css")));
        QWMenuLooper panel("Looper", "musical-disc-and-dj-hand.png");
        panel.addWidgetAndLooper(QLooper("", 1, ModelActivatedMode::Looper, 0, "<b>Cuts</b>", "DJ <K>",
                                         "javascript:alert(1)", "", 90, "", 0, "", "", "", "", "", ""));
        panel.addWidgetAndLooper(QLooper("", 1, ModelActivatedMode::Looper, 0, "Flares", "Q", "https://q.org",
                                         "", 100, "", 0, "", "", "", "", "", ""));
        panel.resize(700, 420);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.rows().first()->id(), Constant::Default::UUID);
        Artifacts::save(&panel, "library-panel");
        const auto row = [&](int index) { return panel.rows().value(index); };
        for (int i : {0, 1, 2})
            GuiTest::hover(row(i), true);
        row(2)->play();
        const auto visibleButtons = [&](int index) {
            int visible = 0;
            for (const QPushButton* button : row(index)->findChildren<QPushButton*>())
                visible += button->isVisible() ? 1 : 0;
            return visible;
        };
        QCOMPARE(visibleButtons(0), 2); // the default set: play and share, never delete
        QCOMPARE(visibleButtons(1), 3); // hovered: play, delete, share
        QCOMPARE(visibleButtons(2), 1); // playing: pause only
        GuiTest::hover(row(0), false);
        QCOMPARE(visibleButtons(0), 0);
        Artifacts::save(&panel, "library-panel-hovered-playing");
        // Texts from files stay text: the markup of the first row shows as typed, its link is not clickable.
        QCOMPARE(QWLooper::linkText("javascript:alert(1)", "DJ <K>"), QString("DJ &lt;K&gt;"));
        QVERIFY(QWLooper::linkText("https://q.org/a\"b", "Q").startsWith("<a href=\"https://q.org/a%22b\""));
    }
};

QUILLON_GUI_TEST_MAIN(TestQWMenuLooper)
#include "tst_QWMenuLooper.moc"
