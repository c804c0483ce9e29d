#include "LibrarySet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include "core/Constant.h"
#include "core/Header.h"
#include "core/Path.h"
#include "core/RecordingLooperTraining.h"

namespace {

QString resolved(const QDir& folder, const QString& name) {
    return name.isEmpty() ? QString() : folder.filePath(name);
}

QStringList storedNames(const RecordingLooperTraining& header) {
    return {header.pathSound_Looper(), header.pathSound_A(), header.pathSound_B(), header.pathCurve_1(),
            header.pathCurve_2(),      header.pathColor_A(), header.pathColor_B()};
}

QStringList names(const QLooper& looper) {
    return {looper.path_sound_looper(), looper.path_sound_a(), looper.path_sound_b(), looper.path_curve_1(),
            looper.path_curve_2(),      looper.path_color_a(), looper.path_color_b()};
}

} // namespace

QLooper LibrarySet::readTrainingFile(const QString& path, const QString& libraryName, bool checkDigest) {
    const QFileInfo info(path);
    if (!info.isFile() || !path.endsWith(Constant::Extension::QLT))
        return QLooper();
    const std::unique_ptr<RecordingLooperTraining> header = Header::importHeaderFromQLTFile(path);
    if (!header || Model::toText(header->mode()) != libraryName)
        return QLooper();
    if (!(header->bpm() >= MIN_BPM && header->bpm() <= MAX_BPM) || !(header->offset() >= 0))
        return QLooper();
    if (checkDigest && !Header::checkHash(header.get()))
        return QLooper();
    const QDir folder = info.dir();
    const QString picture = folder.filePath(Constant::Default::AUTHOR_FILE);
    return QLooper(header->filename(), header->version(), header->mode(), header->app(), header->title(),
                   header->author(), header->url(), QFileInfo::exists(picture) ? picture : QString(),
                   int(header->bpm()), resolved(folder, header->pathSound_Looper()), int(header->offset()),
                   resolved(folder, header->pathSound_A()), resolved(folder, header->pathSound_B()),
                   resolved(folder, header->pathCurve_1()), resolved(folder, header->pathCurve_2()),
                   resolved(folder, header->pathColor_A()), resolved(folder, header->pathColor_B()));
}

QList<QLooper> LibrarySet::scan(const QString& libraryName) {
    QList<QLooper> found;
    const QString folder = Path::joinHome(libraryName);
    // The default filter keeps "." and "..", so files lying directly in the library folder and in
    // the data folder are read too (imports in progress live in the data folder's hidden folders,
    // which are not entered). Earlier versions saved a set whose author began with "." in a hidden
    // folder of the library: such a set is listed when none of its files is missing.
    for (const QString& entry : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden, QDir::Unsorted)) {
        const QString sub = folder + QLatin1Char('/') + entry;
        if (!QFileInfo(sub).isDir())
            continue;
        const bool hidden =
            entry.startsWith(QLatin1Char('.')) && entry != QLatin1String(".") && entry != QLatin1String("..");
        // There, the training file's name began with the same dot.
        const QDir::Filters filter = hidden ? QDir::Files | QDir::Hidden : QDir::Files;
        for (const QString& file : QDir(sub).entryList(filter, QDir::Unsorted)) {
            const QLooper looper = readTrainingFile(sub + QLatin1Char('/') + file, libraryName, true);
            if (!looper.isNull() && (!hidden || isComplete(looper)))
                found.append(looper);
        }
    }
    return found;
}

bool LibrarySet::isComplete(const QLooper& looper) {
    for (const QString& path : files(looper)) {
        if (!QFileInfo(path).isFile())
            return false;
    }
    return true;
}

bool LibrarySet::sameSet(const QLooper& a, const QLooper& b) {
    if (a.title() != b.title() || a.author() != b.author() || a.bpm() != b.bpm() || a.url() != b.url())
        return false;
    const QStringList left = names(a);
    const QStringList right = names(b);
    for (qsizetype i = 0; i < left.size(); ++i) {
        if (QFileInfo(left[i]).baseName() != QFileInfo(right[i]).baseName())
            return false;
    }
    return true;
}

bool LibrarySet::isDefaultSet(const QLooper& looper) {
    return looper.title() == Constant::Default::TITLE && looper.author() == Constant::Default::AUTHOR &&
           looper.bpm() == 84 && looper.mode() == Constant::Default::MODE;
}

QStringList LibrarySet::files(const QLooper& looper) {
    QStringList list;
    for (const QString& path : {looper.path_curve_1(), looper.path_curve_2(), looper.path_sound_a(),
                                looper.path_sound_b(), looper.path_color_a(), looper.path_color_b(),
                                looper.path_sound_looper(), looper.filename()}) {
        if (!path.isEmpty())
            list.append(path);
    }
    return list;
}

QStringList LibrarySet::packageMembers(const QLooper& looper) {
    QStringList members;
    QStringList memberNames;
    auto add = [&](const QString& path) {
        const QFileInfo info(path);
        // A package stores bare names: two files of one name (whatever the case) cannot both go in.
        if (!info.isFile() || info.isSymLink() || memberNames.contains(info.fileName(), Qt::CaseInsensitive))
            return;
        members.append(path);
        memberNames.append(info.fileName());
    };
    for (const QString& path : files(looper))
        add(path);
    if (!looper.filename().isEmpty())
        add(QFileInfo(looper.filename()).dir().filePath(Constant::Default::AUTHOR_FILE));
    return members;
}

QStringList LibrarySet::namesOfOtherSets(const QString& folder, const QString& except) {
    QStringList protectedNames;
    // Name filters ignore case: a header that the library would not list still protects its files.
    for (const QString& file : QDir(folder).entryList({QStringLiteral("*") + Constant::Extension::QLT},
                                                      QDir::Files | QDir::Hidden)) {
        if (file == except)
            continue;
        const std::unique_ptr<RecordingLooperTraining> header =
            Header::importHeaderFromQLTFile(folder + QLatin1Char('/') + file);
        if (header)
            protectedNames += storedNames(*header);
    }
    return protectedNames;
}

bool LibrarySet::isRemovableFolder(const QString& canonicalFolder) {
    const QString data = QFileInfo(Path::appData()).canonicalFilePath();
    if (canonicalFolder.isEmpty() || data.isEmpty() || canonicalFolder == data)
        return false;
    // The data folder's own sub-folders are the libraries and the program's folders.
    return QFileInfo(canonicalFolder).absolutePath() != data;
}

void LibrarySet::remove(const QLooper& looper) {
    if (looper.filename().isEmpty())
        return;
    const QFileInfo training(looper.filename());
    const QString folder = training.absoluteDir().canonicalPath();
    if (folder.isEmpty())
        return;
    // Sets of one author share a folder and may share a sound.
    const QStringList keep = namesOfOtherSets(folder, training.fileName());
    for (const QString& path : files(looper)) {
        const QFileInfo info(path);
        if (info.absoluteDir().canonicalPath() != folder || keep.contains(info.fileName(), Qt::CaseInsensitive))
            continue;
        if (info.isFile() || info.isSymLink())
            QFile::remove(info.absoluteFilePath());
    }
    if (!isRemovableFolder(folder))
        return;
    QDir dir(folder);
    const QStringList left = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (left == QStringList{Constant::Default::AUTHOR_FILE} && QFileInfo(dir.filePath(left.first())).isFile())
        dir.remove(left.first());
    else if (!left.isEmpty())
        return;
    QDir().rmdir(folder);
}
