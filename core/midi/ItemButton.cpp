#include "ItemButton.h"

#include <utility>

ItemButton::ItemButton(const QString& idName, ObjectMidi objectMidi, int on, int off, QObject* parent)
    : ItemInterface(parent), m_idName(idName), m_objectMidi(std::move(objectMidi)), m_on(on), m_off(off) {
    setObjectName(Model::toText(ModelItem::button));
}
