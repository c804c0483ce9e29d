#pragma once

#include <QList>
#include <QObject>

#include "core/timecode/Slot.h"

// The lookup table of one timecode format: code word -> position in carrier cycles.
// Positions are chained by the low 16 bits of their code word. Written only while it is
// built (GUI thread, before the decoder starts); read-only afterwards, so the audio thread
// looks codes up without a lock.
class Lut : public QObject {
    Q_OBJECT

public:
    static constexpr quint32 NOT_FOUND = 0xFFFFFFFFu;
    static constexpr int TABLE_SIZE = 65536;

    // Prepares the table for n positions; returns 0, or -1 when the memory cannot be had.
    static int inititialization(Lut* lut, quint32 n);
    // Stores the code word at the next free position. Allocates nothing; a full table ignores it.
    static void send(Lut* lut, quint32 timecode);
    // The position of the code word, or NOT_FOUND. Allocates nothing; safe on the audio thread.
    static quint32 lookup(const Lut* lut, quint32 timecode);
    // The same answer, trying the positions at and beside `hint` first. A decoder reading along
    // the record asks for the position it answered last or one next to it: one cached read
    // instead of a walk through a chain spread over the whole table.
    static quint32 lookup(const Lut* lut, quint32 timecode, quint32 hint);

    const QList<Slot>& slot() const { return m_slot; }
    void setSlot(const QList<Slot>& slot) { m_slot = slot; }
    const QList<quint32>& table() const { return m_table; }
    void setTable(const QList<quint32>& table) { m_table = table; }
    quint32 avail() const { return m_avail; }
    void setAvail(quint32 avail) { m_avail = avail; }

private:
    QList<Slot> m_slot;
    QList<quint32> m_table;
    quint32 m_avail = 0;
};
