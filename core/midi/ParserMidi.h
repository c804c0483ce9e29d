#pragma once

#include <QString>

#include "core/midi/ItemInterface.h"

class QDomElement;

// Reads a controller mapping ("ni-controller-midi-map" XML) for one controller type into its mapped
// controls. Reads only; never writes a mapping. Runs on the GUI thread.
class ParserMidi {
public:
    inline static const QString ROOT = QStringLiteral("ni-controller-midi-map");
    inline static const QString CONTROLLER = QStringLiteral("controller");
    inline static const QString MIDI_MAP = QStringLiteral("midi-map");
    inline static const QString TYPE = QStringLiteral("type");
    inline static const QString NAME = QStringLiteral("name");
    inline static const QString ID = QStringLiteral("id");

    // The mapped controls of `controller` (matched exactly) in document order, page after page;
    // empty when the file cannot be read, is not such a mapping, has nothing for that type or nests
    // elements deeper than any mapping does.
    static ItemInterfaceList parseXmlNi(const QString& path, const QString& controller);

private:
    static ItemInterfaceList parseController(const QDomElement& controller);
    static ItemInterfaceList parseMidiMap(const QDomElement& midiMap);
};
