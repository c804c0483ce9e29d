#include "PackageExport.h"

#include <QDebug>
#include <QFileInfo>
#include <QSaveFile>

#include <quazip/JlCompress.h>
#include <quazip/quazip.h>

#include "LibrarySet.h"
#include "core/Constant.h"
#include "core/FileIO.h"
#include "core/Function.h"
#include "core/QLooper.h"

QString PackageExport::packagePath(const QString& folder, const QString& tabName, const QLooper& looper) {
    const QString pattern =
        tabName + QStringLiteral("_%1_%2_") + QString::number(looper.bpm()) + Constant::Extension::QLZ;
    return folder + QLatin1Char('/') + Function::safeFileName(pattern, {looper.author(), looper.title()});
}

bool PackageExport::write(const QString& packagePath, const QLooper& looper) {
    QSaveFile file(packagePath);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QuaZip zip(&file);
        // The file is committed or discarded here, not closed by the zip library.
        zip.setAutoClose(false);
        // Names outside ASCII read back the same on every system.
        zip.setUtf8Enabled(true);
        written = zip.open(QuaZip::mdCreate);
        for (const QString& path : LibrarySet::packageMembers(looper)) {
            if (!written)
                break;
            written = JlCompress::compressFile(&zip, path, QFileInfo(path).fileName());
        }
        zip.close();
        written = written && zip.getZipError() == ZIP_OK;
    }
    if (!written || !FileIO::commit(file)) {
        qWarning() << "Failed to compress files to:" << packagePath << file.errorString();
        return false;
    }
    return true;
}
