#pragma once

#include <QString>

// A stored MIDI input choice "index:name", as the MIDI source list writes it. The name is the whole
// text: the MIDI input compares it with the listed texts as it is.
class QMidiRegEx {
public:
    explicit QMidiRegEx(const QString& text = QString()) : m_text(text), m_name(text) {}

    const QString& text() const { return m_text; }
    const QString& name() const { return m_name; }

private:
    QString m_text;
    QString m_name;
};
