#include "ItemInterface.h"

const ItemInterface* ItemInterface::find(const std::vector<std::unique_ptr<ItemInterface>>& items,
                                         const QString& idName, ModelMode::EnumMode mode) {
    for (const auto& item : items) {
        if (item->mode() == mode && item->idName() == idName)
            return item.get();
    }
    return nullptr;
}
