#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QSplashScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include "Artifacts.h"
#include "GuiTest.h"
#include "core/Function.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/QLooper.h"
#include "core/Singleton.h"
#include "gui/QWContextMenu.h"
#include "gui/QWGridTool.h"
#include "gui/QWMenuMode.h"
#include "gui/StartUp.h"
#include "gui/widgets/QBPushMenu.h"

namespace {

QBPushMenu* entryFor(const QWMenuMode& menu, const QString& name) {
    for (QBPushMenu* entry : menu.listPushMenu())
        if (Model::toText(entry->modeLabel()) == name)
            return entry;
    return nullptr;
}

// The link label's text as a reader sees it, then the target of each link, through Qt's own parser.
QStringList shownLink(const QLabel* label) {
    QTextDocument document;
    document.setHtml(label->text());
    QStringList shown{document.toPlainText()};
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                shown << it.fragment().charFormat().anchorHref();
    return shown;
}

void saveShown(QWidget* widget, const QString& name) {
    widget->resize(qMax(widget->sizeHint().width(), 1400), widget->sizeHint().height());
    widget->show();
    QVERIFY(!Artifacts::save(widget, name).isEmpty());
}

} // namespace

// The mode menu's pages and hover, the tool bar's labels, and the application menu. The desktop
// services hand their addresses to this object, so no browser or file manager starts.
class TestMenus : public QObject {
    Q_OBJECT

public slots:
    void openUrl(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase() {
        configureApplicationAppearance(*qApp);
        qApp->setStyleSheet(Function::loadStyleFromFile(Path::joinCss("style.css")));
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(scheme, this, "openUrl");
    }

    void pages_data() {
        // Entry names, "right" before one for a right press; "close" calls disableSubMenu.
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QStringList>("signals");
        QTest::addColumn<QString>("mode");
        QTest::newRow("Looper twice")
            << QStringList{"Looper", "Looper"} << QStringList{"Looper", "Enable", "Disable"} << "Undefined";
        QTest::newRow("Looper then Color") << QStringList{"Looper", "Color"}
                                           << QStringList{"Looper", "Enable", "Color", "Enable"} << "Color";
        QTest::newRow("closed, then Setting")
            << QStringList{"Setting", "close", "Setting"}
            << QStringList{"Device", "Enable", "Disable", "Device", "Enable"} << "Setting";
        QTest::newRow("Recording") << QStringList{"Recording"} << QStringList{"Recording", "Enable"}
                                   << "Recording";
        QTest::newRow("right press") << QStringList{"right Looper"} << QStringList{} << "Undefined";
    }

    void pages() {
        QFETCH(QStringList, presses);
        QWMenuMode menu;
        for (QBPushMenu* entry : menu.listPushMenu()) // as the controller window wires them
            connect(entry, &QBPushMenu::s_Push, &menu, &QWMenuMode::controllerSubMode);
        QStringList emitted;
        const std::pair<void (QWMenuMode::*)(), const char*> names[] = {
            {&QWMenuMode::s_ModeRecording_Enable, "Recording"},
            {&QWMenuMode::s_ModeLooper_Enable, "Looper"},
            {&QWMenuMode::s_ModeTraining_Enable, "Training"},
            {&QWMenuMode::s_ModeColor_Enable, "Color"},
            {&QWMenuMode::s_ModeDevice_Enable, "Device"},
            {&QWMenuMode::s_Mode_Enable, "Enable"},
            {&QWMenuMode::s_Mode_Disable, "Disable"}};
        for (const auto& [signal, name] : names)
            connect(&menu, signal, this, [&emitted, name = QString(name)] { emitted << name; });
        for (const QString& press : presses) {
            if (press == "close")
                menu.disableSubMenu();
            else
                QTest::mouseClick(entryFor(menu, press.section(' ', -1)),
                                  press.startsWith("right") ? Qt::RightButton : Qt::LeftButton);
        }
        QTEST(emitted, "signals");
        QTEST(Model::toText(menu.currentMode()), "mode");
    }

    // Leaving Recording for Looper within the 500 ms keeps Looper grown; leaving the menu shrinks all.
    void hoverMovesBetweenEntries() {
        QWMenuMode menu;
        for (QBPushMenu* entry : menu.listPushMenu())
            connect(entry, &QBPushMenu::s_MenuNoFocus, &menu, &QWMenuMode::controllerMenuNoFocus);
        menu.show();
        QBPushMenu* recording = entryFor(menu, "Recording");
        QBPushMenu* looper = entryFor(menu, "Looper");
        QCOMPARE(looper->size(), QSize(35, 50));
        GuiTest::hover(recording, true);
        GuiTest::hover(recording, false);
        GuiTest::hover(looper, true);
        QTest::qWait(700);
        QCOMPARE(looper->size(), QSize(35, 150));

        GuiTest::hover(looper, false);
        QTRY_COMPARE(looper->size(), QSize(35, 50));
        QCOMPARE(recording->size(), QSize(35, 50));
        GuiTest::hover(looper, true);
        QVERIFY(!Artifacts::save(&menu, "mode-menu-looper-grown").isEmpty());
        // Growing and shrinking keep each entry's name, so the sheet gives it the strip's dark ground.
        for (QBPushMenu* entry : menu.listPushMenu())
            QCOMPARE(entry->objectName(), QString("dark"));
        QCOMPARE(recording->grab().toImage().pixelColor(1, 1), QColor(43, 43, 43));
    }

    void freshToolBar() {
        QWGridTool bar;
        QCOMPARE(bar.titleLabel()->text(), QString("Regular Training"));
        QCOMPARE(bar.linkLabel()->text(), QString("<a href=\"\" style=\"color:#0976b8; \">T4rMo</a>"));
        QCOMPARE(bar.modeLabel()->text(), QString("Looper\n84 bpm"));
        saveShown(&bar, "toolbar-fresh");
    }

    void openSet_data() {
        QTest::addColumn<ModelActivatedMode::EnumActivatedMode>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("link"); // the text shown, then each link's target
        const auto row = [](const char* name, ModelActivatedMode::EnumActivatedMode mode, const char* title,
                            const char* author, const char* url, const QStringList& link) {
            QTest::newRow(name) << mode << QString(title) << QString(author) << QString(url) << link;
        };
        const QString q = "https://example.org/q?a=1&b=2";
        row("training", ModelActivatedMode::Training, "Crab drill", "DJ Q", qPrintable(q), {"DJ Q", q});
        row("empty author", ModelActivatedMode::Recording, "", "", "", {""});
        row("markup in the file", ModelActivatedMode::Looper, "<i>t</i>", "<b>x</b>",
            "http://a.b/\"><script>", {"<b>x</b>", ""});
        row("script link", ModelActivatedMode::Looper, "t", "x", "javascript:alert(1)", {"x", ""});
        row("file link", ModelActivatedMode::Looper, "t", "x", "file:///etc/passwd", {"x", ""});
    }

    void openSet() {
        QFETCH(ModelActivatedMode::EnumActivatedMode, mode);
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, url);
        QWGridTool bar;
        bar.updateRemoteList(
            QLooper("x.qlt", 1, mode, 0, title, author, url, "", 92, "", 0, "", "", "", "", "", ""));
        QCOMPARE(bar.titleLabel()->text(), title);
        QCOMPARE(bar.titleLabel()->textFormat(), Qt::PlainText);
        QCOMPARE(bar.modeLabel()->text(), Model::toText(mode) + "\n92 bpm");
        QTEST(shownLink(bar.linkLabel()), "link");
        if (QTest::currentDataTag() == QLatin1String("training"))
            saveShown(&bar, "toolbar-training-92");
    }

