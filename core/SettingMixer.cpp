#include "SettingMixer.h"

#include "Path.h"
#include "PlainIniFormat.h"

SettingMixer::SettingMixer() : m_path(Path::joinInput(m_fileName)) {
    m_settings = std::make_unique<QSettings>(m_path, PlainIniFormat::format());
}

SettingMixer::~SettingMixer() = default;

bool SettingMixer::isAvailable(const QString& deviceName) const {
    return !matchingSection(deviceName).isNull();
}

QString SettingMixer::keyValue(const QString& key, const QString& deviceName) const {
    const QString section = matchingSection(deviceName);
    if (section.isNull())
        return QString();
    return m_settings->value(QStringLiteral("%1/%2").arg(section, key)).toString();
}

QString SettingMixer::matchingSection(const QString& deviceName) const {
    QStringList paths = m_settings->allKeys();
    paths.sort(Qt::CaseSensitive);
    for (const QString& path : paths) {
        // A key outside any section stands for itself.
        const QString section = path.section(QLatin1Char('/'), 0, 0);
        if (deviceName.contains(section, Qt::CaseSensitive))
            return section;
    }
    return QString();
}
