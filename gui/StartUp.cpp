#include "StartUp.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include "core/Constant.h"
#include "core/Function.h"
#include "core/Path.h"

namespace {

const QString VERSION = QStringLiteral(QUILLON_VERSION);

// Where a first-start copy is assembled before it is renamed into place.
QString partialFolder(const QString& dataFolder) {
    return dataFolder + QStringLiteral(".partial");
}

} // namespace

void configureApplicationAppearance(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);

    constexpr Constant::Color::Rgba text = Constant::Color::COLOR_WHITE_175;
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(53, 53, 53)));
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(QColor(text.red, text.green, text.blue)));
    app.setPalette(palette);

    app.setApplicationName(QStringLiteral("Quillon / Vantor V%1").arg(VERSION));
}

void configureApplicationIcon(QApplication& app) {
    app.setWindowIcon(QIcon(Path::joinResourceImage(QStringLiteral("LogoQuillon.png"))));
}

void handleMacSpecificDataSetup() {
    if (!Function::isAppDeployed())
        return;
    const QString dataFolder = Path::appData();
    if (QFileInfo::exists(dataFolder))
        return;

    // A sibling left behind by a start that was killed while copying: begin again from nothing.
    const QString partial = partialFolder(dataFolder);
    if (QFileInfo::exists(partial) && !QDir(partial).removeRecursively())
        qWarning() << "Could not remove the unfinished data folder" << partial;
    QDir().mkpath(partial);

    // A copy that misses some files is still put in place: the system runs with what was copied.
    if (!Function::copyPath(Path::appDataIntoAppResources_MacOS(), partial))
        qWarning() << "The shipped data could not all be copied into" << dataFolder;
    if (!QDir().rename(partial, dataFolder))
        qWarning() << "Could not put the data folder in place:" << dataFolder;
}
