#pragma once

#include "core/midi/ItemInterface.h"

// A mapped button: its control, which it owns, and its on and off values as the mapping gives them.
class ItemButton : public ItemInterface {
    Q_OBJECT
    Q_INTERFACES(ItemInterface)

public:
    ItemButton(const QString& idName, ObjectMidi objectMidi, int on, int off, QObject* parent = nullptr);

    QString idName() const override { return m_idName; }
    const ObjectMidi& objectMidi() const override { return m_objectMidi; }
    ModelMode::EnumMode mode() const override { return m_objectMidi.mode(); }
    int on() const { return m_on; }
    int off() const { return m_off; }

private:
    QString m_idName;
    ObjectMidi m_objectMidi;
    int m_on;
    int m_off;
};
