#pragma once

#include <QString>
#include <QStringList>

// Whether a zip package may be extracted at all, judged from its entry list alone before any byte of
// it is written: packages come from other people, and the zip library writes whatever an entry says
// (links with any target, names with folders). Pure: reads the package, writes nothing.
class PackageCheck {
public:
    static constexpr int MAX_ENTRIES = 16;
    static constexpr qint64 MAX_TOTAL_SIZE = qint64(2) << 30;
    static constexpr qint64 MAX_TRAINING_FILE_SIZE = qint64(1) << 20;

    struct Verdict {
        bool ok = false;
        // Why the package is refused, for the log; empty when ok.
        QString reason;
        // The entry names in package order, and the one training file among them.
        QStringList names;
        QString trainingFile;
        // The sum of the sizes the entries declare once extracted.
        qint64 totalSize = 0;
    };

    // Checks against the free space of the data folder, where imports are extracted.
    static Verdict check(const QString& zipPath);
    static Verdict check(const QString& zipPath, qint64 freeBytes);

private:
    static Verdict refuse(const QString& reason);
};
