#pragma once

#include <QString>

class QLooper;

// Packs a set into a zip package: its files stored flat under their bare names (UTF-8), in the
// order of LibrarySet::packageMembers. GUI thread only.
class PackageExport {
public:
    // "<folder>/<tab>_<author>_<title>_<bpm>.qlz", the file name made bare.
    static QString packagePath(const QString& folder, const QString& tabName, const QLooper& looper);
    // Writes the package through a temporary file renamed into place, so a failure leaves no
    // half package (and an older package of that name as it was). False, with a warning, when
    // nothing was written.
    static bool write(const QString& packagePath, const QLooper& looper);
};
