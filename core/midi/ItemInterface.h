#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

#include "core/Model.h"
#include "core/midi/ObjectMidi.h"

// One mapped control of a controller mapping: its id name and its MIDI control (channel, controller
// number, page mode). Built and read on the GUI thread.
class ItemInterface : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QString idName() const = 0;
    virtual const ObjectMidi& objectMidi() const = 0;
    // The mode of its control.
    virtual ModelMode::EnumMode mode() const = 0;
};

Q_DECLARE_INTERFACE(ItemInterface, "Quillon.ItemInterface/1.0")

// The mapped controls in document order, owned by the holder of the list.
using ItemInterfaceList = std::vector<std::unique_ptr<ItemInterface>>;
