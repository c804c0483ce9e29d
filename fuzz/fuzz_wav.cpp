// The WAV reader (scratch sounds, loops and recordings inside packages).
#include "FuzzSandbox.h"
#include "core/ManageWAV.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto wav = ManageWAV::extractStereoWAVFromFile(FuzzSandbox::writeInput(data, size));
    FuzzSandbox::require(wav != nullptr, "the reader never gives null");
    qsizetype samples = 0;
    for (const QList<qint16>& channel : wav->listWav())
        samples += channel.size();
    FuzzSandbox::require(wav->listWav().size() == wav->channels(), "one sample list per channel");
    FuzzSandbox::require(samples * 2 <= qsizetype(size), "every sample comes from the file's bytes");
    return 0;
}
