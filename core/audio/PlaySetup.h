#pragma once

#include "Deck.h"
#include "OutputFactorSpeed.h"

// Everything the output callback plays from that the GUI thread decides: the output frame layout,
// the two decks' and the four sound channels' set-ups. Built on the GUI thread and never changed
// once published; the callback takes the newest one at the start of each buffer.
struct PlaySetup {
    enum Channel { LOOPER, SOUND_A, SOUND_B, METRONOM, CHANNELS };

    // Samples per output frame and the channel position of the mixed pair; 0 channels writes nothing.
    int channels = 0;
    int pos = 0;
    // Deck A (input A), deck B (input B).
    Deck::Setup deck[2];
    OutputFactorSpeed::Setup channel[CHANNELS];
};
