#pragma once

#include <QByteArray>
#include <QDir>
#include <QMap>
#include <QString>
#include <QStringList>

// Stateless helpers: the deployed test, the data folder, folder copy, MIDI port texts, style sheets.
class Function {
public:
    static QString applicationDirPath();
    static bool isAppDeployed();
    // The user data folder: the per-user location when deployed, else the bundle's Resources/AppData.
    static QDir appExternalUserDir();

    // One "index:name" text per MIDI input source present now, in the order of the index texts compared
    // as texts. May be called from the GUI thread and the MIDI worker thread.
    static QStringList devicesMidiIn();
    // The same texts for the sources given as index text -> display name.
    static QStringList devicesMidiIn(const QMap<QString, QString>& sources);

    // Copies the tree `source` into `target`, creating folders as needed and never overwriting a file.
    // Returns whether every folder and file is now present in `target` (false also when `source` is missing).
    static bool copyPath(const QString& source, const QString& target);

    // A file name without any folder part: not empty, not "." or "..", no separator or NUL. Names
    // stored inside our files must be such names, so a package cannot reach outside its folder.
    static bool isBareFileName(const QString& name);
    // Longest name, in UTF-8 bytes, that safeFileName makes: the file system's 255 less the ".XXXXXX"
    // that a safe write adds to the name of its temporary file where the target's folder cannot hold
    // an unnamed one.
    static constexpr qsizetype MAX_NAME_BYTES = 248;
    // A bare file or folder name: `pattern`, whose text is ours (a prefix, a date, a number, an
    // extension), with its %1, %2, ... filled with `texts` (an author, a title, a user name, a colour
    // name: what a user typed or a package brought). In the texts, separators, NUL and other control
    // characters become "_". A name that would begin with a dot, or be empty, begins with "_", so it
    // never hides a file or folder. When the name would pass MAX_NAME_BYTES, only the texts are
    // shortened, the longest first, at whole characters; each shortened text ends in "~" and the start
    // of a digest of the whole text, so that texts that differ only past the cut still make different
    // names. The files themselves keep the whole texts.
    static QString safeFileName(const QString& pattern, const QStringList& texts);

    // Whether no element of the XML text is nested deeper than `maxDepth`. A document parse takes time
    // that grows with the square of the nesting, on the GUI thread; this streaming pass is linear and
    // stops at the first element nested too deep. Malformed XML passes here and fails the parse.
    static bool xmlNestedWithin(const QByteArray& bytes, int maxDepth);

    // The whole file as text; an empty text and a warning when it cannot be read.
    static QString loadStyleFromFile(const QString& path);
};
