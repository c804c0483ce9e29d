#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "core/Model.h"

class SettingMixer;

// The audio device catalogue: the device-id texts of the devices of one direction, one per channel
// position, as the settings panel offers them and the stream factories match the stored choices.
// Input positions number stereo pairs (position p is channels 2p and 2p + 1); output positions are the
// first channel of each complete pair. GUI thread.
class DeviceCatalogue {
public:
    // One device as PortAudio describes it; `index` is its PortAudio device index.
    struct Device {
        int index = 0;
        QString name;
        int hostApi = 0;
        int maxInputChannels = 0;
        int maxOutputChannels = 0;
        double defaultSampleRate = 0.0;
    };

    // The host-API names, taken by the device's host-API index (not by the host API's type id).
    static const QStringList HOST_NAMES;

    // The name at `hostApi`; an index outside the list gives "N/A".
    static QString hostName(int hostApi);

    // The catalogue of `devices` for `direction`: an empty text first (no device), then, before each run
    // of devices of one host, a header, and the devices' positions, labelled from the mixer channel map.
    static QStringList list(const QList<Device>& devices, ModelAudioDeviceInfo::EnumAudioDeviceInfo direction,
                            const SettingMixer& mixer);

    // The devices PortAudio lists now, between a Pa_Initialize and its Pa_Terminate, so a device plugged
    // in since the last call is there. Devices without information are left out; none when PortAudio
    // cannot be initialised.
    static QList<Device> portAudioDevices();
};
