#include <QProcess>
#include <QRegularExpression>
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
