// The walk over a MIDI packet list as the platform layer delivers it; the bytes come from whatever
// device is plugged in.
#include "FuzzSandbox.h"
#include "core/midi/QMidiIn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t messages = 0;
    QMidiIn::walkPacketList(data, size, [&messages](quint32 message, quint32) {
        FuzzSandbox::require((message & 0xFF) >= 0x80 && (message & 0xFF) <= 0xEF, "a channel status byte");
        FuzzSandbox::require((message >> 24) == 0, "three bytes per message");
        ++messages;
    });
    FuzzSandbox::require(messages * 3 <= size, "every message comes from the list's bytes");
    return 0;
}