    void applicationMenu() {
        QWContextMenu menu;
        QCOMPARE(menu.objectName(), QString("contextmenu"));
        QStringList lines; // submenu entries as "menu/entry", separators as "-"
        QHash<QString, QAction*> actions;
        for (QAction* action : menu.actions()) {
            if (action->isSeparator())
                lines << "-";
            for (QAction* entry : action->menu() ? action->menu()->actions() : QList<QAction*>()) {
                lines << action->menu()->objectName() + ":" + action->text() + "/" + entry->text();
                actions.insert(entry->text(), entry);
            }
        }
        QCOMPARE(lines,
                 QStringList({"contextmenu:File/Quit", "-", "contextmenu:Open/Scratch Tools in explorer", "-",
                              "contextmenu:Help/About", "contextmenu:Help/Quillon / Vantor WebSite"}));

        QSignalSpy closes(&menu, &QWContextMenu::s_Close);
        actions["Quit"]->trigger();
        QCOMPARE(closes.size(), 1);
        actions["Scratch Tools in explorer"]->trigger();
        actions["Quillon / Vantor WebSite"]->trigger();
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened[0].toLocalFile(), Path::appData() + "/Scratch Tools");
        QVERIFY(m_opened[1].isValid());
        QCOMPARE(m_opened[1].scheme(), QString("https"));
    }

    // Each About is a picture of its own that closes and frees itself after 10 s.
    void aboutClosesItself() {
        QWContextMenu menu;
        QPointer<QSplashScreen> first = menu.actionAbout();
        QPointer<QSplashScreen> second = menu.actionAbout();
        QVERIFY(first && second && first != second);
        QVERIFY(first->isVisible() && !first->pixmap().isNull());
        QVERIFY(first->windowFlags().testFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint));
        QTRY_VERIFY_WITH_TIMEOUT(!first && !second, 20000);
    }

    void cleanupTestCase() {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
    }

private:
    QList<QUrl> m_opened;
};

QUILLON_GUI_TEST_MAIN(TestMenus)
#include "tst_Menus.moc"
