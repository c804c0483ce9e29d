#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QString>

class QSaveFile;

// Raw and base64 fields on a binary stream whose byte order the caller has set.
// A base64 field is an unsigned 32-bit length followed by that many bytes of base64 text.
class FileIO {
public:
    // Puts the written file in place; false (and the old file kept) when any byte failed to reach it.
    // QSaveFile::commit alone reports success when only the final flush of buffered bytes fails
    // (a full disk), leaving a cut-short file in place.
    static bool commit(QSaveFile& file);

    static void writeByteArray(const QByteArray& bytes, QDataStream& stream);
    // `n` raw bytes. Fewer than `n` left in the stream gives an empty array and the
    // stream status ReadPastEnd, so a corrupt count cannot make us allocate.
    static QByteArray readByteArray(QDataStream& stream, qint64 n);

    static void writeByteArrayToBase64(const QByteArray& bytes, QDataStream& stream);
    static void writeStringToBase64(const QString& text, QDataStream& stream);
    // A length below 1 reads as empty and consumes only the length; a length beyond the
    // bytes left gives an empty result and the stream status ReadPastEnd.
    static QByteArray readByteArrayFromBase64(QDataStream& stream);
    static QString readStringFromBase64(QDataStream& stream);

private:
    static qint64 bytesLeft(const QDataStream& stream);
};
