#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include "core/Model.h"

// File and byte helpers of the tests. Expected bytes are encoded here by hand, independently of the
// code under test.
namespace TestFiles {

// The file's bytes; empty when it cannot be read.
inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `bytes` over the file, making the folders it lies in; false when any of it fails.
inline bool write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Every file and folder under `root` by relative path, with a file's bytes ("<folder>" for a folder).
inline QMap<QString, QByteArray> tree(const QString& root) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(QDir(root).relativeFilePath(path), it.fileInfo().isDir() ? "<folder>" : read(path));
    }
    return entries;
}

template <typename T> QByteArray le(T value) {
    value = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

// A text field of the binary formats: a 32-bit length, then the text's UTF-8 bytes in base64.
inline QByteArray field(const QString& text) {
    const QByteArray b64 = text.toUtf8().toBase64();
    return le<quint32>(quint32(b64.size())) + b64;
}

// A WAV file of the canonical layout: the 44-byte header (format 1 is PCM, 3 floating point), then `data`.
inline QByteArray wavFile(const QByteArray& data, quint32 rate = 48000, quint16 channels = 2, quint16 bits = 16,
                          quint16 format = 1) {
    return "RIFF" + le<quint32>(quint32(36 + data.size())) + "WAVEfmt " + le<quint32>(16) + le(format) +
           le(channels) + le(rate) + le<quint32>(rate * channels * bits / 8) + le<quint16>(channels * bits / 8) +
           le(bits) + "data" + le<quint32>(quint32(data.size())) + data;
}

// The values of a training file, in the order the file stores them.
struct Training {
    ModelActivatedMode::EnumActivatedMode mode = ModelActivatedMode::Looper;
    QString title = "T", author = "T4rMo", url = "https://x.org";
    qint32 bpm = 84;
    QString looper = "loop.wav";
    qint32 offset = 0;
    // Sound A, sound B, curve 1, curve 2, colour A, colour B.
    QStringList names = QStringList(6, QString());
};

// The training file of `t`: version 1, the mode's code (Training 1, Looper 2, Recording 3, else 0),
// an opaque code 1, the values, then the SHA-256 digest of the fifteen values as texts, concatenated.
inline QByteArray trainingFile(const Training& t) {
    const qint32 code = t.mode == ModelActivatedMode::Training    ? 1
                        : t.mode == ModelActivatedMode::Looper    ? 2
                        : t.mode == ModelActivatedMode::Recording ? 3
                                                                  : 0;
    QByteArray bytes = le<qint32>(1) + le(code) + le<qint32>(1) + field(t.title) + field(t.author) +
                       field(t.url) + le(t.bpm) + field(t.looper) + le(t.offset);
    QString texts = "1" + QString::number(int(t.mode)) + "0" + t.title + t.author + t.url +
                    QString::number(t.bpm) + t.looper + QString::number(t.offset);
    for (const QString& name : t.names) {
        bytes += field(name);
        texts += name;
    }
    const QByteArray digest = QCryptographicHash::hash(texts.toUtf8(), QCryptographicHash::Sha256).toBase64();
    return bytes + le<quint32>(quint32(digest.size())) + digest;
}

} // namespace TestFiles
