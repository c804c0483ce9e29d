#include "DeviceStream.h"

#include <QString>

#include <limits>

#include "core/QSample.h"

namespace {

unsigned long framesPerBufferOf(double frames) {
    return frames >= 1.0 && frames <= double(std::numeric_limits<quint32>::max()) ? (unsigned long)frames : 0;
}

} // namespace

PaStream* DeviceStream::open(const QSample& sample, Direction direction, double framesPerBuffer,
                             PaStreamFlags flags, PaStreamCallback* callback, void* userData) {
    if (sample.channels() <= 0 || Pa_Initialize() != paNoError)
        return nullptr;
    PaStream* stream = nullptr;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(sample.deviceID());
    if (info && QString::fromUtf8(info->name) == sample.deviceName()) {
        const bool input = direction == Direction::Input;
        PaStreamParameters parameters{};
        parameters.device = sample.deviceID();
        parameters.channelCount = sample.channels();
        parameters.sampleFormat = paInt16;
        parameters.suggestedLatency = input ? info->defaultLowInputLatency : info->defaultLowOutputLatency;
        parameters.hostApiSpecificStreamInfo = nullptr;
        if (Pa_OpenStream(&stream, input ? &parameters : nullptr, input ? nullptr : &parameters, sample.samplerate(),
                          framesPerBufferOf(framesPerBuffer), flags, callback, userData) != paNoError)
            stream = nullptr;
    }
    if (!stream)
        Pa_Terminate();
    return stream;
}

void DeviceStream::close(PaStream* stream, bool abort) {
    if (!stream)
        return;
    if (abort)
        Pa_AbortStream(stream);
    else
        Pa_StopStream(stream);
    Pa_CloseStream(stream);
    Pa_Terminate();
}
