#include "TimecodeSignal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <random>

TimecodeSignal::TimecodeSignal(const Definition& format, unsigned sampleRate)
    : m_format(format), m_sampleRate(sampleRate) {
    // The record's bit sequence, derived from the seed and taps alone.
    const int bits = format.bits();
    const qint64 count = qint64(format.length()) + bits - 1;
    m_bits.resize(count);
    quint32 code = quint32(format.seed());
    for (int k = 0; k < bits && k < count; ++k)
        m_bits[k] = (code >> k) & 1u;
    const quint32 taps = quint32(format.taps()) | 1u;
    for (qint64 k = bits; k < count; ++k) {
        const quint32 in = quint32(std::popcount(code & taps) & 1);
        code = (code >> 1) | (in << (bits - 1));
        m_bits[k] = quint8(in);
    }
}

void TimecodeSignal::setStart(double cycles) {
    m_start = cycles;
}

void TimecodeSignal::move(double seconds, double speed) {
    ramp(seconds, speed, speed);
}

void TimecodeSignal::ramp(double seconds, double fromSpeed, double toSpeed) {
    m_segments.append({Segment::Move, framesOf(seconds), fromSpeed, toSpeed, 0.0});
}

void TimecodeSignal::jump(double cycles) {
    m_segments.append({Segment::Jump, 0, 0.0, 0.0, cycles});
}

void TimecodeSignal::silence(double seconds) {
    m_segments.append({Segment::Silence, framesOf(seconds), 0.0, 0.0, 0.0});
}

void TimecodeSignal::setNoise(double snrDb, quint32 seed) {
    m_noiseRms = m_amplitude / std::sqrt(2.0) / std::pow(10.0, snrDb / 20.0);
    m_noiseSeed = seed;
}

qint64 TimecodeSignal::framesOf(double seconds) const {
    return qint64(std::llround(seconds * m_sampleRate));
}

int TimecodeSignal::bit(qint64 k) const {
    return k >= 0 && k < m_bits.size() ? m_bits[k] : 0;
}

void TimecodeSignal::sample(double phi, bool carrier, double& primary, double& secondary) const {
    primary = secondary = 0.0;
    if (!carrier)
        return;
    const qint64 k = qint64(std::llround(phi));
    const double d = phi - double(k);
    const double peak = std::abs(d) <= 0.25 && !bit(k) ? m_amplitude * m_zeroBitRatio : m_amplitude;
    const double theta = 2.0 * std::numbers::pi * d;
    const int flags = m_format.flags();
    const double e = (flags & Definition::FLAG_READ_NEGATIVE) ? -1.0 : 1.0;
    const double i = (flags & Definition::FLAG_INVERT_DIRECTION) ? -1.0 : 1.0;
    primary = e * peak * std::cos(theta);
    secondary = e * i * m_amplitude * std::sin(theta);
}

void TimecodeSignal::render() {
    qint64 total = 0;
    for (const Segment& s : m_segments)
        total += s.frames;
    m_pcm.resize(2 * total);
    m_cycles.resize(total);
    m_expected.resize(total);

    std::mt19937 random(m_noiseSeed);
    std::normal_distribution<double> noise(0.0, m_noiseRms > 0.0 ? m_noiseRms : 1.0);
    const bool leftPrimary = (m_format.flags() & Definition::FLAG_LEFT_PRIMARY) != 0;
    const double resolution = m_format.resolution();
    const double rate = m_sampleRate;
    auto toSample = [](double value) { return qint16(std::clamp(std::lround(value), -32768L, 32767L)); };

    double phi = m_start;
    double previous = phi;
    qint64 lastBit = 0;
    bool lastForwards = true;
    bool haveBit = false;
    qint64 frame = 0;
    for (const Segment& s : m_segments) {
        if (s.kind == Segment::Jump) {
            phi = previous = s.target;
            haveBit = false;
            continue;
        }
        const double start = phi;
        const double seconds = s.frames / rate;
        for (qint64 j = 0; j < s.frames; ++j, ++frame) {
            const double t = j / rate;
            if (s.kind == Segment::Move)
                phi = start +
                      resolution * (s.fromSpeed * t + (s.toSpeed - s.fromSpeed) * t * t / (2.0 * seconds));
            // The bit points (whole phi) passed since the previous frame.
            if (std::floor(phi) > std::floor(previous)) {
                lastBit = qint64(std::floor(phi));
                lastForwards = true;
                haveBit = true;
            } else if (std::ceil(phi) < std::ceil(previous)) {
                lastBit = qint64(std::ceil(phi));
                lastForwards = false;
                haveBit = true;
            }
            previous = phi;

            double primary, secondary;
            sample(phi, s.kind == Segment::Move, primary, secondary);
            double left = leftPrimary ? primary : secondary;
            double right = leftPrimary ? secondary : primary;
            if (m_noiseRms > 0.0) {
                left += noise(random);
                right += noise(random);
            }
            m_pcm[2 * frame] = toSample(left + m_dcOffset);
            m_pcm[2 * frame + 1] = toSample(right + m_dcOffset);
            m_cycles[frame] = phi;

            const qint64 position = lastForwards ? lastBit - (m_format.bits() - 1) : lastBit;
            m_expected[frame] =
                haveBit && position >= 0 && position < m_format.length() ? qint32(position) : -1;
        }
        if (s.kind == Segment::Move)
            phi = start + resolution * (s.fromSpeed + s.toSpeed) / 2.0 * seconds;
    }
}
