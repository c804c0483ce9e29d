#pragma once

// ALSA and libjack print their own diagnostics on stderr whenever devices are listed or a JACK
// server is looked for (every time a device list opens). Nothing is wrong then: a missing device or
// server simply leaves that choice out. Call once, at start-up, before any device is listed.
namespace NativeLogs {

void silence();

} // namespace NativeLogs
