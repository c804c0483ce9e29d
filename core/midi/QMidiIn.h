#pragma once

#include <QMap>
#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/midi/MidiClient.h"
#include "platform/midi/MidiInputPort.h"
#include "platform/midi/MidiSource.h"

// One MIDI input source of the system, turned into short messages: bits 0-7 the status byte
// (0x80-0xEF), bits 8-15 the first data byte, bits 16-23 the second, zero above.
// connect, start, stop and disconnect run on the owner's thread (the MIDI worker's);
// midiEvent is emitted on the MIDI system's own thread, so receivers connect to it queued.
class QMidiIn : public QObject {
    Q_OBJECT

public:
    explicit QMidiIn(QObject* parent = nullptr);
    ~QMidiIn() override;

    // Source index as decimal text -> display name, of the sources present now, ordered by the
    // index texts compared as texts ("10" before "2"). May be called from any thread.
    static QMap<QString, QString> devices();

    // Opens the source whose index is `id` (decimal text; not a number reads as 0), closing any open
    // one first. The source is attached by start. A failed connect holds nothing and is not connected.
    bool connect(const QString& id);
    void start();
    void stop();
    void disconnect();

    // Calls sink(message, timing) for each channel message of a packet list laid out as the platform
    // layer delivers it (see MidiInputPort). A packet whose length is 0 or not a multiple of 3 is
    // skipped; a group of 3 bytes is a message when its first byte is 0x80-0xEF. A declared length
    // that runs past `size` ends the walk: nothing is read outside the list.
    template <typename Sink>
    static void walkPacketList(const std::uint8_t* list, std::size_t size, Sink&& sink);

signals:
    void midiEvent(quint32 message, quint32 timing);

private:
    static void read(const std::uint8_t* list, std::size_t size, void* self);

    QString m_id;
    // Present only while connected; the port is released before the client.
    std::unique_ptr<MidiClient> m_client;
    std::unique_ptr<MidiInputPort> m_port;
    std::optional<MidiSource> m_source;
    bool m_connected = false;
};

template <typename Sink>
void QMidiIn::walkPacketList(const std::uint8_t* list, std::size_t size, Sink&& sink) {
    std::size_t offset = 0;
    while (size - offset >= MidiInputPort::HEADER_SIZE) {
        std::uint64_t stamp = 0;
        std::uint16_t length = 0;
        std::memcpy(&stamp, list + offset, MidiInputPort::TIME_STAMP_SIZE);
        std::memcpy(&length, list + offset + MidiInputPort::TIME_STAMP_SIZE, MidiInputPort::LENGTH_SIZE);
        offset += MidiInputPort::HEADER_SIZE;
        if (length > size - offset)
            return;
        const std::uint8_t* data = list + offset;
        offset += length;
        if (length == 0 || length % 3 != 0)
            continue;
        for (std::size_t i = 0; i < length; i += 3) {
            if (data[i] < 0x80 || data[i] > 0xEF)
                continue; // running-status data or a system message
            sink(quint32(data[i]) | quint32(data[i + 1]) << 8 | quint32(data[i + 2]) << 16, quint32(stamp));
        }
    }
}
