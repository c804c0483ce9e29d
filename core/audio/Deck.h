#pragma once

#include <QtGlobal>

#include "PlaySound.h"

class QListDataCurve;

// One scratch deck of the player: the input's scratch sound played along the input's live curve, one
// curve point every samplesPerPoint output frames, lag points behind the newest point.
//
// The set-up is built on the GUI thread and published whole, so the callback never sees a sound with
// the bounds of another. The play state below (point, positions, counter, stall) belongs to the
// output callback and changes only on the audio thread.
class Deck {
public:
    struct Setup {
        // A copy of Mode::modeGenerateSound.
        bool generate = false;
        PlaySound wav;
        double volume = 0.0;
        // 32767 / the sound's largest sample in integer division; 1 when that is not above 0.
        double gain = 1.0;
        // The input's main curve; points are read only as copies under its lock.
        QListDataCurve* curve = nullptr;
        qint32 lag = 0;
        // 10 % and 90 % of the sound: a movement from below lo to above hi runs through the sound's end.
        qint32 lo = 0;
        qint32 hi = 0;
        // 0 while the processing buffer gives no valid value: the deck is then silent.
        qint32 samplesPerPoint = 0;
        bool cutOff = false;
        // Platter angle of one point at nominal speed (degrees).
        double threshold = 0.0;
    };

    // Audio thread, all of them.
    bool active() const { return m_active; }
    qint32 index() const { return m_index; }
    bool stalled() const { return m_stalled; }

    // Back to the start of a point, lag points behind the newest one (point 1 on a short curve).
    void reanchor(const Setup& setup);
    // Also ends a stall: the deck timing starts afresh.
    void resetTiming(const Setup& setup);
    // One output frame: an idle deck (no sound or not generating) keeps its place behind the live
    // curve; an active one adds its sample to (left, right).
    void play(const Setup& setup, double& left, double& right);

private:
    void generateDeckWav(const Setup& setup, double& left, double& right);
    // Takes the movement from the previous point to the current one; false when they cannot be read.
    bool takePoint(const Setup& setup);
    // Where in the sound the current frame is, in [0, size).
    double soundPosition(qint64 size);
    void read(const Setup& setup, double p, double& left, double& right) const;

    bool m_active = false;
    // Output frames played within the current point.
    double m_counter = 0.0;
    double m_start = 0.0;
    double m_end = 0.0;
    double m_span = 0.0;
    double m_step = 0.0;
    qint32 m_index = 1;
    double m_accel = 0.0;
    bool m_drawon = false;
    bool m_stalled = false;
    // Frames played past the newest point, signed by direction.
    qint32 m_offset = 0;
    double m_angleDelta = 0.0;
    // The current movement runs through the end and start of the sound.
    bool m_crossing = false;
};
