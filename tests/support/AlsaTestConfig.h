#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

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

// Writes a capture file of `frames` frames of `channels` interleaved 16-bit samples, sample `c` of frame
// `f` being sampleAt(f, c), followed by `silence` frames of zeros. The file plugin cannot be held to
// fewer channels without losing or scrambling frames, so the test capture device reports many (128)
// and a stream opened with all of them reads the file exactly as written.
bool writeCaptureFile(const QString& path, int channels, qint64 frames,
                      const std::function<qint16(qint64 frame, int channel)>& sampleAt, qint64 silence);

// Silences ALSA's messages on stderr for this process.
void silenceAlsa();

} // namespace AlsaTestConfig
