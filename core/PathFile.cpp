#include "PathFile.h"

#include <QDateTime>
#include <QDir>

#include "Constant.h"
#include "Path.h"

PathFile::PathFile(QObject* parent) : QObject(parent) {}

QString PathFile::withoutExtension(const QString& name) {
    return name.size() < 4 ? name : name.chopped(4);
}

QString PathFile::filenameSound_a() const {
    return withoutExtension(m_filenameSound_a);
}

QString PathFile::filenameSound_b() const {
    return withoutExtension(m_filenameSound_b);
}

QString PathFile::filenameSound_master() const {
    return withoutExtension(m_filenameSound_master);
}

QString PathFile::createPathDirectory_recording() const {
    const QString path = Path::joinRecording(m_pathDirectory_recording);
    QDir().mkpath(path);
    return path;
}

void PathFile::newPathDirectory_recording() {
    m_pathDirectory_recording = QDateTime::currentDateTime().toString(Constant::Date::FORMAT);
}
