#pragma once

#include "core/midi/ItemInterface.h"

// A mapped led: its control, which it owns, and its min and max values as the mapping gives them.
class ItemLed : public ItemInterface {
    Q_OBJECT
    Q_INTERFACES(ItemInterface)

public:
    ItemLed(const QString& idName, ObjectMidi objectMidi, int min, int max, QObject* parent = nullptr);

    QString idName() const override { return m_idName; }
    const ObjectMidi& objectMidi() const override { return m_objectMidi; }
    ModelMode::EnumMode mode() const override { return m_objectMidi.mode(); }
    int min() const { return m_min; }
    int max() const { return m_max; }

private:
    QString m_idName;
    ObjectMidi m_objectMidi;
    int m_min;
    int m_max;
};
