#include "QSample.h"

#include <QDateTime>

#include "Constant.h"

QSample::QSample(ModelGraph::EnumGraph tag, int deviceID, const QString& deviceName, double samplerate, int channels,
                 int pos)
    : m_tag(tag), m_deviceID(deviceID), m_deviceName(deviceName), m_samplerate(samplerate), m_channels(channels),
      m_pos(pos), m_samplerateInMinute(60.0 * samplerate), m_samplerateInMs(samplerate / 1000.0),
      m_angleForASample(360.0 / (1.8 * samplerate)) {
    // Made once here, so every holder of the descriptor names the same file.
    m_filename = buildFilename();
}

std::shared_ptr<const QSample> QSample::byDefault(ModelGraph::EnumGraph tag) {
    return std::make_shared<const QSample>(tag, -1, QString(), 48000.0, 2, 0);
}

QString QSample::buildFilename() const {
    if (m_tag == ModelGraph::PLAYBACK)
        return QString();
    QString name = m_deviceName;
    name.replace(QLatin1Char('/'), QStringLiteral("and"));
    return QStringLiteral("%1_%2_%3_%4p%5_%6%7")
        .arg(QString::number(m_deviceID), QDateTime::currentDateTime().toString(Constant::Date::FORMAT), name,
             QString::number(m_channels), QString::number(m_pos), QString::number(m_samplerate, 'g', 6),
             Constant::Extension::WAV);
}
