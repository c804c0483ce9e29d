// The parsers of the stored audio and MIDI device choices (texts of config.ini).
#include "FuzzSandbox.h"
#include "core/QDeviceRegEx.h"
#include "core/QMidiRegEx.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QDeviceRegEx device(text);
    FuzzSandbox::require(device.id() >= 0 && device.channels() >= 0 && device.pos() >= 0,
                         "the digit groups never read negative");
    FuzzSandbox::require(device.samplerate() >= 0.0, "the rate never reads negative or not a number");
    const QMidiRegEx midi(text);
    FuzzSandbox::require(midi.name() == text, "a MIDI choice is its whole text");
    return 0;
}
