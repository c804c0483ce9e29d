#pragma once

#include <vector>

#include "platform/midi/MidiSource.h"

// The MIDI sources present now: the ALSA sequencer's (through RtMidi), then the JACK server's.
class MidiSystem {
public:
    // Makes the list of sources current before it is read. Nothing needs doing here: every listing
    // asks the MIDI systems afresh.
    static void runLoopPass();

    // The sources in listing order; the position in the list is the source's index. A back end that
    // cannot be reached contributes nothing, so with none the list is empty. Never throws.
    // May be called from any thread.
    static std::vector<MidiSource> sources();
};
