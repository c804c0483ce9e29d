#include "JackMidiInput.h"

#include <jack/midiport.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

// A message in the ring: its stamp, its length, then its bytes; written whole in one go.
constexpr std::size_t STAMP_SIZE = sizeof(std::uint64_t);
constexpr std::size_t LENGTH_SIZE = sizeof(std::uint16_t);
constexpr std::size_t HEADER_SIZE = STAMP_SIZE + LENGTH_SIZE;
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
    std::array<char, HEADER_SIZE + MAX_MESSAGE_SIZE> record;
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0 || event.size > MAX_MESSAGE_SIZE)
            continue;
        const std::size_t size = HEADER_SIZE + event.size;
        // A reader that fell this far behind loses the newest messages, never the thread its time.
        if (jack_ringbuffer_write_space(input->m_ring) < size)
            break;
        const auto length = static_cast<std::uint16_t>(event.size);
        std::memcpy(record.data(), &stamp, STAMP_SIZE);
        std::memcpy(record.data() + STAMP_SIZE, &length, LENGTH_SIZE);
        if (event.size > 0)
            std::memcpy(record.data() + HEADER_SIZE, event.buffer, event.size);
        jack_ringbuffer_write(input->m_ring, record.data(), size);
        written = true;
    }
    if (written)
        sem_post(&input->m_pending);
    return 0;
}

// The reader thread: waits for the process thread's post, then delivers every whole message in the ring.
void JackMidiInput::read() {
    std::array<char, HEADER_SIZE + MAX_MESSAGE_SIZE> record;
    for (;;) {
        while (sem_wait(&m_pending) != 0 && errno == EINTR) {
        }
        if (m_stopping.load(std::memory_order_acquire))
            return;
        while (jack_ringbuffer_read_space(m_ring) >= HEADER_SIZE) {
            jack_ringbuffer_peek(m_ring, record.data(), HEADER_SIZE);
            std::uint64_t stamp = 0;
            std::uint16_t length = 0;
            std::memcpy(&stamp, record.data(), STAMP_SIZE);
            std::memcpy(&length, record.data() + STAMP_SIZE, LENGTH_SIZE);
            // Each message is written whole, so its bytes are there once its header is.
            jack_ringbuffer_read(m_ring, record.data(), HEADER_SIZE + length);
            m_proc(stamp, reinterpret_cast<const std::uint8_t*>(record.data() + HEADER_SIZE), length,
                   m_context);
        }
    }
}
