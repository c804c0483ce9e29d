#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

#include "core/Model.h"

// One mapped control of a controller mapping: its id name, its MIDI control (channel, controller
// number) and the page mode it belongs to. Built and read on the GUI thread.
class ItemInterface : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QString idName() const = 0;
    virtual int channel() const = 0;
    virtual int controller() const = 0;
    virtual ModelMode::EnumMode mode() const = 0;

    // The first control in `items` of exactly this id name (case-sensitive) and mode, or none.
    static const ItemInterface* find(const std::vector<std::unique_ptr<ItemInterface>>& items,
                                     const QString& idName, ModelMode::EnumMode mode);
};

Q_DECLARE_INTERFACE(ItemInterface, "Quillon.ItemInterface/1.0")

// The mapped controls in document order, owned by the holder of the list.
using ItemInterfaceList = std::vector<std::unique_ptr<ItemInterface>>;
