#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "core/QLooper.h"

// The sets of one library folder ("Looper", "Training", "Recording" under the data folder) as
// records: reading and checking a training file, the folder scan, the duplicate test, the files of
// a set and their removal. GUI thread only (reads and removes files; keeps no state).
class LibrarySet {
public:
    // Tempo range a set may carry; anything else is a tampered or broken header.
    static constexpr int MIN_BPM = 1;
    static constexpr int MAX_BPM = 999;

    // The record of the training file at `path` with its file names made absolute against the file's
    // folder, or the null record when the file is refused: not an existing ".qlt" file (case-sensitive),
    // malformed, of another library than `libraryName`, with a tempo outside [MIN_BPM, MAX_BPM] or a
    // negative offset, or (with `checkDigest`) failing its digest.
    static QLooper readTrainingFile(const QString& path, const QString& libraryName, bool checkDigest);

    // Every accepted set of the library: the training files of the library folder's entries that are
    // folders, taken one level deep; the entries "." and ".." make the library folder itself and the
    // data folder count too. A set in a hidden folder counts only when complete. Unsorted.
    static QList<QLooper> scan(const QString& libraryName);
    // Whether every file the record names (its training file too) is there.
    static bool isComplete(const QLooper& looper);

    // Whether two records describe the same set wherever it lies: title, author, tempo and link equal,
    // and the seven file names equal up to their folder and suffix.
    static bool sameSet(const QLooper& a, const QLooper& b);
    // The built-in set shipped in the data folder, which keeps a fixed row id and cannot be deleted.
    static bool isDefaultSet(const QLooper& looper);

    // The record's non-empty file paths: curve 1, curve 2, sound A, sound B, colour A, colour B,
    // looper sound, training file.
    static QStringList files(const QLooper& looper);
    // What a package of the set holds: each file of files() that exists as a regular file, once per
    // file name, then "author.png" of the training file's folder when it exists.
    static QStringList packageMembers(const QLooper& looper);

    // Removes the set's files that lie in its training file's folder and that no other training file
    // of that folder names, then that folder when it is left empty (or holds only "author.png") and
    // is neither the data folder nor one of its library folders. Files that cannot be removed stay.
    static void remove(const QLooper& looper);

private:
    static QStringList namesOfOtherSets(const QString& folder, const QString& except);
    static bool isRemovableFolder(const QString& canonicalFolder);
};
