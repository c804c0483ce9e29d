#pragma once

// Whether the ALSA sequencer can be opened now. RtMidi prints its own error on stderr before it throws
// when it cannot open the sequencer (a machine without one, such as a server or a container), so
// the MIDI layer asks here first and leaves the sequencer out quietly. Any thread.
namespace AlsaSequencer {

bool reachable();

} // namespace AlsaSequencer
