#pragma once

#include <memory>
#include <string>

#include "platform/midi/MidiInputPort.h"

// A MIDI client: the named owner of input ports. Dispose of its ports before the client.
class MidiClient {
public:
    explicit MidiClient(std::string name);

    // An input port of this client; nothing is attached to it yet.
    std::unique_ptr<MidiInputPort> createInputPort(std::string portName, MidiReadProc readProc,
                                                   void* refCon) const;

private:
    std::string m_name;
};
