#include "FileIO.h"

#include <QSaveFile>

#include <QIODevice>

qint64 FileIO::bytesLeft(const QDataStream& stream) {
    const QIODevice* device = stream.device();
    return device ? device->bytesAvailable() : 0;
}

void FileIO::writeByteArray(const QByteArray& bytes, QDataStream& stream) {
    stream.writeRawData(bytes.constData(), static_cast<int>(bytes.size()));
}

QByteArray FileIO::readByteArray(QDataStream& stream, qint64 n) {
    if (n < 1 || stream.status() != QDataStream::Ok)
        return QByteArray();
    if (n > bytesLeft(stream)) {
        stream.setStatus(QDataStream::ReadPastEnd);
        return QByteArray();
    }
    QByteArray bytes(n, '\0');
    const int read = stream.readRawData(bytes.data(), static_cast<int>(n));
    if (read != n) {
        stream.setStatus(QDataStream::ReadPastEnd);
        return QByteArray();
    }
    return bytes;
}

void FileIO::writeByteArrayToBase64(const QByteArray& bytes, QDataStream& stream) {
    const QByteArray base64 = bytes.toBase64();
    stream << static_cast<quint32>(base64.size());
    writeByteArray(base64, stream);
}

void FileIO::writeStringToBase64(const QString& text, QDataStream& stream) {
    writeByteArrayToBase64(text.toUtf8(), stream);
}

QByteArray FileIO::readByteArrayFromBase64(QDataStream& stream) {
    qint32 length = 0;
    stream >> length;
    if (stream.status() != QDataStream::Ok || length < 1)
        return QByteArray();
    return QByteArray::fromBase64(readByteArray(stream, length));
}

QString FileIO::readStringFromBase64(QDataStream& stream) {
    return QString::fromUtf8(readByteArrayFromBase64(stream));
}

bool FileIO::commit(QSaveFile& file) {
    if (!file.flush()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}
