#pragma once

#include <QString>

// A stored audio device choice, parsed: index "-[" name "]-" rate "/" channels "p" position "-" host "-"
// label. A plain value; a text that does not have that form leaves every field empty or 0 (no device).
class QDeviceRegEx {
public:
    // The index, rate, channel and position groups only take digits, so a device name that holds
    // "-[", "]-", "/" or "p" cannot shift the fields around it.
    static const QString PATTERN;

    explicit QDeviceRegEx(const QString& text = QString());

    const QString& text() const { return m_text; }
    int id() const { return m_id; }
    const QString& name() const { return m_name; }
    double samplerate() const { return m_samplerate; }
    int channels() const { return m_channels; }
    int pos() const { return m_pos; }
    // The host-API name.
    const QString& codec() const { return m_codec; }
    const QString& label() const { return m_label; }

private:
    QString m_text;
    int m_id = 0;
    QString m_name;
    double m_samplerate = 0.0;
    int m_channels = 0;
    int m_pos = 0;
    QString m_codec;
    QString m_label;
};
