#include "QSample.h"

#include <QDateTime>

#include "Constant.h"
#include "Function.h"

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
    // The device's name is the system's text, of any length: made safe like a typed one, so that a
    // take can always be written.
    const QString pattern = QString::number(m_deviceID) + QLatin1Char('_') +
                            QDateTime::currentDateTime().toString(Constant::Date::FORMAT) +
                            QStringLiteral("_%1_") + QString::number(m_channels) + QLatin1Char('p') +
                            QString::number(m_pos) + QLatin1Char('_') +
                            QString::number(m_samplerate, 'g', 6) + Constant::Extension::WAV;
    return Function::safeFileName(pattern, {name});
}
