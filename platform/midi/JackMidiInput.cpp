#include "JackMidiInput.h"

#include <jack/midiport.h>

#include <cerrno>
#include <chrono>

namespace {

// About 5000 control changes: more than a controller sends while the reader is held up.
constexpr std::size_t RING_SIZE = 1 << 16;

std::uint64_t nowNs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

} // namespace

JackMidiInput::JackMidiInput(jack_client_t* client, jack_ringbuffer_t* ring, MessageProc proc, void* context)
    : m_client(client), m_ring(ring), m_proc(proc), m_context(context) {
    sem_init(&m_pending, 0, 0);
    m_reader = std::thread(&JackMidiInput::read, this);
}

JackMidiInput::~JackMidiInput() {
    // Deactivates, then the server drops the client together with its port: no more writes.
    jack_client_close(m_client);
    m_stopping.store(true, std::memory_order_release);
    sem_post(&m_pending);
    m_reader.join();
    sem_destroy(&m_pending);
    jack_ringbuffer_free(m_ring);
}

std::vector<std::string> JackMidiInput::sources(const std::string& clientName) {
    std::vector<std::string> names;
    jack_client_t* client = jack_client_open(clientName.c_str(), JackNoStartServer, nullptr);
    if (!client)
        return names;
    if (const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput)) {
        for (const char** port = ports; *port; ++port)
            names.emplace_back(*port);
        jack_free(ports);
    }
    jack_client_close(client);
    return names;
}

std::unique_ptr<JackMidiInput> JackMidiInput::open(const std::string& clientName, const std::string& portName,
                                                   const std::string& source, MessageProc proc,
                                                   void* context) {
    jack_client_t* client = jack_client_open(clientName.c_str(), JackNoStartServer, nullptr);
    if (!client)
        return nullptr;
    jack_ringbuffer_t* ring = jack_ringbuffer_create(RING_SIZE);
    if (!ring) {
        jack_client_close(client);
        return nullptr;
    }
    // Kept in memory, so the process thread never waits for a page.
    jack_ringbuffer_mlock(ring);
    std::unique_ptr<JackMidiInput> input(new JackMidiInput(client, ring, proc, context));
    input->m_port = jack_port_register(client, portName.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!input->m_port || jack_set_process_callback(client, &JackMidiInput::process, input.get()) != 0 ||
        jack_activate(client) != 0 ||
        jack_connect(client, source.c_str(), jack_port_name(input->m_port)) != 0)
        return nullptr;
    return input;
}

// JACK's process thread: no allocation, no lock, no call out.
int JackMidiInput::process(jack_nframes_t frames, void* self) {
    auto* input = static_cast<JackMidiInput*>(self);
    void* buffer = jack_port_get_buffer(input->m_port, frames);
    const jack_nframes_t count = jack_midi_get_event_count(buffer);
    if (count == 0)
        return 0;
    const std::uint64_t stamp = nowNs();
    bool written = false;
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0 || event.size > MAX_MESSAGE_SIZE)
            continue;
        // A reader that fell this far behind loses the newest messages, never the thread its time.
        if (!JackMidiRing::write(input->m_ring, stamp, event.buffer, event.size))
            break;
        written = true;
    }
    if (written)
        sem_post(&input->m_pending);
    return 0;
}

// The reader thread: waits for the process thread's post, then delivers every whole message in the
// ring. A message still half written is delivered after the post that follows its last byte.
void JackMidiInput::read() {
    for (;;) {
        while (sem_wait(&m_pending) != 0 && errno == EINTR) {
        }
        if (m_stopping.load(std::memory_order_acquire))
            return;
        JackMidiRing::read(m_ring, m_proc, m_context);
    }
}
