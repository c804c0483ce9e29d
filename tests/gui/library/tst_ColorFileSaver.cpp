#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include "Artifacts.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "core/ManagePhrasing.h"
#include "core/Path.h"
#include "gui/library/ColorFileSaver.h"
#include "gui/library/QWMenuColor.h"
#include "gui/library/SaveColorPhrasing.h"
#include "gui/widgets/QBPush.h"

class TestColorFileSaver : public QObject {
    Q_OBJECT

private slots:
    void save_data();
    void save();
    void screenshot();
};

void TestColorFileSaver::save_data() {
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
    QTest::newRow("../x") << "../x" << false << ".._x.qlp" << created;
    QTest::newRow("name too long") << QString(300, 'x') << false << ""
                                   << "File could not be written !";
}

void TestColorFileSaver::save() {
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

void TestColorFileSaver::screenshot() {
    ManagePhrasing set(ModelGraph::INPUT_A);
    auto* saver = new ColorFileSaver(&set);
    saver->saveToColorFileA();
    saver->dialog()->lineEdit()->setText("verse");
    saver->dialog()->resize(420, 160);
    QVERIFY(!Artifacts::save(saver->dialog(), "save_color_dialog").isEmpty());
}

QUILLON_GUI_TEST_MAIN(TestColorFileSaver)
#include "tst_ColorFileSaver.moc"
