#include "Header.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDebug>
#include <QFile>
#include <QSaveFile>

#include <array>

#include "FileIO.h"
#include "Function.h"
#include "QLooper.h"
#include "RecordingLooperTraining.h"

namespace {

constexpr int DIGEST_SIZE = 32;

// The fifteen values as texts, joined by plain concatenation (a chained arg() would substitute
// "%1" inside a title).
QByteArray digestOf(const std::array<QString, 15>& texts) {
    QString joined;
    for (const QString& text : texts)
        joined += text;
    return QCryptographicHash::hash(joined.toUtf8(), QCryptographicHash::Sha256);
}

// The values of a file in the order it stores them.
struct Fields {
    qint32 version = 0;
    qint32 mode = 0;
    qint32 app = 0;
    QString title, author, url;
    qint32 bpm = 0;
    QString looper;
    qint32 offset = 0;
    QString soundA, soundB, curve1, curve2, colorA, colorB;
    QByteArray hash;
};

Fields readFields(QDataStream& in) {
    Fields f;
    in >> f.version >> f.mode >> f.app;
    f.title = FileIO::readStringFromBase64(in);
    f.author = FileIO::readStringFromBase64(in);
    f.url = FileIO::readStringFromBase64(in);
    in >> f.bpm;
    f.looper = FileIO::readStringFromBase64(in);
    in >> f.offset;
    f.soundA = FileIO::readStringFromBase64(in);
    f.soundB = FileIO::readStringFromBase64(in);
    f.curve1 = FileIO::readStringFromBase64(in);
    f.curve2 = FileIO::readStringFromBase64(in);
    f.colorA = FileIO::readStringFromBase64(in);
    f.colorB = FileIO::readStringFromBase64(in);
    f.hash = FileIO::readByteArrayFromBase64(in);
    return f;
}

} // namespace

bool Header::exportHeaderToQLTFile(const QString& path, const QLooper* looper) {
    if (!looper)
        return false;
    const QString names[] = {looper->path_sound_looper(), looper->path_sound_a(), looper->path_sound_b(),
                             looper->path_curve_1(),      looper->path_curve_2(), looper->path_color_a(),
                             looper->path_color_b()};
    for (const QString& name : names) {
        if (!isEmptyOrBareName(name)) {
            qWarning() << "Training file not written, not a bare file name:" << name;
            return false;
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning() << "Training file not written:" << path << file.errorString();
        return false;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << qint32(looper->version()) << qint32(modeToInt(looper->mode())) << qint32(appToInt(looper->app()));
    FileIO::writeStringToBase64(looper->title(), out);
    FileIO::writeStringToBase64(looper->author(), out);
    FileIO::writeStringToBase64(looper->url(), out);
    out << qint32(looper->bpm());
    FileIO::writeStringToBase64(looper->path_sound_looper(), out);
    out << qint32(looper->offset());
    FileIO::writeStringToBase64(looper->path_sound_a(), out);
    FileIO::writeStringToBase64(looper->path_sound_b(), out);
    FileIO::writeStringToBase64(looper->path_curve_1(), out);
    FileIO::writeStringToBase64(looper->path_curve_2(), out);
    FileIO::writeStringToBase64(looper->path_color_a(), out);
    FileIO::writeStringToBase64(looper->path_color_b(), out);
    FileIO::writeByteArrayToBase64(computeHash(looper), out);
    if (out.status() != QDataStream::Ok || !FileIO::commit(file)) {
        qWarning() << "Training file not written:" << path << file.errorString();
        return false;
    }
    return true;
}

std::unique_ptr<RecordingLooperTraining> Header::importHeaderFromQLTFile(const QString& path) {
    auto header = std::make_unique<RecordingLooperTraining>();
    header->setFilename(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return header;
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    const Fields f = readFields(in);
    if (in.status() != QDataStream::Ok || f.hash.size() != DIGEST_SIZE)
        return nullptr;
    for (const QString* name :
         {&f.looper, &f.soundA, &f.soundB, &f.curve1, &f.curve2, &f.colorA, &f.colorB}) {
        if (!isEmptyOrBareName(*name))
            return nullptr;
    }
    header->setVersion(f.version);
    header->setMode(intToMode(f.mode));
    header->setApp(intToApp(f.app));
    header->setTitle(f.title);
    header->setAuthor(f.author);
    header->setUrl(f.url);
    header->setBpm(f.bpm);
    header->setOffset(f.offset);
    header->setPathSound_Looper(f.looper);
    header->setPathSound_A(f.soundA);
    header->setPathSound_B(f.soundB);
    header->setPathCurve_1(f.curve1);
    header->setPathCurve_2(f.curve2);
    header->setPathColor_A(f.colorA);
    header->setPathColor_B(f.colorB);
    header->setHash(f.hash);
    return header;
}

QByteArray Header::computeHash(const QLooper* looper) {
    return digestOf({QString::number(looper->version()), QString::number(int(looper->mode())),
                     QString::number(looper->app()), looper->title(), looper->author(), looper->url(),
                     QString::number(looper->bpm()), looper->path_sound_looper(),
                     QString::number(looper->offset()), looper->path_sound_a(), looper->path_sound_b(),
                     looper->path_curve_1(), looper->path_curve_2(), looper->path_color_a(),
                     looper->path_color_b()});
}

bool Header::checkHash(const RecordingLooperTraining* header) {
    if (!header)
        return false;
    // The tempo and offset are held as doubles; six significant digits print every value a
    // writer stores exactly as its integer text.
    const QByteArray digest = digestOf(
        {QString::number(header->version()), QString::number(int(header->mode())),
         QString::number(header->app()), header->title(), header->author(), header->url(),
         QString::number(header->bpm(), 'g', 6), header->pathSound_Looper(),
         QString::number(header->offset(), 'g', 6), header->pathSound_A(), header->pathSound_B(),
         header->pathCurve_1(), header->pathCurve_2(), header->pathColor_A(), header->pathColor_B()});
    return digest == header->hash();
}

int Header::modeToInt(ModelActivatedMode::EnumActivatedMode mode) {
    switch (mode) {
    case ModelActivatedMode::Recording:
        return 3;
    case ModelActivatedMode::Looper:
        return 2;
    case ModelActivatedMode::Training:
        return 1;
    default:
        return 0;
    }
}

ModelActivatedMode::EnumActivatedMode Header::intToMode(int code) {
    switch (code) {
    case 1:
        return ModelActivatedMode::Training;
    case 2:
        return ModelActivatedMode::Looper;
    case 3:
        return ModelActivatedMode::Recording;
    default:
        return ModelActivatedMode::Undefined;
    }
}

int Header::appToInt(int app) {
    switch (app) {
    case 0:
        return 1;
    case 1:
        return 2;
    default:
        return 0;
    }
}

int Header::intToApp(int code) {
    switch (code) {
    case 1:
        return 0;
    case 2:
        return 1;
    default:
        return 2;
    }
}

bool Header::isEmptyOrBareName(const QString& name) {
    return name.isEmpty() || Function::isBareFileName(name);
}
