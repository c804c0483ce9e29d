#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/Function.h"
#include "core/Model.h"
#include "core/Path.h"
#include "core/PathFile.h"

// The core vocabulary: enumerations by name, the data folder, the file helpers and the recording file
// names.
class TestPath : public QObject {
    Q_OBJECT

private slots:
    void enumerationTexts() {
        // config.ini stores the timecode by key name; library folders are named by the page's key name.
        QCOMPARE(
            QStringList(
                {Model::toText(ModelTimecode::generic_V2), Model::toText(ModelTimecode::serato_sideA_FullDVS),
                 Model::toText(ModelActivatedMode::Looper), Model::toText(ModelActivatedMode::Training),
                 Model::toText(ModelActivatedMode::Recording), Model::toText(ModelActivatedMode::Color)}),
            QStringList({"generic_V2", "serato_sideA_FullDVS", "Looper", "Training", "Recording", "Color"}));
        bool ok = false;
        QCOMPARE(Model::fromText<ModelTimecode::EnumTimecode>("traktor_sideB", &ok),
                 ModelTimecode::traktor_sideB);
        QVERIFY(ok);
        Model::fromText<ModelTimecode::EnumTimecode>("Generic_V2", &ok);
        QVERIFY(!ok);
        // 5 is unused: Undefined is 6.
        QCOMPARE(Model::toText(static_cast<ModelActivatedMode::EnumActivatedMode>(5)), QString());
        QCOMPARE(int(ModelActivatedMode::Undefined), 6);
    }

    void dataFolderFromBundle_data() {
        QTest::addColumn<QString>("folders");
        // CONTENTS stands for the bundle's Contents, XDG for XDG_DATA_HOME.
        QTest::addColumn<QString>("expected");
        QTest::newRow("not deployed") << QString("Resources") << "CONTENTS/Resources/AppData";
        QTest::newRow("not deployed, no Resources") << QString() << "CONTENTS/AppData";
        QTest::newRow("deployed") << QString("Plugins Resources") << "XDG/Quillon Probe/AppData";
    }

