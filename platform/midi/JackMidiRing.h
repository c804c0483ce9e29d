#pragma once

// Private to the platform layer (and its tests).
#include <jack/ringbuffer.h>

#include <cstddef>
#include <cstdint>

// The records a JACK MIDI input passes from JACK's process thread to its reader thread through one of
// libjack's lock-free rings: per message its stamp (8 bytes), its length (2 bytes) and a check of both
// (2 bytes), all in the host's byte order, then its bytes. One thread writes, one other thread reads.
//
// libjack moves the ring's write position in two steps when a write wraps past the ring's end, so the
// reader can see the first part of a record before the rest: it takes a record only once all of it is
// there, and leaves a part for its next call.
class JackMidiRing {
public:
    // Longer messages (system exclusive) are never written; channel messages are 3 bytes at most.
    static constexpr std::size_t MAX_MESSAGE_SIZE = 256;
    static constexpr std::size_t STAMP_SIZE = sizeof(std::uint64_t);
    static constexpr std::size_t LENGTH_SIZE = sizeof(std::uint16_t);
    static constexpr std::size_t CHECK_SIZE = sizeof(std::uint16_t);
    static constexpr std::size_t HEADER_SIZE = STAMP_SIZE + LENGTH_SIZE + CHECK_SIZE;
    static constexpr std::size_t MAX_RECORD_SIZE = HEADER_SIZE + MAX_MESSAGE_SIZE;

    // Receives one message; its bytes are valid during the call only.
    using MessageProc = void (*)(std::uint64_t stamp, const std::uint8_t* bytes, std::size_t length,
                                 void* context);

    // Writes one whole record, or nothing (false) when the message is too long or the ring has no room
    // for all of it. Allocates nothing, takes no lock: may be called from JACK's process thread.
    static bool write(jack_ringbuffer_t* ring, std::uint64_t stamp, const std::uint8_t* bytes,
                      std::size_t length);

    // Hands every whole record in the ring to `proc`, in the order written, and returns how many.
    // A header no writer writes (a length above the longest message, or a check that does not match)
    // means the reader lost its place: what the ring holds is dropped, with one line on stderr, and
    // nothing of it is delivered. A drop that ends inside a record leaves the rest of that record to
    // come; its bytes are read as a header again and refused the same way, so reading picks up at the
    // first record boundary a drop meets. Call from the reader thread only.
    static std::size_t read(jack_ringbuffer_t* ring, MessageProc proc, void* context);

    // The check written after a record's stamp and length: bytes that are not a header match it only
    // by chance (one in 65536).
    static std::uint16_t check(std::uint64_t stamp, std::uint16_t length);
};
