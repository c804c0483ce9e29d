#include "MidiSystem.h"

#include <RtMidi.h>

#include "AlsaSequencer.h"
#include "JackMidiInput.h"

namespace {

const char* const LISTING_CLIENT = "Quillon source list";

} // namespace

void MidiSystem::runLoopPass() {}

std::vector<MidiSource> MidiSystem::sources() {
    std::vector<MidiSource> list;
    try {
        if (AlsaSequencer::reachable()) {
            RtMidiIn lister(RtMidi::LINUX_ALSA, LISTING_CLIENT);
            const unsigned int count = lister.getPortCount();
            for (unsigned int i = 0; i < count; ++i)
                list.push_back({MidiBackEnd::AlsaSequencer, lister.getPortName(i)});
        }
    } catch (const std::exception&) {
        // The sequencer went, or refused the client, between the two openings: it lists nothing.
    }
    for (std::string& name : JackMidiInput::sources(LISTING_CLIENT))
        list.push_back({MidiBackEnd::Jack, std::move(name)});
    return list;
}
