#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QtTest>

#include "GuiTest.h"
#include "TestFiles.h"
#include "core/Function.h"
#include "core/Path.h"
#include "gui/StartUp.h"

namespace {

const QString NAME = QStringLiteral("Quillon / Vantor V2.1.1983");

using TestFiles::tree;

// A Plugins folder beside the executable's folder makes the sandbox's bundle a deployed one.
QString plugins() {
    return Function::applicationDirPath() + "/../Plugins";
}

QString userFolder(const QString& applicationName) {
    return qEnvironmentVariable("XDG_DATA_HOME") + "/" + applicationName + "/AppData";
}

} // namespace

// The application's appearance, the shipped data tree the build lays out, and its first-start copy into the
// per-user folder.
class TestStartUp : public QObject {
    Q_OBJECT

private slots:
    void appearance();
    void init();
    void cleanup();
    void firstAndSecondStart();
    void notDeployed();
    void killedCopyIsRedone();
    void newVersionCopiesAgain();

private:
    QMap<QString, QByteArray> m_shipped;
};

void TestStartUp::appearance() {
    configureApplicationAppearance(*qApp);
    configureApplicationIcon(*qApp);
    QCOMPARE(QApplication::applicationName(), NAME);
    QCOMPARE(QApplication::style()->name().toLower(), QString("fusion"));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(QApplication::palette().color(group, QPalette::Window), QColor(53, 53, 53));
        QCOMPARE(QApplication::palette().color(group, QPalette::WindowText), QColor(175, 176, 177));
    }
    QVERIFY(!QApplication::windowIcon().isNull());
}

void TestStartUp::init() {
    QApplication::setApplicationName(NAME);
    QVERIFY(QDir().mkpath(plugins()));
    m_shipped = tree(Path::appDataIntoAppResources_MacOS());
    QVERIFY(m_shipped.contains("Css/style.css") && m_shipped.contains("Training") &&
            m_shipped.contains("Recording"));
    // What the build lays out is the source's data tree: every file and folder, unchanged, but for the
    // placeholders that keep empty folders in the source tree.
    QMap<QString, QByteArray> source = tree(TestSandbox::sourceDir() + "/resources/AppData");
    source.removeIf([](const auto& entry) { return entry.key().endsWith("/.gitkeep"); });
    QCOMPARE(m_shipped, source);
}

void TestStartUp::cleanup() {
    QDir(qEnvironmentVariable("XDG_DATA_HOME")).removeRecursively();
    QDir(plugins()).removeRecursively();
}

void TestStartUp::firstAndSecondStart() {
    QCOMPARE(Path::appData(), userFolder(NAME));
    handleMacSpecificDataSetup();
    QCOMPARE(tree(Path::appData()), m_shipped);
    QVERIFY(!QFileInfo::exists(Path::appData() + ".partial"));

    // What the user changed or deleted stays so.
    QVERIFY(TestFiles::write(Path::joinCss("style.css"), "edited"));
    QVERIFY(QFile::remove(Path::joinColor("Default color.qlp")));
    const QMap<QString, QByteArray> edited = tree(Path::appData());
    handleMacSpecificDataSetup();
    QCOMPARE(tree(Path::appData()), edited);
}

void TestStartUp::notDeployed() {
    QVERIFY(QDir(plugins()).removeRecursively());
    handleMacSpecificDataSetup();
    QCOMPARE(Path::appData(), Path::appDataIntoAppResources_MacOS());
    QVERIFY(!QFileInfo::exists(userFolder(NAME)));
}

// A start killed while copying leaves only the unfinished sibling; the next start copies afresh.
void TestStartUp::killedCopyIsRedone() {
    const QString partial = userFolder(NAME) + ".partial";
    QVERIFY(TestFiles::write(partial + "/Css/style.css", "cut sh"));
    QVERIFY(TestFiles::write(partial + "/stray.txt", "left over"));
    handleMacSpecificDataSetup();
    QCOMPARE(tree(Path::appData()), m_shipped);
    QVERIFY(!QFileInfo::exists(partial));
}

void TestStartUp::newVersionCopiesAgain() {
    handleMacSpecificDataSetup();
    QVERIFY(TestFiles::write(Path::joinInput("config.ini"), "older version's"));
    const QMap<QString, QByteArray> older = tree(userFolder(NAME));
    QApplication::setApplicationName("Quillon / Vantor V2.1.1984");
    handleMacSpecificDataSetup();
    QCOMPARE(tree(userFolder("Quillon / Vantor V2.1.1984")), m_shipped);
    QCOMPARE(tree(userFolder(NAME)), older);
}

QUILLON_GUI_TEST_MAIN(TestStartUp)
#include "tst_StartUp.moc"
