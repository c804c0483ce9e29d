#pragma once

#include "PlaySound.h"

// One sound channel of the player (looper, sound A, sound B or metronome): a one-shot sound played
// at a speed factor and a volume.
//
// The set-up (sound, volume, factor) is built on the GUI thread and published whole; the play
// state (active, position) belongs to the output callback and changes only on the audio thread.
class OutputFactorSpeed {
public:
    struct Setup {
        PlaySound wav;
        double volume = 1.0;
        // Samples of the sound advanced per output frame.
        double factorSpeed = 1.0;
    };

    // Audio thread, all of them.
    bool active() const { return m_active; }
    double position() const { return m_position; }
    // The position is kept: a finished channel starts again from 0, a playing one goes on.
    void activate() { m_active = true; }
    void deactivate() { m_active = false; }
    void rewind() { m_position = 0.0; }

    // Adds one frame of the sound to (left, right); once the position reaches the last sample the
    // channel stops and rewinds, so each activation plays the sound once. Nothing without a sound.
    void generateSoundWavFactorSpeed(const Setup& setup, double& left, double& right);

private:
    bool m_active = false;
    // In samples of the sound.
    double m_position = 0.0;
};
