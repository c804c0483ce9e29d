#pragma once

#include <QList>
#include <QString>

#include "core/QLooper.h"

// Imports a zip package into a library folder. The package is checked from its entry list, extracted
// into a temporary folder inside the data folder, and its training file is read and its digest
// checked there; only then are the files the header names (and "author.png") moved into a new folder
// of the library. A refused or failed import leaves the library as it was. GUI thread only.
class PackageImport {
public:
    enum class Status {
        Imported,
        // The package or its training file is refused (for this library).
        NonCompliant,
        // The set is in the library already (a record or its target folder).
        AlreadyImported,
        // The disk refused a folder or a move.
        WriteFailed,
    };

    struct Result {
        Status status = Status::NonCompliant;
        // Imported: the new set, with its files in the library. AlreadyImported: the package's set.
        QLooper looper;
        // AlreadyImported: the records of `existing` that are the same set (none when only the
        // target folder exists).
        QList<QLooper> duplicates;
        // Why, for the log.
        QString reason;
    };

    // `existing`: the library's records, for the duplicate test.
    static Result import(const QString& zipPath, const QString& libraryName, const QList<QLooper>& existing);
    // Where a set lands: the library folder's sub-folder "<author>_<title>_<bpm>", made a bare name.
    static QString targetFolder(const QString& libraryName, const QLooper& looper);

private:
    static Result fail(Status status, const QString& reason);
};
