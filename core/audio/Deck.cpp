#include "Deck.h"

#include <cmath>
#include <limits>

#include "core/QData.h"
#include "core/QListDataCurve.h"

namespace {

// A platter angle brought into [0, 360).
double turn(double degrees) {
    const double r = std::fmod(degrees, 360.0);
    return r < 0.0 ? r + 360.0 : r;
}

} // namespace

void Deck::reanchor(const Setup& setup) {
    const int points = setup.curve ? setup.curve->size() : 0;
    m_index = points > setup.lag ? points - setup.lag - 1 : 1;
    m_counter = 0.0;
}

void Deck::resetTiming(const Setup& setup) {
    m_stalled = false;
    m_offset = 0;
    reanchor(setup);
}

void Deck::play(const Setup& setup, double& left, double& right) {
    m_active = setup.wav.size() > 0 && setup.generate;
    if (!m_active) {
        reanchor(setup);
        return;
    }
    generateDeckWav(setup, left, right);
}

void Deck::generateDeckWav(const Setup& setup, double& left, double& right) {
    if (!setup.generate || setup.wav.size() == 0 || !setup.curve || setup.samplesPerPoint <= 0)
        return;
    const int points = setup.curve->size();
    if (points < 2)
        return;
    const double samplesPerPoint = setup.samplesPerPoint;

    if (m_counter >= samplesPerPoint) {
        if (m_index < points - 1) {
            ++m_index;
            m_counter = 0.0;
        } else {
            m_stalled = true;
        }
    }
    // The curve was reset under the deck: pick up behind its newest point again, and forget a
    // stall past the old curve's end.
    if (m_index >= points)
        resetTiming(setup);
    if (m_counter == 0.0 && !takePoint(setup))
        return;
    if (m_counter >= samplesPerPoint && !m_stalled)
        return;

    const double p = soundPosition(setup.wav.size());
    const bool audible = m_drawon || setup.cutOff;
    const bool moving = m_accel > 0.0001;
    if (audible && moving)
        read(setup, p, left, right);
    m_counter += 1.0;
}

bool Deck::takePoint(const Setup& setup) {
    // The point and the one before it (the point itself at index 0), copied under the list's lock.
    QData pair[2];
    const int first = m_index > 0 ? m_index - 1 : 0;
    const int wanted = m_index > 0 ? 2 : 1;
    if (setup.curve->copyRange(first, wanted, pair) != wanted)
        return false;
    const QData& prev = pair[0];
    const QData& point = pair[wanted - 1];

    m_accel = std::abs(point.acceleration());
    const double a = turn(prev.targetPosition());
    const double b = turn(point.targetPosition());
    m_angleDelta = std::abs(b - a);

    const double size = double(setup.wav.size());
    m_start = m_offset + a * size / 360.0;
    m_end = b * size / 360.0;
    m_drawon = point.drawon();
    m_span = std::abs(m_end - m_start);
    m_crossing = (setup.lo > m_start && m_end > setup.hi) || (setup.lo > m_end && m_start > setup.hi);
    if (m_crossing)
        m_span = size - m_span;
    m_step = m_span / setup.samplesPerPoint;
    if (m_stalled) {
        m_counter = std::abs(m_offset);
        m_offset = 0;
        m_stalled = false;
    }
    return true;
}

double Deck::soundPosition(qint64 size) {
    int direction = m_end > m_start ? 1 : -1;
    if (m_crossing)
        direction = -direction;
    const double pos = m_counter * m_step * direction + m_start;
    if (m_stalled) {
        // Saturates: a deck stalled for half a day keeps its direction instead of overflowing.
        constexpr qint32 most = std::numeric_limits<qint32>::max();
        if (direction > 0 ? m_offset < most : m_offset > -most)
            m_offset += direction;
    }
    double p = std::fmod(pos + double(size), double(size));
    if (p < 0.0)
        p += double(size);
    // Rounding can land on size itself; a non-finite curve value lands nowhere.
    return p >= 0.0 && p < double(size) ? p : 0.0;
}

void Deck::read(const Setup& setup, double p, double& left, double& right) const {
    const PlaySound& wav = setup.wav;
    const qint64 i = qint64(p);
    double l = wav.left(i);
    double r = wav.right(i);
    // Below nominal speed the sound is stretched, so neighbouring samples are blended.
    if (m_angleDelta < setup.threshold) {
        const qint64 j = (i + 1) % wav.size();
        const double w = p - double(i);
        l = (1.0 - w) * l + w * wav.left(j);
        r = (1.0 - w) * r + w * wav.right(j);
    }
    left += l * setup.gain * setup.volume;
    right += r * setup.gain * setup.volume;
}
