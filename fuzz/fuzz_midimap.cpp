// The controller-mapping reader (the .ncc file in the data folder's Input folder).
#include "FuzzSandbox.h"
#include "core/midi/ParserMidi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ItemInterfaceList items =
        ParserMidi::parseXmlNi(FuzzSandbox::writeInput(data, size), QStringLiteral("Traktor Kontrol Z2"));
    for (const auto& item : items) {
        FuzzSandbox::require(item != nullptr, "every listed control exists");
        item->idName();
        item->objectMidi().status();
    }
    return 0;
}
