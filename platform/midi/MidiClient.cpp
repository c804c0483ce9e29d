#include "MidiClient.h"

#include <utility>

MidiClient::MidiClient(std::string name) : m_name(std::move(name)) {}

std::unique_ptr<MidiInputPort> MidiClient::createInputPort(std::string portName, MidiReadProc readProc,
                                                           void* refCon) const {
    return std::make_unique<MidiInputPort>(m_name, std::move(portName), readProc, refCon);
}
