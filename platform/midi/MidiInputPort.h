#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/MidiSource.h"

class JackMidiInput;
class RtMidiIn;

// Receives one packet list: packets back to back, each a time stamp (8 bytes), a data length
// (2 bytes), both in the host's byte order, then that many data bytes. Runs on a thread of the MIDI
// layer (RtMidi's ALSA thread, or the JACK input's reader thread, never JACK's process thread), never
// on the thread that attached the source.
using MidiReadProc = void (*)(const std::uint8_t* packetList, std::size_t size, void* refCon);

// An input port: a source attached to it delivers its messages to the read procedure, one packet
// per message, time-stamped on a monotonic clock in nanoseconds when it arrives.
// All operations run on one thread, the owner's.
class MidiInputPort {
public:
    static constexpr std::size_t TIME_STAMP_SIZE = 8;
    static constexpr std::size_t LENGTH_SIZE = 2;
    static constexpr std::size_t HEADER_SIZE = TIME_STAMP_SIZE + LENGTH_SIZE;

    MidiInputPort(std::string clientName, std::string portName, MidiReadProc readProc, void* refCon);
    ~MidiInputPort();
    MidiInputPort(const MidiInputPort&) = delete;
    MidiInputPort& operator=(const MidiInputPort&) = delete;

    // Attaches `source` (found again by its back end and name), replacing any source attached before.
    // False, with nothing attached, when the source is gone or its MIDI system cannot be reached.
    bool connectSource(const MidiSource& source);
    // Detaches the source; once this returns the read procedure is not called any more.
    void disconnectSource();

private:
    bool connectAlsa(const std::string& source);
    static void receiveRtMidi(double deltaTime, std::vector<unsigned char>* message, void* port);
    static void deliver(std::uint64_t stamp, const std::uint8_t* bytes, std::size_t length, void* port);

    std::string m_clientName;
    std::string m_portName;
    MidiReadProc m_readProc;
    void* m_refCon;
    // At most one is present, while a source is attached.
    std::unique_ptr<RtMidiIn> m_alsa;
    std::unique_ptr<JackMidiInput> m_jack;
};
