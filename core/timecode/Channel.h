#pragma once

#include <QtGlobal>

// Zero-crossing state of one stereo channel of a timecode input. Values are in the 32-bit
// sample scale (a 16-bit sample times 65,536). Advanced only by Timecoder on the input's
// audio thread.
class Channel {
public:
    bool positive() const { return m_positive; }
    void setPositive(bool positive) { m_positive = positive; }
    bool swapped() const { return m_swapped; }
    void setSwapped(bool swapped) { m_swapped = swapped; }
    qint32 zero() const { return m_zero; }
    void setZero(qint32 zero) { m_zero = zero; }
    qint32 crossingTicker() const { return m_crossingTicker; }
    void setCrossingTicker(qint32 crossingTicker) { m_crossingTicker = crossingTicker; }

private:
    friend class Timecoder;

    bool m_positive = false;
    bool m_swapped = false;
    qint32 m_zero = 0;
    qint32 m_crossingTicker = 0;
};
