#pragma once

#include <QtGlobal>

#include <memory>

#include "core/timecode/Channel.h"
#include "core/timecode/QPitch.h"

class Definition;

// The decoder state of one timecode input. Set up by Timecoder::initialization before a run,
// then advanced only by that input's audio callback through Timecoder's operations.
// Owns its two channels and its pitch tracker.
class QTimecoder {
public:
    QTimecoder();

    Definition* def() const { return m_def; }
    void setDef(Definition* def) { m_def = def; }
    double dt() const { return m_dt; }
    void setDt(double dt) { m_dt = dt; }
    double zeroAlpha() const { return m_zeroAlpha; }
    void setZeroAlpha(double zeroAlpha) { m_zeroAlpha = zeroAlpha; }
    qint32 threshold() const { return m_threshold; }
    void setThreshold(qint32 threshold) { m_threshold = threshold; }
    bool forwards() const { return m_forwards; }
    void setForwards(bool forwards) { m_forwards = forwards; }
    Channel* primary() const { return m_primary.get(); }
    void setPrimary(std::unique_ptr<Channel> primary) { m_primary = std::move(primary); }
    Channel* secondary() const { return m_secondary.get(); }
    void setSecondary(std::unique_ptr<Channel> secondary) { m_secondary = std::move(secondary); }
    QPitch* pitch() const { return m_pitch.get(); }
    void setPitch(std::unique_ptr<QPitch> pitch) { m_pitch = std::move(pitch); }
    qint32 refLevel() const { return m_refLevel; }
    void setRefLevel(qint32 refLevel) { m_refLevel = refLevel; }
    quint32 bitStream() const { return m_bitStream; }
    void setBitStream(quint32 bitStream) { m_bitStream = bitStream; }
    quint32 timecode() const { return m_timecode; }
    void setTimecode(quint32 timecode) { m_timecode = timecode; }
    quint32 validCounter() const { return m_validCounter; }
    void setValidCounter(quint32 validCounter) { m_validCounter = validCounter; }
    quint32 timecodeTicker() const { return m_timecodeTicker; }
    void setTimecodeTicker(quint32 timecodeTicker) { m_timecodeTicker = timecodeTicker; }
    quint32 positionHint() const { return m_positionHint; }
    void setPositionHint(quint32 positionHint) { m_positionHint = positionHint; }

private:
    friend class Timecoder;

    Definition* m_def = nullptr; // not owned: the receiver's copy
    double m_dt = 0.0;
    double m_zeroAlpha = 0.0;
    qint32 m_threshold = 0;
    bool m_forwards = true;
    std::unique_ptr<Channel> m_primary;
    std::unique_ptr<Channel> m_secondary;
    std::unique_ptr<QPitch> m_pitch;
    qint32 m_refLevel = 0;
    quint32 m_bitStream = 0;
    quint32 m_timecode = 0;
    quint32 m_validCounter = 0;
    quint32 m_timecodeTicker = 0;
    // The position answered last (0xFFFFFFFF: none), where the next lookup starts.
    quint32 m_positionHint = 0xFFFFFFFFu;
};
