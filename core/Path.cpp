#include "Path.h"

#include <QDir>
#include <QStandardPaths>

#include "Constant.h"
#include "Function.h"

QString Path::appPlugins() {
    QDir dir(Function::applicationDirPath());
    return QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("../Plugins"))) + QLatin1Char('/');
}

QString Path::appDataIntoLocalApplicationSupport_MacOS() {
    const QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(location).absoluteFilePath(Constant::Directory::APP_DATA);
}

QString Path::appDataIntoAppResources_MacOS() {
    QDir dir(Function::applicationDirPath());
    dir.cdUp();
    dir.cd(QStringLiteral("Resources")); // stays where it is when there is no such folder
    return dir.absoluteFilePath(Constant::Directory::APP_DATA);
}

QString Path::appData() {
    return Function::appExternalUserDir().absolutePath();
}

QString Path::join(const QString& folder, const QString& name) {
    if (QDir::isAbsolutePath(name))
        return name;
    const QString base = folder.isEmpty() ? appData() : appData() + QLatin1Char('/') + folder;
    return name.isEmpty() ? base : base + QLatin1Char('/') + name;
}

QString Path::joinInput(const QString& name) {
    return join(Constant::Directory::INPUT, name);
}

QString Path::joinRecording(const QString& name) {
    return join(Constant::Directory::RECORDING, name);
}

QString Path::joinLooper(const QString& name) {
    return join(Constant::Directory::LOOPER, name);
}

QString Path::joinColor(const QString& name) {
    return join(Constant::Directory::COLOR, name);
}

QString Path::joinCss(const QString& name) {
    return join(Constant::Directory::CSS, name);
}

QString Path::joinScratchTools(const QString& name) {
    return join(Constant::Directory::SCRATCH_TOOLS, name);
}

QString Path::joinHome(const QString& name) {
    return join(QString(), name);
}

QString Path::scratchTools() {
    return joinScratchTools(QString());
}

QString Path::joinResourceImage(const QString& name) {
    return QStringLiteral(":/Image/gui/image/") + name;
}
