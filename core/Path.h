#pragma once

#include <QString>

class QPixmap;

// Where the data folder is, and the paths of files inside its subfolders.
// Every join resolves the data folder anew; nothing is cached.
class Path {
public:
    // "Plugins" beside the executable's folder, with a trailing "/"; its presence marks a deployed bundle.
    static QString appPlugins();
    // The per-user application-data location joined with "AppData".
    static QString appDataIntoLocalApplicationSupport_MacOS();
    // The bundle's own data tree: one level above the executable, into "Resources" when it exists, then "AppData".
    static QString appDataIntoAppResources_MacOS();
    // The absolute path of the user data folder.
    static QString appData();

    // An absolute `name` comes back unchanged; an empty one yields the folder itself.
    static QString joinInput(const QString& name);
    static QString joinRecording(const QString& name);
    static QString joinLooper(const QString& name);
    static QString joinColor(const QString& name);
    static QString joinCss(const QString& name);
    static QString joinScratchTools(const QString& name);
    static QString joinHome(const QString& name);
    static QString scratchTools();

    static QString joinResourceImage(const QString& name);
    // The embedded icon of that name; a null pixmap when it is missing. Defined by the interface
    // library (gui/PathResourceIcon.cpp): the core links no Qt Gui.
    static QPixmap joinResourceIcon(const QString& name);

private:
    static QString join(const QString& folder, const QString& name);
};
