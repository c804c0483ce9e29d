#include "SyntheticCurve.h"

#include <cmath>

#include "core/QCurve.h"

QData SyntheticCurve::point(qint64 i, double step, double phase) {
    // Frames as if at 48 kHz: 3 strokes a second, the sound cut 4 times a second.
    const double t = i * step / 48000.0;
    const double stroke = std::sin(2.0 * M_PI * 3.0 * t + phase);
    const double degrees = 180.0 + 150.0 * stroke + 20.0 * std::sin(0.5 * t);
    QData p;
    p.setSamplerate(qint32(std::llround(i * step)));
    p.setY(400.0 + degrees * 2.0);
    p.setAcceleration(std::cos(2.0 * M_PI * 3.0 * t + phase) * 3.0);
    p.setTargetPosition(degrees);
    p.setRotation(stroke >= 0.0 ? ModelRotation::FORWARD : ModelRotation::BACK);
    p.setDrawon(std::fmod(t * 4.0 + phase, 1.0) < 0.6);
    p.setTimecode(0);
    return p;
}

void SyntheticCurve::fill(QCurve& curve, qint64 first, qint64 count, double step, double phase) {
    for (qint64 i = first; i < first + count; ++i)
        curve.addDataCurve(point(i, step, phase));
}
