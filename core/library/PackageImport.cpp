#include "PackageImport.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <quazip/JlCompress.h>

#include "LibrarySet.h"
#include "PackageCheck.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/Path.h"

namespace {

constexpr QFileDevice::Permissions FILE_PERMISSIONS =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// The bare names the set is made of: its seven files, the training file and the author picture.
QStringList setNames(const QLooper& looper) {
    QStringList names;
    for (const QString& path : LibrarySet::files(looper))
        names.append(QFileInfo(path).fileName());
    names.append(Constant::Default::AUTHOR_FILE);
    names.removeDuplicates();
    return names;
}

// Takes back what the import moved into `folder`, then the folder it created.
void undo(const QString& folder, const QStringList& moved) {
    for (const QString& name : moved)
        QFile::remove(folder + QLatin1Char('/') + name);
    QDir().rmdir(folder);
}

} // namespace

PackageImport::Result PackageImport::fail(Status status, const QString& reason) {
    Result result;
    result.status = status;
    result.reason = reason;
    qWarning() << "Package not imported:" << reason;
    return result;
}

QString PackageImport::targetFolder(const QString& libraryName, const QLooper& looper) {
    return Path::joinHome(libraryName) + QLatin1Char('/') +
           Function::safeFileName(QStringLiteral("%1_%2_") + QString::number(looper.bpm()),
                                  {looper.author(), looper.title()});
}

PackageImport::Result PackageImport::import(const QString& zipPath, const QString& libraryName,
                                            const QList<QLooper>& existing) {
    const PackageCheck::Verdict verdict = PackageCheck::check(zipPath);
    if (!verdict.ok)
        return fail(Status::NonCompliant, verdict.reason);

    // Hidden and one level below the data folder: no library scan enters it.
    QTemporaryDir temporary(Path::joinHome(QStringLiteral(".import-XXXXXX")));
    if (!temporary.isValid())
        return fail(Status::NonCompliant, QStringLiteral("no temporary folder: ") + temporary.errorString());
    const QStringList extracted = JlCompress::extractFiles(zipPath, verdict.names, temporary.path());
    if (extracted.size() != verdict.names.size())
        return fail(Status::NonCompliant, QStringLiteral("extraction failed"));
    for (const QString& name : verdict.names) {
        const QString path = temporary.filePath(name);
        const QFileInfo info(path);
        if (!info.isFile() || info.isSymLink())
            return fail(Status::NonCompliant, QStringLiteral("not extracted as a file: ") + name);
        // The package's own permission bits are not trusted either.
        QFile::setPermissions(path, FILE_PERMISSIONS);
    }

    const QLooper extractedSet =
        LibrarySet::readTrainingFile(temporary.filePath(verdict.trainingFile), libraryName, true);
    if (extractedSet.isNull())
        return fail(Status::NonCompliant, QStringLiteral("training file refused: ") + verdict.trainingFile);

    Result result;
    result.looper = extractedSet;
    for (const QLooper& looper : existing) {
        if (LibrarySet::sameSet(looper, extractedSet))
            result.duplicates.append(looper);
    }
    const QString target = targetFolder(libraryName, extractedSet);
    if (!result.duplicates.isEmpty() || QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        result.status = Status::AlreadyImported;
        return result;
    }

    if (!QDir().mkpath(Path::joinHome(libraryName)) || !QDir().mkdir(target))
        return fail(Status::WriteFailed, QStringLiteral("folder not created: ") + target);
    // The training file's own name is stored nowhere: it is made safe like a typed name, so that a
    // package's ".x.qlt" cannot hide the set. Another entry ending in ".qlt" was refused, so the new
    // name is no other file's.
    const QString trainingName =
        Function::safeFileName(QStringLiteral("%1") + Constant::Extension::QLT,
                               {verdict.trainingFile.chopped(Constant::Extension::QLT.size())});
    QStringList moved;
    for (const QString& name : setNames(extractedSet)) {
        const QString from = temporary.filePath(name);
        if (!QFileInfo(from).isFile())
            continue;
        const QString to = name == verdict.trainingFile ? trainingName : name;
        if (!QFile::rename(from, target + QLatin1Char('/') + to)) {
            undo(target, moved);
            return fail(Status::WriteFailed, QStringLiteral("file not moved: ") + name);
        }
        moved.append(to);
    }
    const QLooper imported =
        LibrarySet::readTrainingFile(target + QLatin1Char('/') + trainingName, libraryName, true);
    if (imported.isNull()) {
        undo(target, moved);
        return fail(Status::NonCompliant, QStringLiteral("training file refused after the move"));
    }
    result.status = Status::Imported;
    result.looper = imported;
    return result;
}
