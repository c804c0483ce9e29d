#pragma once

#include <QtGlobal>

#include "Model.h"

// One point of a scratch curve: where the record was at one frame of an input. A plain value:
// curve lists store it by value and hand out copies.
class QData {
public:
    qint32 samplerate() const { return m_samplerate; }
    double y() const { return m_y; }
    double acceleration() const { return m_acceleration; }
    double targetPosition() const { return m_targetPosition; }
    // targetPosition brought into [0, 360).
    double targetVinylDeltaPosition() const { return m_targetVinylDeltaPosition; }
    ModelRotation::EnumRotation rotation() const { return m_rotation; }
    bool drawon() const { return m_drawon; }
    // −1 while no valid position has been decoded in the run.
    qint32 timecode() const { return m_timecode; }

    void setSamplerate(qint32 samplerate) { m_samplerate = samplerate; }
    void setY(double y) { m_y = y; }
    void setAcceleration(double acceleration) { m_acceleration = acceleration; }
    // Also derives targetVinylDeltaPosition.
    void setTargetPosition(double degrees);
    void setRotation(ModelRotation::EnumRotation rotation) { m_rotation = rotation; }
    void setDrawon(bool drawon) { m_drawon = drawon; }
    void setTimecode(qint32 timecode) { m_timecode = timecode; }

private:
    // The two int32 fields sit together so that a point takes 48 bytes instead of 56.
    qint32 m_samplerate = 0;
    qint32 m_timecode = 0;
    double m_y = 0.0;
    double m_acceleration = 0.0;
    double m_targetPosition = 0.0;
    double m_targetVinylDeltaPosition = 0.0;
    ModelRotation::EnumRotation m_rotation = ModelRotation::UNDEFINED;
    bool m_drawon = false;
};
