#pragma once

#include <portaudio.h>

class QSample;

// Opening and closing one PortAudio stream on the device a descriptor names, with the PortAudio
// initialisation that stream needs: every open that succeeds holds one Pa_Initialize, which its
// close undoes, so the workers never leave PortAudio unpaired. GUI thread.
class DeviceStream {
public:
    enum class Direction { Input, Output };

    // A 16-bit interleaved stream of the descriptor's channels at its rate, on its device, provided the
    // index still names that device (indices move when devices come and go); `framesPerBuffer` below 1
    // lets PortAudio choose. Null, with PortAudio left as it was, when nothing opened.
    static PaStream* open(const QSample& sample, Direction direction, double framesPerBuffer, PaStreamFlags flags,
                          PaStreamCallback* callback, void* userData);
    // Stops (or aborts) and closes a stream that open returned, then undoes its initialisation. Returns
    // once the callback has finished, so the callback's data is the caller's again.
    static void close(PaStream* stream, bool abort);
};
