#include "AuthorPicture.h"

#include <QFile>
#include <QSaveFile>

#include "core/Constant.h"
#include "core/Path.h"
#include "core/FileIO.h"

QString AuthorPicture::path() {
    return Path::joinInput(Constant::Default::AUTHOR_FILE);
}

bool AuthorPicture::replace(const QString& source) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(path());
    // Unbuffered: a buffered write that fails only when commit flushes it (a full disk) is taken for
    // success by this Qt's QSaveFile, which would put a cut picture in place.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    constexpr qint64 chunkSize = 1 << 16;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(chunkSize);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return false;
        }
    }
    return in.error() == QFileDevice::NoError && FileIO::commit(out);
}
