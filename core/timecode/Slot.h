#pragma once

#include <QtGlobal>

// One position of a lookup table: the code word stored there and the next position in the
// same hash chain (END ends the chain).
class Slot {
public:
    static constexpr quint32 END = 0xFFFFFFFFu;

    quint32 timecode() const { return m_timecode; }
    void setTimecode(quint32 timecode) { m_timecode = timecode; }
    quint32 next() const { return m_next; }
    void setNext(quint32 next) { m_next = next; }

private:
    quint32 m_timecode = 0;
    quint32 m_next = END;
};
