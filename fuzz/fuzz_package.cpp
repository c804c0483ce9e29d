// The check a zip package passes before anything of it is extracted (packages come from other people).
// An accepted package is read again here, entry by entry, against what the verdict promises.
#include <QSet>

#include <quazip/quazip.h>
#include <quazip/quazipfileinfo.h>

#include "FuzzSandbox.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/library/PackageCheck.h"

namespace {

// The Unix file type in the high half of the external attributes, and the MS-DOS folder flag.
constexpr quint32 UNIX_TYPE_MASK = 0170000;
constexpr quint32 UNIX_DIRECTORY = 0040000;
constexpr quint32 DOS_DIRECTORY = 0x10;

void requireEntriesAsPromised(const QString& path, const PackageCheck::Verdict& verdict) {
    using FuzzSandbox::require;
    require(verdict.names.size() <= PackageCheck::MAX_ENTRIES, "an accepted package has few entries");
    require(verdict.totalSize >= 0 && verdict.totalSize <= PackageCheck::MAX_TOTAL_SIZE,
            "an accepted package is not too large");

    QuaZip zip(path);
    require(zip.open(QuaZip::mdUnzip), "an accepted package opens");
    const QList<QuaZipFileInfo64> infos = zip.getFileInfoList64();
    require(infos.size() == verdict.names.size(), "the verdict lists every entry");

    QSet<QString> folded;
    int trainingFiles = 0;
    qint64 total = 0;
    for (qsizetype i = 0; i < infos.size(); ++i) {
        const QuaZipFileInfo64& info = infos[i];
        require(info.name == verdict.names[i], "the verdict lists the entries in package order");
        require(Function::isBareFileName(info.name), "every entry name is bare");
        require(!info.isSymbolicLink() && ((info.externalAttr >> 16) & UNIX_TYPE_MASK) != UNIX_DIRECTORY &&
                    !(info.externalAttr & DOS_DIRECTORY),
                "no entry is a link or a folder");
        const QString key = info.name.toCaseFolded();
        require(!folded.contains(key), "no entry name repeats, whatever the case");
        folded.insert(key);
        if (info.name.endsWith(Constant::Extension::QLT)) {
            ++trainingFiles;
            require(info.name == verdict.trainingFile, "the verdict names the training file");
            require(info.uncompressedSize <= quint64(PackageCheck::MAX_TRAINING_FILE_SIZE),
                    "the training file is small");
        }
        total += qint64(info.uncompressedSize);
    }
    require(trainingFiles == 1, "an accepted package has exactly one training file");
    require(total == verdict.totalSize, "the verdict's size is the sum of the entries' sizes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = FuzzSandbox::writeInput(data, size);
    const PackageCheck::Verdict verdict = PackageCheck::check(path, PackageCheck::MAX_TOTAL_SIZE);
    FuzzSandbox::require(verdict.ok == verdict.reason.isEmpty(), "a refusal says why, an acceptance nothing");
    if (!verdict.ok)
        return 0;
    requireEntriesAsPromised(path, verdict);
    // The free space decides at the exact size of the contents.
    FuzzSandbox::require(PackageCheck::check(path, verdict.totalSize).ok, "contents that just fit are accepted");
    FuzzSandbox::require(verdict.totalSize == 0 || !PackageCheck::check(path, verdict.totalSize - 1).ok,
                         "contents larger than the free space are refused");
    return 0;
}
