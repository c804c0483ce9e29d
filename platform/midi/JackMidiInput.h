#pragma once

// Private to the platform layer.
#include <jack/jack.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A JACK client with one MIDI input port connected to a source port. Written on libjack itself
// rather than RtMidi: RtMidi unregisters its port while the client is still active, which races with
// libjack's own notification thread and can crash the process, and it activates even a client that
// only lists ports, which under load can leave the server's cycle failing for many seconds. Closing
// the client here deactivates it before the server removes the port.
class JackMidiInput {
public:
    // The full names of the MIDI output ports of the JACK server, read by a client that is never
    // activated; empty when no server can be reached.
    static std::vector<std::string> sources(const std::string& clientName);

    // Receives one MIDI message; runs on the client's process thread.
    using MessageProc = void (*)(const std::uint8_t* bytes, std::size_t length, void* context);

    // The client connected to `source` (a full port name), or none when any step fails.
    static std::unique_ptr<JackMidiInput> open(const std::string& clientName, const std::string& portName,
                                               const std::string& source, MessageProc proc, void* context);
    // Once this returns the process thread has stopped: `proc` is not called any more.
    ~JackMidiInput();
    JackMidiInput(const JackMidiInput&) = delete;
    JackMidiInput& operator=(const JackMidiInput&) = delete;

private:
    JackMidiInput(jack_client_t* client, MessageProc proc, void* context);
    static int process(jack_nframes_t frames, void* self);

    jack_client_t* m_client;
    jack_port_t* m_port = nullptr;
    MessageProc m_proc;
    void* m_context;
};