    // The probe prints where the helpers resolve from its own place in a bundle tree.
    void dataFolderFromBundle() {
        QFETCH(QString, folders);
        QTemporaryDir tmp;
        const QString contents = tmp.path() + "/Probe.app/Contents";
        for (const QString& folder : (folders + " MacOS").split(' ', Qt::SkipEmptyParts))
            QVERIFY(QDir().mkpath(contents + "/" + folder));
        QVERIFY(QFile::copy(QStringLiteral(PROBE_DATAFOLDER), contents + "/MacOS/probe"));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", tmp.path() + "/xdg");
        process.setProcessEnvironment(env);
        process.start(contents + "/MacOS/probe", {});
        QVERIFY(process.waitForFinished(10000) && process.exitCode() == 0);

        QFETCH(QString, expected);
        expected.replace("CONTENTS", QFileInfo(contents).canonicalFilePath())
            .replace("XDG", tmp.path() + "/xdg");
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.mid(0, 7),
                 QStringList({folders.contains("Plugins") ? "deployed" : "bundle", expected,
                              expected + "/Color/x.qlp", expected + "/Input", expected + "/Looper",
                              "/elsewhere/y.qlp", expected + "/Scratch Tools"}));
    }

    void copyPathKeepsUsersFiles() {
        QTemporaryDir tmp;
        const QString source = tmp.path() + "/source";
        const QString target = tmp.path() + "/target";
        QVERIFY(!Function::copyPath(source, target));
        QVERIFY(TestFiles::write(source + "/Input/config.ini", "shipped config"));
        QVERIFY(TestFiles::write(source + "/Looper/Set/deep/x.qlt", "shipped x"));
        QVERIFY(QDir().mkpath(source + "/Recording"));
        QVERIFY(TestFiles::write(target + "/Input/config.ini", "user config"));
        // Files the user already has are passed over; the copy is complete all the same.
        QVERIFY(Function::copyPath(source, target));
        QCOMPARE(TestFiles::read(target + "/Input/config.ini"), QByteArray("user config"));
        QCOMPARE(TestFiles::read(target + "/Looper/Set/deep/x.qlt"), QByteArray("shipped x"));
        QVERIFY(QFileInfo(target + "/Recording").isDir());

        // A folder in the target where the source has a file: that file cannot be copied.
        QVERIFY(TestFiles::write(source + "/item", "file"));
        QVERIFY(QDir().mkpath(target + "/item"));
        QVERIFY(!Function::copyPath(source, target));
    }

    void safeFileName_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expected"); // "~????????": a shortened text's mark
        const QString a300(300, 'a');
        const QString japanese =
            QString::fromUtf8("ターンテーブルでスクラッチを練習する").repeated(5).left(78);
        const QString emoji = QString::fromUtf8("\U0001F3A7"); // 4 bytes, two UTF-16 units
        const QString accented = QString::fromUtf8("e\u0301"); // 3 bytes, two code points
        const auto row = [](const char* name, const QString& pattern, const QStringList& texts,
                            const QString& expected) { QTest::newRow(name) << pattern << texts << expected; };
        row("leading dot", "%1", {".dj"}, "_.dj");
        row(".", "%1", {"."}, "_.");
        row("..", "%1", {".."}, "_..");
        row("../x", "%1", {"../x"}, "_.._x");
        row("empty before an extension", "%1.qlp", {""}, "_.qlp");
        row("a placeholder in a text", "%1_%2_84", {"100% %2", "T"}, "100% %2_T_84");
        // 248 bytes in all, 9 of them the mark.
        row("300 ASCII characters", "%1", {a300}, QString(239, 'a') + "~????????");
        row("78 Japanese characters with a prefix and extension", "Recording_%1_20261207-154812,345.qlt",
            {japanese}, "Recording_" + japanese.left(68) + "~????????_20261207-154812,345.qlt");
        row("a cut inside a surrogate pair", "%1", {"a" + emoji.repeated(100)},
            "a" + emoji.repeated(59) + "~????????");
        row("a cut inside an accented letter", "%1", {accented.repeated(100)},
            accented.repeated(79) + "~????????");
        row("the extension kept", "%1.qlp", {QString(300, 'b')}, QString(235, 'b') + "~????????.qlp");
        row("the longer text shortened", "Looper_%1_%2_84.qlz", {"DJ", QString(300, 't')},
            "Looper_DJ_" + QString(222, 't') + "~????????_84.qlz");
        row("two long texts", "%1_%2", {QString(200, 'a'), QString(200, 'b')},
            QString(114, 'a') + "~????????_" + QString(114, 'b') + "~????????");
    }

    // A user's text made a file name: visible, within the file system's limit, still written, and
    // shortened texts that differ past the cut still make different names.
    void safeFileName() {
        QFETCH(QString, pattern);
        QFETCH(QStringList, texts);
        QFETCH(QString, expected);
        const QString name = Function::safeFileName(pattern, texts);
        QStringList pieces = expected.split("~????????");
        for (QString& piece : pieces)
            piece = QRegularExpression::escape(piece);
        const QRegularExpression shape("^" + pieces.join("~[0-9a-f]{8}") + "$");
        QVERIFY2(shape.match(name).hasMatch(), qPrintable(name));
        QVERIFY(name.toUtf8().size() <= 255);
        QCOMPARE(QString::fromUtf8(name.toUtf8()), name);
        QVERIFY(Function::isBareFileName(name));
        QTemporaryDir folder;
        QSaveFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1 && file.commit());
        for (qsizetype i = 0; i < texts.size() && pieces.size() > 1; ++i) {
            QStringList other = texts;
            other[i].append('z');
            QVERIFY(Function::safeFileName(pattern, other) != name);
        }
    }

    void styleSheetWarning() {
        const QString missing = Path::joinCss("missing.css");
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QString("Erreur: Failed to load style file \"%1\"").arg(missing)));
        QCOMPARE(Function::loadStyleFromFile(missing), QString());
    }

    // Index texts sort as texts; a name holding a colon keeps it.
    void midiDeviceTextOrder() {
        QCOMPARE(Function::devicesMidiIn({{"2", "c"}, {"10", "b"}, {"0", "a"}, {"1", "Z2:MIDI 1"}}),
                 QStringList({"0:a", "1:Z2:MIDI 1", "10:b", "2:c"}));
    }

    void recordingFiles() {
        PathFile files;
        // The last four characters go, whatever they are; a shorter name comes back whole.
        for (const auto& [stored, name] :
             {std::pair{"x.wav", "x"}, {"abc", "abc"}, {".wav", ""}, {"t.WAVE", "t."}}) {
            files.setFilenameSound_master(stored);
            QCOMPARE(files.filenameSound_master(), QString(name));
        }
        files.newPathDirectory_recording();
        const QString name = files.pathDirectory_recording();
        QVERIFY2(QRegularExpression(R"(^\d{8}-\d{6},\d{3}$)").match(name).hasMatch(), qPrintable(name));
        // The Recording folder itself may be missing too: every missing parent is made.
        QDir(Path::joinRecording(QString())).removeRecursively();
        QCOMPARE(files.createPathDirectory_recording(), Path::joinRecording(name));
        QVERIFY(QFileInfo(Path::joinRecording(name)).isDir());
    }
};

QUILLON_TEST_MAIN(TestPath)
#include "tst_Path.moc"
