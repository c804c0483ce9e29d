#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Function.h"
#include "core/Path.h"

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestPath : public QObject {
    Q_OBJECT

private slots:
    void dataFolderFromBundle_data();
    void dataFolderFromBundle();
    void copyPathKeepsUsersFiles();
    void styleSheetWarning();
    void midiDeviceTextOrder();
};

void TestPath::dataFolderFromBundle_data() {
    QTest::addColumn<QString>("folders");
    QTest::addColumn<QString>("expected"); // CONTENTS stands for the bundle's Contents, XDG for XDG_DATA_HOME
    QTest::newRow("not deployed") << "Resources" << "CONTENTS/Resources/AppData";
    QTest::newRow("not deployed, no Resources") << "" << "CONTENTS/AppData";
    QTest::newRow("deployed") << "Plugins Resources" << "XDG/Quillon Probe/AppData";
}

// The probe prints where the helpers resolve from its own place in a bundle tree.
void TestPath::dataFolderFromBundle() {
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
    expected.replace("CONTENTS", QFileInfo(contents).canonicalFilePath()).replace("XDG", tmp.path() + "/xdg");
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    QCOMPARE(lines.mid(0, 7), QStringList({folders.contains("Plugins") ? "deployed" : "bundle", expected,
                                           expected + "/Color/x.qlp", expected + "/Input", expected + "/Looper",
                                           "/elsewhere/y.qlp", expected + "/Scratch Tools"}));
}

void TestPath::copyPathKeepsUsersFiles() {
    QTemporaryDir tmp;
    const QString source = tmp.path() + "/source";
    const QString target = tmp.path() + "/target";
    QVERIFY(!Function::copyPath(source, target));
    writeFile(source + "/Input/config.ini", "shipped config");
    writeFile(source + "/Looper/Set/deep/x.qlt", "shipped x");
    QVERIFY(QDir().mkpath(source + "/Recording"));
    writeFile(target + "/Input/config.ini", "user config");
    // Files the user already has are passed over; the copy is complete all the same.
    QVERIFY(Function::copyPath(source, target));
    QCOMPARE(readFile(target + "/Input/config.ini"), QByteArray("user config"));
    QCOMPARE(readFile(target + "/Looper/Set/deep/x.qlt"), QByteArray("shipped x"));
    QVERIFY(QFileInfo(target + "/Recording").isDir());

    // A folder in the target where the source has a file: that file cannot be copied.
    writeFile(source + "/item", "file");
    QVERIFY(QDir().mkpath(target + "/item"));
    QVERIFY(!Function::copyPath(source, target));
}

void TestPath::styleSheetWarning() {
    // Every test process works on its own data folder, never the user's.
    QCOMPARE(Path::appData(), QFileInfo(TestSandbox::dataFolder()).canonicalFilePath());
    const QString missing = Path::joinCss("missing.css");
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QString("Erreur: Failed to load style file \"%1\"").arg(missing)));
    QCOMPARE(Function::loadStyleFromFile(missing), QString());
    writeFile(Path::joinCss("style.css"), "QWidget { color: red; }");
    QCOMPARE(Function::loadStyleFromFile(Path::joinCss("style.css")), QString("QWidget { color: red; }"));
}

// Index texts sort as texts; a name holding a colon keeps it.
void TestPath::midiDeviceTextOrder() {
    QCOMPARE(Function::devicesMidiIn({{"2", "c"}, {"10", "b"}, {"0", "a"}, {"1", "Z2:MIDI 1"}}),
             QStringList({"0:a", "1:Z2:MIDI 1", "10:b", "2:c"}));
}

QUILLON_TEST_MAIN(TestPath)
#include "tst_Path.moc"
