#include "AlsaSequencer.h"

#include <alsa/asoundlib.h>

bool AlsaSequencer::reachable() {
    // Opened as RtMidi opens it; ALSA's own message on failure goes to its error handler.
    snd_seq_t* sequencer = nullptr;
    if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0)
        return false;
    snd_seq_close(sequencer);
    return true;
}
