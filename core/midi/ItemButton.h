#pragma once

#include "core/midi/ItemInterface.h"

// A mapped button: its control and its on and off values as the mapping gives them.
class ItemButton : public ItemInterface {
    Q_OBJECT
    Q_INTERFACES(ItemInterface)

public:
    ItemButton(const QString& idName, int channel, int controller, ModelMode::EnumMode mode, int on, int off,
               QObject* parent = nullptr);

    QString idName() const override { return m_idName; }
    int channel() const override { return m_channel; }
    int controller() const override { return m_controller; }
    ModelMode::EnumMode mode() const override { return m_mode; }
    int on() const { return m_on; }
    int off() const { return m_off; }

private:
    QString m_idName;
    int m_channel;
    int m_controller;
    ModelMode::EnumMode m_mode;
    int m_on;
    int m_off;
};
