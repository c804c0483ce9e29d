#include "ItemLed.h"

ItemLed::ItemLed(const QString& idName, int channel, int controller, ModelMode::EnumMode mode, int min,
                 int max, QObject* parent)
    : ItemInterface(parent), m_idName(idName), m_channel(channel), m_controller(controller), m_mode(mode),
      m_min(min), m_max(max) {
    setObjectName(Model::toText(ModelItem::led));
}
