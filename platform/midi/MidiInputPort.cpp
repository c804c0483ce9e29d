#include "MidiInputPort.h"

#include <array>
#include <chrono>
#include <cstring>
#include <utility>

#include <RtMidi.h>

#include "AlsaSequencer.h"
#include "JackMidiInput.h"

namespace {

// Channel messages are at most 3 bytes; only system exclusive is longer, and it never becomes a
// channel message. A longer message is dropped.
constexpr std::size_t MAX_MESSAGE_SIZE = JackMidiInput::MAX_MESSAGE_SIZE;

} // namespace

MidiInputPort::MidiInputPort(std::string clientName, std::string portName, MidiReadProc readProc,
                             void* refCon)
    : m_clientName(std::move(clientName)), m_portName(std::move(portName)), m_readProc(readProc),
      m_refCon(refCon) {}

MidiInputPort::~MidiInputPort() {
    disconnectSource();
}

bool MidiInputPort::connectSource(const MidiSource& source) {
    disconnectSource();
    if (source.name.empty())
        return false;
    if (source.backEnd == MidiBackEnd::AlsaSequencer)
        return connectAlsa(source.name);
    m_jack = JackMidiInput::open(m_clientName, m_portName, source.name, &MidiInputPort::deliver, this);
    return m_jack != nullptr;
}

bool MidiInputPort::connectAlsa(const std::string& source) {
    if (!AlsaSequencer::reachable())
        return false;
    try {
        auto input = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, m_clientName);
        const unsigned int count = input->getPortCount();
        for (unsigned int i = 0; i < count; ++i) {
            if (input->getPortName(i) != source)
                continue;
            input->setCallback(&MidiInputPort::receiveRtMidi, this);
            input->openPort(i, m_portName);
            m_alsa = std::move(input);
            return true;
        }
    } catch (const std::exception&) {
        // The sequencer is gone or refused the port: nothing is attached.
    }
    return false;
}

void MidiInputPort::disconnectSource() {
    // Both wait for their delivery thread to stop, so no callback outlives this.
    m_alsa.reset();
    m_jack.reset();
}

// Runs on RtMidi's input thread.
void MidiInputPort::receiveRtMidi(double, std::vector<unsigned char>* message, void* port) {
    const auto stamp = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                      std::chrono::steady_clock::now().time_since_epoch())
                                                      .count());
    deliver(stamp, message->data(), message->size(), port);
}

// Runs on the MIDI layer's delivering thread. Builds the packet on the stack.
void MidiInputPort::deliver(std::uint64_t stamp, const std::uint8_t* bytes, std::size_t length, void* port) {
    auto* self = static_cast<MidiInputPort*>(port);
    if (length > MAX_MESSAGE_SIZE)
        return;
    const auto length16 = static_cast<std::uint16_t>(length);
    std::array<std::uint8_t, HEADER_SIZE + MAX_MESSAGE_SIZE> packet;
    std::memcpy(packet.data(), &stamp, TIME_STAMP_SIZE);
    std::memcpy(packet.data() + TIME_STAMP_SIZE, &length16, LENGTH_SIZE);
    if (length > 0)
        std::memcpy(packet.data() + HEADER_SIZE, bytes, length);
    self->m_readProc(packet.data(), HEADER_SIZE + length, self->m_refCon);
}
