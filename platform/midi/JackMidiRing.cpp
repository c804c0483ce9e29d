#include "JackMidiRing.h"

#include <array>
#include <cstdio>
#include <cstring>

bool JackMidiRing::write(jack_ringbuffer_t* ring, std::uint64_t stamp, const std::uint8_t* bytes,
                         std::size_t length) {
    const std::size_t size = HEADER_SIZE + length;
    if (length > MAX_MESSAGE_SIZE || jack_ringbuffer_write_space(ring) < size)
        return false;
    std::array<char, MAX_RECORD_SIZE> record;
    const auto length16 = static_cast<std::uint16_t>(length);
    const std::uint16_t sum = check(stamp, length16);
    std::memcpy(record.data(), &stamp, STAMP_SIZE);
    std::memcpy(record.data() + STAMP_SIZE, &length16, LENGTH_SIZE);
    std::memcpy(record.data() + STAMP_SIZE + LENGTH_SIZE, &sum, CHECK_SIZE);
    if (length > 0)
        std::memcpy(record.data() + HEADER_SIZE, bytes, length);
    jack_ringbuffer_write(ring, record.data(), size);
    return true;
}

std::size_t JackMidiRing::read(jack_ringbuffer_t* ring, MessageProc proc, void* context) {
    std::array<char, MAX_RECORD_SIZE> record;
    std::size_t delivered = 0;
    for (;;) {
        // Read once per record: the writer only ever adds to it.
        const std::size_t available = jack_ringbuffer_read_space(ring);
        if (available < HEADER_SIZE)
            return delivered;
        jack_ringbuffer_peek(ring, record.data(), HEADER_SIZE);
        std::uint64_t stamp = 0;
        std::uint16_t length = 0;
        std::uint16_t sum = 0;
        std::memcpy(&stamp, record.data(), STAMP_SIZE);
        std::memcpy(&length, record.data() + STAMP_SIZE, LENGTH_SIZE);
        std::memcpy(&sum, record.data() + STAMP_SIZE + LENGTH_SIZE, CHECK_SIZE);
        if (length > MAX_MESSAGE_SIZE || sum != check(stamp, length)) {
            jack_ringbuffer_read_advance(ring, available);
            std::fprintf(stderr, "JACK MIDI input: no record header in the ring; %zu bytes dropped\n", available);
            return delivered;
        }
        if (available < HEADER_SIZE + length)
            return delivered; // the rest follows in the writer's second step
        jack_ringbuffer_read(ring, record.data(), HEADER_SIZE + length);
        proc(stamp, reinterpret_cast<const std::uint8_t*>(record.data() + HEADER_SIZE), length, context);
        ++delivered;
    }
}

std::uint16_t JackMidiRing::check(std::uint64_t stamp, std::uint16_t length) {
    // Every bit of the stamp and the length moves the result.
    std::uint64_t mixed = (stamp ^ (std::uint64_t(length) << 48) ^ 0x5bd1e9955bd1e995ULL) * 0x9e3779b97f4a7c15ULL;
    mixed ^= mixed >> 32;
    return static_cast<std::uint16_t>(mixed ^ (mixed >> 16));
}
