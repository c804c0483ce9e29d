#pragma once

#include <QtGlobal>

#include <atomic>

#include "Deck.h"
#include "OutputFactorSpeed.h"
#include "PlaySetup.h"

// The player's output callback context: the published set-up, the requests the GUI thread leaves for
// the callback, and the play state only the callback advances (the decks' points and counters, the
// channels' positions and active flags).
//
// Hand-over: the GUI thread publishes a new immutable set-up by swapping a pointer and keeps owning
// every set-up; it frees a replaced one once buffers() shows that no callback can still hold it.
// The callback allocates nothing, frees nothing and locks only the curve lists.
class PlayContext {
public:
    // Requests, carried out at the start of the next buffer in this order.
    enum Request : quint32 {
        DEACTIVATE = 1u << 0, // every channel inactive
        RESET = 1u << 1,      // channel positions to 0, deck timing afresh
        REANCHOR_A = 1u << 2, // deck A behind the newest point of its curve
        REANCHOR_B = 1u << 3,
        ACTIVATE = 1u << 4, // ACTIVATE << c: channel c active
    };

    // `setup` stays owned by the caller.
    explicit PlayContext(const PlaySetup* setup);
    PlayContext(const PlayContext&) = delete;
    PlayContext& operator=(const PlayContext&) = delete;

    // GUI thread. Returns the replaced set-up, which the caller frees once it is safe (below).
    const PlaySetup* publish(const PlaySetup* setup);
    // GUI thread. A deactivation cancels the activations still pending, as if they came first.
    void request(quint32 requests);
    // Any thread: odd while a callback is running, +2 per buffer. A set-up replaced by publish() is
    // no longer held once the value read right after publish() was even, or has since moved on.
    quint64 buffers() const { return m_buffers.load(); }
    static bool released(quint64 stamp, quint64 now) { return stamp % 2 == 0 || now > stamp; }

    // Audio thread: writes `frames` frames of the set-up's channel count into `out`.
    void render(qint16* out, unsigned long frames);

    // Audio thread, or any thread while no callback runs.
    const Deck& deck(int d) const { return m_deck[d]; }
    const OutputFactorSpeed& channel(int c) const { return m_channel[c]; }

private:
    void apply(quint32 requests, const PlaySetup& setup);
    void mix(qint16* out, unsigned long frames, const PlaySetup& setup);

    // Sequentially consistent: the GUI's swap then read of buffers() and the callback's increment
    // then load of the set-up cannot both miss each other.
    std::atomic<const PlaySetup*> m_setup;
    std::atomic<quint64> m_buffers{0};
    std::atomic<quint32> m_requests{0};

    Deck m_deck[2];
    OutputFactorSpeed m_channel[PlaySetup::CHANNELS];
};
