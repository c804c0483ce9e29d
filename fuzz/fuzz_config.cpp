// The configuration store over a hostile config.ini and MixerMac.ini (both in the data folder's Input
// folder, both may come from someone else): the input is written as both files.
#include "FuzzSandbox.h"
#include "core/Setting.h"
#include "core/SettingMixer.h"
#include "core/audio/DeviceCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString input = FuzzSandbox::dataFolder() + "/Input/";
    FuzzSandbox::writeInput(data, size, input + "config.ini");
    FuzzSandbox::writeInput(data, size, input + "MixerMac.ini");

    Setting setting; // reads every key
    // A setter rewrites the whole file from what was read.
    setting.setParamName(setting.paramName(false));

    const SettingMixer mixer;
    // One interface the shipped map knows, one named like keys outside any section.
    const QList<DeviceCatalogue::Device> devices{{0, QStringLiteral("Audio 8 DJ"), 8, 8, 8, 48000.0},
                                                 {1, QStringLiteral("inputA outputA"), 8, 6, 6, 44100.0}};
    DeviceCatalogue::list(devices, ModelAudioDeviceInfo::AUDIO_INPUT, mixer);
    DeviceCatalogue::list(devices, ModelAudioDeviceInfo::AUDIO_OUTPUT, mixer);
    return 0;
}
