#pragma once

#include <string>

// The MIDI systems the layer can reach, in the order they are tried.
enum class MidiBackEnd { AlsaSequencer, Jack };

// One MIDI source (a port that sends MIDI) as the layer listed it. A source is found again by its
// back end and name when it is attached, so a list taken earlier never opens another port in its place.
struct MidiSource {
    MidiBackEnd backEnd;
    std::string name; // the display name; empty when it could not be read
};
