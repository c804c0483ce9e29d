#include "PackageCheck.h"

#include <QSet>
#include <QStorageInfo>

#include <quazip/quazip.h>
#include <quazip/quazipfileinfo.h>

#include "core/Constant.h"
#include "core/Function.h"
#include "core/Path.h"

namespace {

// The high 16 bits of the external attributes hold the Unix file mode when the maker says so.
constexpr quint32 UNIX_TYPE_MASK = 0170000;
constexpr quint32 UNIX_REGULAR = 0100000;
// The low byte holds the MS-DOS attributes; 0x10 marks a folder.
constexpr quint32 DOS_DIRECTORY = 0x10;

bool isRegularFile(const QuaZipFileInfo64& info) {
    if (info.isSymbolicLink() || (info.externalAttr & DOS_DIRECTORY))
        return false;
    const quint32 type = (info.externalAttr >> 16) & UNIX_TYPE_MASK;
    return type == 0 || type == UNIX_REGULAR;
}

} // namespace

PackageCheck::Verdict PackageCheck::refuse(const QString& reason) {
    Verdict verdict;
    verdict.reason = reason;
    return verdict;
}

PackageCheck::Verdict PackageCheck::check(const QString& zipPath) {
    return check(zipPath, QStorageInfo(Path::appData()).bytesAvailable());
}

PackageCheck::Verdict PackageCheck::check(const QString& zipPath, qint64 freeBytes) {
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip))
        return refuse(QStringLiteral("not a zip archive"));
    // Counted before the list is read, so a package with a huge directory is not read whole.
    if (zip.getEntriesCount() > MAX_ENTRIES)
        return refuse(QStringLiteral("more than %1 entries").arg(MAX_ENTRIES));
    const QList<QuaZipFileInfo64> infos = zip.getFileInfoList64();
    if (zip.getZipError() != UNZ_OK)
        return refuse(QStringLiteral("unreadable entry list"));

    Verdict verdict;
    QSet<QString> folded;
    for (const QuaZipFileInfo64& info : infos) {
        if (!Function::isBareFileName(info.name))
            return refuse(QStringLiteral("entry name with a folder: ") + info.name);
        if (!isRegularFile(info))
            return refuse(QStringLiteral("entry that is a folder or a link: ") + info.name);
        // Names that differ only in case would land on one file on a case-insensitive disk.
        const QString key = info.name.toCaseFolded();
        if (folded.contains(key))
            return refuse(QStringLiteral("repeated entry name: ") + info.name);
        folded.insert(key);
        if (info.uncompressedSize > quint64(MAX_TOTAL_SIZE))
            return refuse(QStringLiteral("entry too large: ") + info.name);
        verdict.totalSize += qint64(info.uncompressedSize);
        if (info.name.endsWith(Constant::Extension::QLT)) {
            if (!verdict.trainingFile.isEmpty())
                return refuse(QStringLiteral("more than one training file"));
            if (info.uncompressedSize > quint64(MAX_TRAINING_FILE_SIZE))
                return refuse(QStringLiteral("training file too large"));
            verdict.trainingFile = info.name;
        }
        verdict.names.append(info.name);
    }
    if (verdict.trainingFile.isEmpty())
        return refuse(QStringLiteral("no training file"));
    if (verdict.totalSize > MAX_TOTAL_SIZE)
        return refuse(QStringLiteral("contents larger than %1 bytes").arg(MAX_TOTAL_SIZE));
    if (verdict.totalSize > freeBytes)
        return refuse(QStringLiteral("contents larger than the free space"));
    verdict.ok = true;
    return verdict;
}
