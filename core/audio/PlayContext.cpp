#include "PlayContext.h"

#include <cmath>
#include <cstring>

namespace {

constexpr quint32 ACTIVATE_ALL = ((1u << PlaySetup::CHANNELS) - 1) * PlayContext::ACTIVATE;

// The order in which the channels are mixed.
constexpr PlaySetup::Channel MIX_ORDER[PlaySetup::CHANNELS] = {PlaySetup::SOUND_A, PlaySetup::SOUND_B,
                                                               PlaySetup::LOOPER, PlaySetup::METRONOM};

// Clamped to 16 bits, then truncated toward zero.
qint16 toSample(double v) {
    if (v >= 32767.0)
        return 32767;
    if (v <= -32768.0)
        return -32768;
    return std::isnan(v) ? 0 : qint16(v);
}

} // namespace

PlayContext::PlayContext(const PlaySetup* setup) : m_setup(setup) {}

const PlaySetup* PlayContext::publish(const PlaySetup* setup) {
    return m_setup.exchange(setup);
}

void PlayContext::request(quint32 requests) {
    if (requests & DEACTIVATE)
        m_requests.fetch_and(~ACTIVATE_ALL);
    m_requests.fetch_or(requests);
}

void PlayContext::render(qint16* out, unsigned long frames) {
    m_buffers.fetch_add(1);
    // Requests first: one seen here was made after its set-up was published, so the set-up taken
    // next is at least that one.
    const quint32 requests = m_requests.exchange(0);
    const PlaySetup& setup = *m_setup.load();
    apply(requests, setup);
    mix(out, frames, setup);
    m_buffers.fetch_add(1);
}

void PlayContext::apply(quint32 requests, const PlaySetup& setup) {
    if (requests & DEACTIVATE) {
        for (OutputFactorSpeed& c : m_channel)
            c.deactivate();
    }
    if (requests & RESET) {
        for (OutputFactorSpeed& c : m_channel)
            c.rewind();
        for (int d = 0; d < 2; ++d)
            m_deck[d].resetTiming(setup.deck[d]);
    }
    if (requests & REANCHOR_A)
        m_deck[0].reanchor(setup.deck[0]);
    if (requests & REANCHOR_B)
        m_deck[1].reanchor(setup.deck[1]);
    for (int c = 0; c < PlaySetup::CHANNELS; ++c) {
        if (requests & (ACTIVATE << c))
            m_channel[c].activate();
    }
}

void PlayContext::mix(qint16* out, unsigned long frames, const PlaySetup& setup) {
    const int channels = setup.channels;
    if (channels <= 0)
        return;
    // Every sample of every frame is written: zeros wherever nothing plays.
    std::memset(out, 0, sizeof(qint16) * frames * unsigned(channels));
    // A position whose pair is not complete in the frame is not written.
    const int pair = setup.pos / 2;
    const bool written = setup.pos >= 0 && 2 * pair + 1 < channels;
    for (unsigned long f = 0; f < frames; ++f) {
        double left = 0.0;
        double right = 0.0;
        for (int d = 0; d < 2; ++d)
            m_deck[d].play(setup.deck[d], left, right);
        for (PlaySetup::Channel c : MIX_ORDER)
            m_channel[c].generateSoundWavFactorSpeed(setup.channel[c], left, right);
        if (written) {
            qint16* frame = out + f * unsigned(channels);
            frame[2 * pair] = toSample(left);
            frame[2 * pair + 1] = toSample(right);
        }
    }
}
