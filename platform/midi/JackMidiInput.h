#pragma once

// Private to the platform layer.
#include <jack/jack.h>
#include <jack/ringbuffer.h>
#include <semaphore.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "JackMidiRing.h"

// A JACK client with one MIDI input port connected to a source port. Written on libjack itself
// rather than RtMidi: RtMidi unregisters its port while the client is still active, which races with
// libjack's own notification thread and can crash the process, and it activates even a client that
// only lists ports, which under load can leave the server's cycle failing for many seconds. Closing
// the client here deactivates it before the server removes the port.
//
// JACK's process thread may be real-time: it only stamps each message, copies it into a lock-free
// ring (libjack's) and posts a semaphore, allocating nothing and taking no lock. A reader thread of
// this object takes the messages out and hands them to the message procedure, which may allocate,
// lock and emit as it likes.
class JackMidiInput {
public:
    // Longer messages (system exclusive) are dropped; channel messages are 3 bytes at most.
    static constexpr std::size_t MAX_MESSAGE_SIZE = JackMidiRing::MAX_MESSAGE_SIZE;

    // The full names of the MIDI output ports of the JACK server, read by a client that is never
    // activated; empty when no server can be reached.
    static std::vector<std::string> sources(const std::string& clientName);

    // Receives one MIDI message, stamped in nanoseconds of the monotonic clock when JACK's process
    // thread took it; runs on the reader thread, one message at a time, in the order they arrived.
    using MessageProc = JackMidiRing::MessageProc;

    // The client connected to `source` (a full port name), or none when any step fails.
    static std::unique_ptr<JackMidiInput> open(const std::string& clientName, const std::string& portName,
                                               const std::string& source, MessageProc proc, void* context);
    // Once this returns the process and reader threads have stopped: `proc` is not called any more.
    ~JackMidiInput();
    JackMidiInput(const JackMidiInput&) = delete;
    JackMidiInput& operator=(const JackMidiInput&) = delete;

    // The thread JACK runs the process callback on (0 before the client is active).
    jack_native_thread_t processThread() const { return jack_client_thread_id(m_client); }

private:
    JackMidiInput(jack_client_t* client, jack_ringbuffer_t* ring, MessageProc proc, void* context);
    static int process(jack_nframes_t frames, void* self);
    void read();

    jack_client_t* m_client;
    jack_port_t* m_port = nullptr;
    // Written by the process thread only, read by the reader thread only.
    jack_ringbuffer_t* m_ring;
    sem_t m_pending;
    std::atomic<bool> m_stopping{false};
    MessageProc m_proc;
    void* m_context;
    std::thread m_reader;
};
