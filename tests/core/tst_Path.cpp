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
    void sandboxResolvesToItsOwnBundle();
    void copyPathKeepsUsersFiles();
    void copyPathReportsMissingSource();
    void styleSheetWarning();
    void midiDeviceTextOrder();
};

void TestPath::dataFolderFromBundle_data() {
    QTest::addColumn<bool>("plugins");
    QTest::addColumn<bool>("resources");
    QTest::newRow("not deployed") << false << true;
    QTest::newRow("not deployed, no Resources") << false << false;
    QTest::newRow("deployed") << true << true;
}

void TestPath::dataFolderFromBundle() {
    QFETCH(bool, plugins);
    QFETCH(bool, resources);

    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString contents = tmp.path() + "/Probe.app/Contents";
    QVERIFY(QDir().mkpath(contents + "/MacOS"));
    if (plugins)
        QVERIFY(QDir().mkpath(contents + "/Plugins"));
    if (resources)
        QVERIFY(QDir().mkpath(contents + "/Resources"));
    const QString probe = contents + "/MacOS/probe";
    QVERIFY(QFile::copy(QStringLiteral(PROBE_DATAFOLDER), probe));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", tmp.path() + "/xdg");
    process.setProcessEnvironment(env);
    process.start(probe, {});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    QVERIFY(lines.size() >= 7);

    const QString canonicalContents = QFileInfo(contents).canonicalFilePath();
    QString expected;
    if (plugins)
        expected = tmp.path() + "/xdg/Quillon Probe/AppData";
    else if (resources)
        expected = canonicalContents + "/Resources/AppData";
    else
        expected = canonicalContents + "/AppData";

    QCOMPARE(lines.at(0), plugins ? QString("deployed") : QString("bundle"));
    QCOMPARE(lines.at(1), expected);
    QCOMPARE(lines.at(2), expected + "/Color/x.qlp");
    QCOMPARE(lines.at(3), expected + "/Input");
    QCOMPARE(lines.at(4), expected + "/Looper");
    QCOMPARE(lines.at(5), QString("/elsewhere/y.qlp"));
    QCOMPARE(lines.at(6), expected + "/Scratch Tools");
}

void TestPath::sandboxResolvesToItsOwnBundle() {
    // Every test process must work on its own data folder, never the user's.
    QCOMPARE(Path::appData(), QFileInfo(TestSandbox::dataFolder()).canonicalFilePath());
    QVERIFY(QFileInfo(Path::joinInput(QString())).isDir());
}

void TestPath::copyPathKeepsUsersFiles() {
    QTemporaryDir tmp;
    const QString source = tmp.path() + "/source";
    const QString target = tmp.path() + "/target";
    writeFile(source + "/a.txt", "shipped a");
    writeFile(source + "/Input/config.ini", "shipped config");
    writeFile(source + "/Input/beep1.wav", "shipped beep");
    writeFile(source + "/Looper/Set/deep/x.qlt", "shipped x");
    QVERIFY(QDir().mkpath(source + "/Recording"));
    writeFile(target + "/a.txt", "user a");
    writeFile(target + "/Input/config.ini", "user config");

    // Files the user already has are passed over; the copy is complete all the same.
    QVERIFY(Function::copyPath(source, target));

    QCOMPARE(readFile(target + "/a.txt"), QByteArray("user a"));
    QCOMPARE(readFile(target + "/Input/config.ini"), QByteArray("user config"));
    QCOMPARE(readFile(target + "/Input/beep1.wav"), QByteArray("shipped beep"));
    QCOMPARE(readFile(target + "/Looper/Set/deep/x.qlt"), QByteArray("shipped x"));
    QVERIFY(QFileInfo(target + "/Recording").isDir());
}

void TestPath::copyPathReportsMissingSource() {
    QTemporaryDir tmp;
    QVERIFY(!Function::copyPath(tmp.path() + "/nothing", tmp.path() + "/target"));

    // A folder in the target where the source has a file: that file cannot be copied.
    writeFile(tmp.path() + "/source/item", "file");
    QVERIFY(QDir().mkpath(tmp.path() + "/target/item"));
    QVERIFY(!Function::copyPath(tmp.path() + "/source", tmp.path() + "/target"));
}

void TestPath::styleSheetWarning() {
    const QString missing = Path::joinCss("missing.css");
    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("Erreur: Failed to load style file \"%1\"").arg(missing)));
    QCOMPARE(Function::loadStyleFromFile(missing), QString());

    writeFile(Path::joinCss("style.css"), "QWidget { color: red; }");
    QCOMPARE(Function::loadStyleFromFile(Path::joinCss("style.css")), QString("QWidget { color: red; }"));
}

void TestPath::midiDeviceTextOrder() {
    QMap<QString, QString> sources;
    for (int i = 0; i <= 10; ++i)
        sources.insert(QString::number(i), QStringLiteral("Port %1").arg(i));
    const QStringList texts = Function::devicesMidiIn(sources);
    QCOMPARE(texts.size(), 11);
    QCOMPARE(texts.mid(0, 4), QStringList({"0:Port 0", "1:Port 1", "10:Port 10", "2:Port 2"}));
    QCOMPARE(texts.last(), QString("9:Port 9"));
    QVERIFY(Function::devicesMidiIn(QMap<QString, QString>()).isEmpty());
    // A name holding a colon keeps it: only the index decides the order.
    QCOMPARE(Function::devicesMidiIn({{"0", "Z2:MIDI 1"}}), QStringList({"0:Z2:MIDI 1"}));
}

QUILLON_TEST_MAIN(TestPath)
#include "tst_Path.moc"
