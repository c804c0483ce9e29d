#pragma once

#include <QString>

// Writes an ALSA configuration that replaces the system's (through ALSA_CONFIG_PATH) with two
// file-backed devices: "tc_capture" reads its frames from `captureFile`, "tc_playback" writes
// everything it plays into `playbackFile`; the default device pairs the two.
// The devices have no clock: they run as fast as the CPU allows.
// The capture file must exist before Pa_Initialize, or the device is not listed; it must hold the
// samples exactly in the format the stream opens, and should end with at least one buffer of
// silence, because at its end the device repeats its last buffer.
namespace AlsaTestConfig {

inline const char* const CAPTURE_DEVICE = "tc_capture";
inline const char* const PLAYBACK_DEVICE = "tc_playback";

bool write(const QString& configPath, const QString& captureFile, const QString& playbackFile);

// Silences ALSA's messages on stderr for this process.
void silenceAlsa();

} // namespace AlsaTestConfig
