#include "JackMidiInput.h"

#include <jack/midiport.h>

JackMidiInput::JackMidiInput(jack_client_t* client, MessageProc proc, void* context)
    : m_client(client), m_proc(proc), m_context(context) {}

JackMidiInput::~JackMidiInput() {
    // Deactivates, then the server drops the client together with its port.
    jack_client_close(m_client);
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
    std::unique_ptr<JackMidiInput> input(new JackMidiInput(client, proc, context));
    input->m_port = jack_port_register(client, portName.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!input->m_port || jack_set_process_callback(client, &JackMidiInput::process, input.get()) != 0 ||
        jack_activate(client) != 0 ||
        jack_connect(client, source.c_str(), jack_port_name(input->m_port)) != 0)
        return nullptr;
    return input;
}

// Runs on the client's process thread: no allocation, no locking.
int JackMidiInput::process(jack_nframes_t frames, void* self) {
    auto* input = static_cast<JackMidiInput*>(self);
    void* buffer = jack_port_get_buffer(input->m_port, frames);
    const jack_nframes_t count = jack_midi_get_event_count(buffer);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) == 0)
            input->m_proc(event.buffer, event.size, input->m_context);
    }
    return 0;
}
