#include "ParserMidi.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>

#include "core/midi/ItemButton.h"
#include "core/midi/ItemKnob.h"
#include "core/Function.h"
#include "core/midi/ItemLed.h"
#include "core/midi/ItemWheel.h"

namespace {

// Far deeper than any mapping needs (root, controller, midi-map, pages, page, control, value).
constexpr int MAX_DEPTH = 32;

// The numbers a control element may give; every one is 0 unless its child element says otherwise.
struct ControlValues {
    int channel = 0;
    int controller = 0;
    int on = 0;
    int off = 0;
    int min = 0;
    int max = 0;
};

// The value named by a child element's tag (compared exactly), or none for any other tag.
int* fieldOf(ControlValues& values, const QString& tag) {
    using namespace ModelItem;
    const std::pair<EnumSubItem, int*> fields[] = {
        {channel, &values.channel}, {controller, &values.controller},
        {on, &values.on},           {off, &values.off},
        {min, &values.min},         {max, &values.max},
    };
    for (const auto& [subItem, field] : fields) {
        if (tag == Model::toText(subItem))
            return field;
    }
    return nullptr;
}

ControlValues readValues(const QDomElement& control) {
    ControlValues values;
    for (QDomElement child = control.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (int* field = fieldOf(values, child.tagName()))
            *field = child.text().toInt(); // not a whole number, or beyond 32 bits: 0
    }
    return values;
}

// The item for a control element, or none when its tag is not one of the four kinds.
std::unique_ptr<ItemInterface> makeItem(const QDomElement& control, ModelMode::EnumMode mode) {
    const ControlValues v = readValues(control);
    const QString id = control.attribute(ParserMidi::ID);
    ObjectMidi objectMidi(v.channel, v.controller, mode);
    objectMidi.setName(id);
    const QString tag = control.tagName();
    if (tag == Model::toText(ModelItem::button))
        return std::make_unique<ItemButton>(id, std::move(objectMidi), v.on, v.off);
    if (tag == Model::toText(ModelItem::wheel))
        return std::make_unique<ItemWheel>(id, std::move(objectMidi), v.min, v.max);
    if (tag == Model::toText(ModelItem::knob))
        return std::make_unique<ItemKnob>(id, std::move(objectMidi), v.min, v.max);
    if (tag == Model::toText(ModelItem::led))
        return std::make_unique<ItemLed>(id, std::move(objectMidi), v.min, v.max);
    return nullptr;
}

} // namespace

ItemInterfaceList ParserMidi::parseXmlNi(const QString& path, const QString& controller) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QDomDocument document;
    if (!Function::xmlNestedWithin(bytes, MAX_DEPTH) || !document.setContent(bytes, false))
        return {};
    const QDomElement root = document.documentElement();
    if (root.tagName() != ROOT)
        return {};
    for (QDomElement element = root.firstChildElement(CONTROLLER); !element.isNull();
         element = element.nextSiblingElement(CONTROLLER)) {
        if (element.attribute(TYPE) == controller)
            return parseController(element);
    }
    return {};
}

ItemInterfaceList ParserMidi::parseController(const QDomElement& controller) {
    const QDomElement midiMap = controller.firstChildElement(MIDI_MAP);
    if (midiMap.isNull())
        return {};
    return parseMidiMap(midiMap);
}

ItemInterfaceList ParserMidi::parseMidiMap(const QDomElement& midiMap) {
    ItemInterfaceList items;
    const QString pageTag = Model::toText(ModelItem::page);
    const QDomElement pages = midiMap.firstChildElement(Model::toText(ModelItem::pages));
    for (QDomElement page = pages.firstChildElement(pageTag); !page.isNull();
         page = page.nextSiblingElement(pageTag)) {
        // A name that is no mode's exact key, an empty one included, is Basic.
        const auto mode = Model::fromText<ModelMode::EnumMode>(page.attribute(NAME));
        for (QDomElement control = page.firstChildElement(); !control.isNull();
             control = control.nextSiblingElement()) {
            if (auto item = makeItem(control, mode))
                items.push_back(std::move(item));
        }
    }
    return items;
}
