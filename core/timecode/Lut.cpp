#include "Lut.h"

#include <new>

int Lut::inititialization(Lut* lut, quint32 n) {
    try {
        QList<Slot> entries(static_cast<qsizetype>(n));
        QList<quint32> table(TABLE_SIZE, Slot::END);
        lut->m_slot.swap(entries);
        lut->m_table.swap(table);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    lut->m_avail = 0;
    return 0;
}

void Lut::send(Lut* lut, quint32 timecode) {
    const quint32 p = lut->m_avail;
    if (p >= quint32(lut->m_slot.size()))
        return;
    lut->m_avail = p + 1;
    Slot* entries = lut->m_slot.data();
    quint32* table = lut->m_table.data();
    const quint32 hash = timecode & 0xffffu;
    entries[p].setTimecode(timecode);
    entries[p].setNext(table[hash]);
    table[hash] = p;
}

quint32 Lut::lookup(const Lut* lut, quint32 timecode) {
    if (lut->m_table.isEmpty())
        return NOT_FOUND;
    const Slot* entries = lut->m_slot.constData();
    quint32 p = lut->m_table.constData()[timecode & 0xffffu];
    while (p != Slot::END) {
        const Slot& slot = entries[p];
        if (slot.timecode() == timecode)
            return p;
        p = slot.next();
    }
    return NOT_FOUND;
}

quint32 Lut::lookup(const Lut* lut, quint32 timecode, quint32 hint) {
    // Only stored slots take part: codes are unique among them, so a match is the answer.
    const quint32 stored = lut->m_avail;
    if (hint < stored) {
        const Slot* entries = lut->m_slot.constData();
        if (entries[hint].timecode() == timecode)
            return hint;
        if (hint + 1 < stored && entries[hint + 1].timecode() == timecode)
            return hint + 1;
        if (hint > 0 && entries[hint - 1].timecode() == timecode)
            return hint - 1;
    }
    return lookup(lut, timecode);
}
