#include "ItemButton.h"

ItemButton::ItemButton(const QString& idName, int channel, int controller, ModelMode::EnumMode mode, int on,
                       int off, QObject* parent)
    : ItemInterface(parent), m_idName(idName), m_channel(channel), m_controller(controller), m_mode(mode),
      m_on(on), m_off(off) {
    setObjectName(Model::toText(ModelItem::button));
}
