#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

#include "Model.h"

class QLooper;
class RecordingLooperTraining;

// The training file: the header of one looper, training or recording set, closed by a SHA-256
// digest over its values so that the library can refuse a header changed by hand.
class Header {
public:
    // Writes `looper` (whose file names must be bare) through a temporary file renamed into place.
    // Returns false when nothing was written.
    static bool exportHeaderToQLTFile(const QString& path, const QLooper* looper);
    // A new object owned by the caller, its filename set to `path`. A file that cannot be opened
    // gives the start values; a malformed one (cut short, a length beyond the bytes left, a file
    // name that is not bare, a digest that is not 32 bytes) gives null. The digest is not checked.
    static std::unique_ptr<RecordingLooperTraining> importHeaderFromQLTFile(const QString& path);

    // The digest a writer stores for `looper`.
    static QByteArray computeHash(const QLooper* looper);
    // Whether the digest of the values as read equals the digest the file holds.
    static bool checkHash(const RecordingLooperTraining* header);

    static int modeToInt(ModelActivatedMode::EnumActivatedMode mode);
    static ModelActivatedMode::EnumActivatedMode intToMode(int code);

private:
    static int appToInt(int app);
    static int intToApp(int code);
    // Empty: the set has no such file.
    static bool isEmptyOrBareName(const QString& name);
};
