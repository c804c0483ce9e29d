#pragma once

#include <QObject>
#include <QSettings>
#include <QString>

#include <memory>

// The mixer channel map over Input/MixerMac.ini, which ships with the data folder and is only read.
// Each section names a family of audio interfaces (a case-sensitive part of the interface's name);
// its keys give channel positions: input values are stereo-pair numbers, output values the first
// channel of the output pair. Used on the GUI thread only, by the device catalogue.
class SettingMixer : public QObject {
    Q_OBJECT

public:
    SettingMixer();
    ~SettingMixer() override;

    // Whether any section's name is part of `deviceName`.
    bool isAvailable(const QString& deviceName) const;
    // `key` of the first section, in ascending key-path order, whose name is part of `deviceName`;
    // empty when no section matches or that section lacks the key.
    QString keyValue(const QString& key, const QString& deviceName) const;

private:
    // The section of the first key path whose section name is part of `deviceName`; null when none.
    QString matchingSection(const QString& deviceName) const;

    const QString m_fileName = QStringLiteral("MixerMac.ini");
    QString m_path;
    std::unique_ptr<QSettings> m_settings;
};
