#include "QWContextMenu.h"

#include <QDesktopServices>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

#include "core/Function.h"
#include "core/Path.h"

namespace {

const QString OBJECT_NAME = QStringLiteral("contextmenu");
const QString WEB_SITE = QStringLiteral("https://www.quillon-vantor.com/");
constexpr int ABOUT_SHOWN_MS = 10000;

} // namespace

QWContextMenu::QWContextMenu(QWidget* parent) : QMenu(parent) {
    setObjectName(OBJECT_NAME);
    applyStyle();
    setupMenu();
}

QUrl QWContextMenu::scratchToolsUrl() {
    return QUrl::fromLocalFile(Path::scratchTools());
}

QUrl QWContextMenu::webSiteUrl() {
    return QUrl(WEB_SITE);
}

void QWContextMenu::applyStyle() {
    setStyleSheet(Function::loadStyleFromFile(Path::joinCss(QStringLiteral("style.css"))));
}

void QWContextMenu::setupMenu() {
    QMenu* file = addMenu(tr("File"));
    file->setObjectName(OBJECT_NAME);
    connect(file->addAction(tr("Quit")), &QAction::triggered, this, &QWContextMenu::quit);
    addSeparator();

    QMenu* open = addMenu(tr("Open"));
    open->setObjectName(OBJECT_NAME);
    connect(open->addAction(tr("Scratch Tools in explorer")), &QAction::triggered, this,
            &QWContextMenu::actionOpenScratchTools);
    addSeparator();

    QMenu* help = addMenu(tr("Help"));
    help->setObjectName(OBJECT_NAME);
    connect(help->addAction(tr("About")), &QAction::triggered, this, &QWContextMenu::actionAbout);
    connect(help->addAction(tr("Quillon / Vantor WebSite")), &QAction::triggered, this,
            &QWContextMenu::actionOpenWebSite);
}

void QWContextMenu::quit() {
    emit s_Close();
}

void QWContextMenu::actionOpenScratchTools() {
    QDesktopServices::openUrl(scratchToolsUrl());
}

QSplashScreen* QWContextMenu::actionAbout() {
    // No parent: the picture outlives the menu's popup and frees itself when it closes.
    auto* splash = new QSplashScreen(QPixmap(Path::joinResourceImage(QStringLiteral("About.png"))),
                                     Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    QTimer::singleShot(ABOUT_SHOWN_MS, Qt::CoarseTimer, splash, &QSplashScreen::close);
    return splash;
}

void QWContextMenu::actionOpenWebSite() {
    QDesktopServices::openUrl(webSiteUrl());
}
