#pragma once

#include <QString>

#include "core/Model.h"

// One MIDI control-change control (channel, controller number, mapping page) and, for a crossfader
// position, the received value with the thresholds that split the fader's travel. A plain value.
class ObjectMidi {
public:
    // Stamps the object with the local time of day.
    ObjectMidi(int channel, int controller, ModelMode::EnumMode mode);

    int channel() const { return m_channel; }
    int controller() const { return m_controller; }
    ModelMode::EnumMode mode() const { return m_mode; }
    // Milliseconds since local midnight when the object was made; 0 when the clock gave none.
    int time() const { return m_time; }
    const QString& name() const { return m_name; }
    int value() const { return m_value; }
    int crossLeft() const { return m_crossLeft; }
    int crossRight() const { return m_crossRight; }

    void setName(const QString& name) { m_name = name; }
    void setValue(int value) { m_value = value; }
    void setCrossLeftRight(int left, int right);

    // RIGHT from the right threshold up, MIDDLE above the left threshold, else LEFT.
    ModelCrossFader::EnumCrossFader status() const;

private:
    int m_channel;
    int m_controller;
    ModelMode::EnumMode m_mode;
    int m_time;
    QString m_name;
    int m_value = 0;
    int m_crossLeft = 0;
    int m_crossRight = 127;
};
