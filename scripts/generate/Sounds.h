#pragma once

#include <QString>

#include <array>
#include <vector>

// Sounds made from numbers alone (no recording, no sample of anyone's), so that regenerating them
// gives the same samples. Stereo frames at 48000 per second, values in [-1, 1].
namespace Sounds {

using Frames = std::vector<std::array<double, 2>>;

inline constexpr int RATE = 48000;

// The metronome's click: a short bright tick.
Frames click();
// One bar of a plain beat (kick, snare, hi-hat in eighths) at `bpm`, a little shorter than the bar
// so that the bar signal always finds it finished and starts it again on time.
Frames drumLoop(double bpm);
// A sung "ahh" of one platter turn (1.8 s): the voice, then silence, as scratch sounds are cut.
Frames vowel();

// Writes 16-bit stereo PCM through the application's own WAV writer. False when nothing was written.
bool write(const QString& path, const Frames& frames);

} // namespace Sounds
