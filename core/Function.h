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
    // `text` (an author, a title, a user name) made into a bare file name: separators, NUL and other
    // control characters become "_", and "", "." or ".." become underscores. The file's content keeps
    // the original text.
    static QString safeFileName(const QString& text);

    // Whether no element of the XML text is nested deeper than `maxDepth`. A document parse takes time
    // that grows with the square of the nesting, on the GUI thread; this streaming pass is linear and
    // stops at the first element nested too deep. Malformed XML passes here and fails the parse.
    static bool xmlNestedWithin(const QByteArray& bytes, int maxDepth);

    // The whole file as text; an empty text and a warning when it cannot be read.
    static QString loadStyleFromFile(const QString& path);
};
