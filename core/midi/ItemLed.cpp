#include "ItemLed.h"

#include <utility>

ItemLed::ItemLed(const QString& idName, ObjectMidi objectMidi, int min, int max, QObject* parent)
    : ItemInterface(parent), m_idName(idName), m_objectMidi(std::move(objectMidi)), m_min(min), m_max(max) {
    setObjectName(Model::toText(ModelItem::led));
}
