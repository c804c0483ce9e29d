#include "DeviceCatalogue.h"

#include <portaudio.h>

#include <climits>
#include <cmath>

#include "core/SettingMixer.h"

const QStringList DeviceCatalogue::HOST_NAMES = {QStringLiteral("InDevelopment"),
                                                 QStringLiteral("DirectSound"),
                                                 QStringLiteral("MME"),
                                                 QStringLiteral("ASIO"),
                                                 QStringLiteral("SoundManager"),
                                                 QStringLiteral("CoreAudio"),
                                                 QStringLiteral("N/A"),
                                                 QStringLiteral("OSS"),
                                                 QStringLiteral("ALSA"),
                                                 QStringLiteral("AL"),
                                                 QStringLiteral("BeOS"),
                                                 QStringLiteral("WDMKS"),
                                                 QStringLiteral("JACK"),
                                                 QStringLiteral("WASAPI"),
                                                 QStringLiteral("AudioScienceHPI")};

namespace {

struct Label {
    const char* key;
    const char* text;
};

// The map's keys in the order in which they claim a position.
const QList<Label>& labels(bool input) {
    static const QList<Label> in{{"inputA", "Input A"}, {"inputB", "Input B"}, {"inputMaster", "Master"}};
    static const QList<Label> out{{"outputA", "Output A"},
                                  {"outputB", "Output B"},
                                  {"outputMaster", "Master"},
                                  {"outputHeadphone", "Headphone"}};
    return input ? in : out;
}

const QString TBD = QStringLiteral("TBD");

// The default rate truncated to an integer; a rate that is not a usable number reads 0.
int wholeRate(double rate) {
    return std::isfinite(rate) && rate >= 0.0 && rate < double(INT_MAX) ? int(rate) : 0;
}

QString entry(const DeviceCatalogue::Device& device, int rate, int channels, int pos, const QString& host,
              const QString& label) {
    return QStringLiteral("%1-[%2]-%3/%4p%5-%6-%7")
        .arg(QString::number(device.index), device.name, QString::number(rate), QString::number(channels),
             QString::number(pos), host, label);
}

void appendOnce(QStringList& list, const QString& text) {
    if (!list.contains(text))
        list.append(text);
}

// Inputs: one position per complete stereo pair. Outputs: the first channel of each complete pair.
QList<int> positions(int channels, bool input) {
    QList<int> out;
    for (int channel = 0; channel + 1 < channels; channel += 2)
        out.append(input ? channel / 2 : channel);
    return out;
}

// A map value that is not a number reads 0.
int mapPosition(const QString& value) {
    bool ok = false;
    const int pos = value.toInt(&ok, 10);
    return ok ? pos : 0;
}

} // namespace

QString DeviceCatalogue::hostName(int hostApi) {
    return hostApi >= 0 && hostApi < HOST_NAMES.size() ? HOST_NAMES[hostApi] : QStringLiteral("N/A");
}

QStringList DeviceCatalogue::list(const QList<Device>& devices,
                                  ModelAudioDeviceInfo::EnumAudioDeviceInfo direction,
                                  const SettingMixer& mixer) {
    const bool input = direction == ModelAudioDeviceInfo::AUDIO_INPUT;
    QStringList result{QString()};
    QString lastHost;
    for (const Device& device : devices) {
        const int channels = input                                             ? device.maxInputChannels
                             : direction == ModelAudioDeviceInfo::AUDIO_OUTPUT ? device.maxOutputChannels
                                                                               : 0;
        if (channels < 2)
            continue;
        const QString host = hostName(device.hostApi);
        if (host != lastHost) {
            result.append(QStringLiteral("----- %1 -----").arg(host));
            lastHost = host;
        }
        const int rate = wholeRate(device.defaultSampleRate);
        const bool known = mixer.isAvailable(device.name);
        if (channels == 2) {
            appendOnce(result, entry(device, rate, channels, 0, host, known ? QString() : TBD));
            continue;
        }
        if (!known) {
            for (int pos : positions(channels, input))
                appendOnce(result, entry(device, rate, channels, pos, host, TBD));
            continue;
        }
        QList<std::pair<QString, QString>> assigned; // (value, label) of the keys the map sets
        for (const Label& label : labels(input)) {
            const QString value = mixer.keyValue(QString::fromLatin1(label.key), device.name);
            if (!value.isEmpty())
                assigned.append({value, QString::fromLatin1(label.text)});
        }
        for (int pos : positions(channels, input)) {
            QString label = TBD;
            for (const auto& [value, text] : assigned) {
                if (mapPosition(value) == pos) {
                    label = text;
                    break;
                }
            }
            result.append(entry(device, rate, channels, pos, host, label));
        }
    }
    return result;
}

QList<DeviceCatalogue::Device> DeviceCatalogue::portAudioDevices() {
    QList<Device> devices;
    if (Pa_Initialize() != paNoError)
        return devices;
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info)
            continue;
        devices.append({i, QString::fromUtf8(info->name ? info->name : ""), info->hostApi,
                        info->maxInputChannels, info->maxOutputChannels, info->defaultSampleRate});
    }
    Pa_Terminate();
    return devices;
}
