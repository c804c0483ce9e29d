#pragma once

#include <QMenu>
#include <QUrl>

class QSplashScreen;

// The application menu, opened by the option entry of the mode menu: quit, the scratch-sound folder in
// the platform's file browser, the About picture and the maker's web site. GUI thread only.
class QWContextMenu : public QMenu {
    Q_OBJECT

public:
    explicit QWContextMenu(QWidget* parent = nullptr);

    // What the desktop services are given by the folder and web-site entries.
    static QUrl scratchToolsUrl();
    static QUrl webSiteUrl();

public slots:
    void applyStyle();
    // Asks the controller window to end the application.
    void quit();
    void actionOpenScratchTools();
    // Shows the About picture on its own; it closes and frees itself after 10 s. Returns it.
    QSplashScreen* actionAbout();
    void actionOpenWebSite();

signals:
    void s_Close();

private:
    void setupMenu();
};
