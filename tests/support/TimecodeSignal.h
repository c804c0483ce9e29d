#pragma once

#include <QList>
#include <QtGlobal>

#include "core/timecode/Definition.h"

// Generates the stereo 16-bit signal a timecode record gives while it moves under the needle,
// from the format's own values (resolution, flags, bits, seed, taps, length) and a motion, and
// reports per frame the true record position and the position a decoder should answer.
//
// Record geometry. The record position phi is counted in carrier cycles. With
// theta = 2 pi phi, the primary channel carries e * a(phi) * cos(theta) and the secondary
// e * i * A * sin(theta), where e = -1 when bits are read while the primary is negative
// (flags value 4) and +1 otherwise, and i = -1 when the direction sense is inverted (flags
// value 1) and +1 otherwise. The primary is the left channel when flags has value 2, else the
// right one. Moving forwards (phi growing) the secondary then crosses zero at every whole phi
// with the primary at its peak on the reading side, and the decoder's direction rule reads it
// as forwards; bits are read exactly at those crossings. Bit r_k of the record is therefore
// sampled at phi = k, and a(phi) there is A for a 1 bit and A * zeroBitRatio for a 0 bit, over the
// half cycle |phi - k| <= 1/4 (the other half cycle of the primary swings to A).
//
// Bits and positions. r_0 .. r_(bits-1) are the bits of the seed (least significant first); each
// further bit is the one the format's shift register produces, so code word c_n, the code of
// table position n, holds r_n .. r_(n+bits-1) with r_n in its least significant bit.
// A decoder reading forwards shifts each bit in at the most significant end: after reading r_k its
// stream is c_(k-bits+1), so it answers k - (bits - 1). Reading backwards each bit enters at the
// least significant end: after reading r_k its stream is c_k, so it answers k.
class TimecodeSignal {
public:
    TimecodeSignal(const Definition& format, unsigned sampleRate);

    // The motion, in order from frame 0. Speeds are multiples of normal speed (1.0 plays
    // `resolution` cycles per second; negative plays backwards).
    void setStart(double cycles);
    void move(double seconds, double speed);
    void ramp(double seconds, double fromSpeed, double toSpeed);
    // Needle drop: the record position jumps to `cycles`.
    void jump(double cycles);
    // The needle is lifted: no carrier for that time (noise and offset remain), position held.
    void silence(double seconds);

    // Peak of the primary for a 1 bit and of the secondary, in 16-bit units.
    void setAmplitude(double peak) { m_amplitude = peak; }
    // White Gaussian noise on both channels, `snrDb` below the carrier's power (A^2 / 2).
    void setNoise(double snrDb, quint32 seed);
    // Added to both channels.
    void setDcOffset(double offset) { m_dcOffset = offset; }

    // Renders the whole motion; the accessors below are valid afterwards.
    void render();

    unsigned sampleRate() const { return m_sampleRate; }
    qint64 frameCount() const { return m_cycles.size(); }
    // Interleaved frames, left then right.
    const QList<qint16>& pcm() const { return m_pcm; }
    // The record position at that frame, in cycles.
    double cycles(qint64 frame) const { return m_cycles[frame]; }
    // The position a decoder should answer after that frame, from the last bit the motion passed
    // (see above); -1 before the first bit, after a jump until the next bit, and outside the table.
    qint32 expectedPosition(qint64 frame) const { return m_expected[frame]; }

private:
    struct Segment {
        enum Kind { Move, Jump, Silence } kind;
        qint64 frames;
        double fromSpeed;
        double toSpeed;
        double target;
    };

    qint64 framesOf(double seconds) const;
    // The bit at cycle k (0 outside the record).
    int bit(qint64 k) const;
    void sample(double phi, bool carrier, double& primary, double& secondary) const;

    Definition m_format;
    unsigned m_sampleRate;
    QList<quint8> m_bits;
    QList<Segment> m_segments;
    double m_start = 0.0;
    double m_amplitude = 16000.0;
    // A 0 bit's primary peak relative to a 1 bit's.
    double m_zeroBitRatio = 0.5;
    double m_noiseRms = 0.0;
    quint32 m_noiseSeed = 0;
    double m_dcOffset = 0.0;

    QList<qint16> m_pcm;
    QList<double> m_cycles;
    QList<qint32> m_expected;
};
