#pragma once

#include "core/midi/ItemInterface.h"

// A mapped knob: its control and its min and max values as the mapping gives them.
class ItemKnob : public ItemInterface {
    Q_OBJECT
    Q_INTERFACES(ItemInterface)

public:
    ItemKnob(const QString& idName, int channel, int controller, ModelMode::EnumMode mode, int min, int max,
             QObject* parent = nullptr);

    QString idName() const override { return m_idName; }
    int channel() const override { return m_channel; }
    int controller() const override { return m_controller; }
    ModelMode::EnumMode mode() const override { return m_mode; }
    int min() const { return m_min; }
    int max() const { return m_max; }

private:
    QString m_idName;
    int m_channel;
    int m_controller;
    ModelMode::EnumMode m_mode;
    int m_min;
    int m_max;
};
