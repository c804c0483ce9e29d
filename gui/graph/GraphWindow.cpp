#include "GraphWindow.h"

#include <cmath>
#include <cstdlib>

bool GraphWindow::acceptsXRange(qint64 a, qint64 b, double samplesPerBeat) {
    const qint64 beat = trunc64(samplesPerBeat);
    if (beat <= 0 || beat > LIMIT / MAX_BEATS)
        return false;
    // a and b come from trunc64, so the difference stays inside 64 bits.
    const qint64 d = std::llabs(a - b);
    return beat < d && d < MAX_BEATS * beat;
}

GraphWindow::Range GraphWindow::yRangeWithMargin(Range data, Range current) {
    const double d = data.max - data.min;
    if (d < 200.0)
        return {data.min - 30.0, data.max + 70.0};
    const double hi = data.max + 0.35 * d;
    const double lo = data.min - 0.15 * d;
    Range result = current;
    if (!(current.max >= data.max && current.max <= hi))
        result.max = hi;
    if (!(current.min >= lo && current.min <= data.min))
        result.min = lo;
    return result;
}

double GraphWindow::xStep(qint64 min, qint64 max, double samplesPerBeat) {
    const qint64 s = std::llabs(min - max) / 80;
    for (double beats : {1.0, 4.0, 10.0, 60.0, 600.0}) {
        if (samplesPerBeat * beats > double(s))
            return samplesPerBeat * beats;
    }
    return samplesPerBeat * 3600.0;
}

double GraphWindow::yStep(double min, double max) {
    const qint64 s = std::llabs(trunc64(min) - trunc64(max)) / 20;
    qint64 step = 10;
    for (int i = 0; i < 8 && step <= s; ++i)
        step *= 10;
    return double(step);
}

GraphWindow::Range GraphWindow::zoomIn(Range window, double c) {
    return {double(trunc64(window.min + (c - window.min) * 0.5)),
            double(trunc64(window.max - (window.max - c) * 0.5))};
}

GraphWindow::Range GraphWindow::zoomOut(Range window, double c) {
    return {double(trunc64(window.min - (c - window.min) * 0.5)),
            double(trunc64(window.max + (window.max - c) * 0.5))};
}

GraphWindow::Grid GraphWindow::gridValues(double step, double a, double b) {
    const qint64 t = trunc64(step);
    const qint64 lo = trunc64(a);
    const qint64 hi = trunc64(b);
    if (t < 1 || hi < lo)
        return {};
    // The smallest multiple of t at or above lo, rounding toward +infinity for negative lo too.
    qint64 first = lo / t * t;
    if (first < lo)
        first += t;
    if (first > hi)
        return {};
    const qint64 count = (hi - first) / t + 1;
    if (count > MAX_GRID_LINES)
        return {};
    return {first, t, int(count)};
}

QString GraphWindow::formatLargeNumber(qint64 n) {
    if (n == 0)
        return QStringLiteral("0");
    // Unsigned, so that the most negative number has a magnitude too.
    const quint64 a = n < 0 ? 0 - quint64(n) : quint64(n);
    static const struct {
        qint64 unit;
        char suffix;
    } units[] = {{1'000'000'000'000, 't'}, {1'000'000'000, 'g'}, {1'000'000, 'm'}, {1000, 'k'}};
    for (const auto& u : units) {
        if (a >= quint64(u.unit) && n % u.unit == 0)
            return QString::number(n / u.unit) + QLatin1Char(u.suffix);
    }
    return QString::number(n);
}

double GraphWindow::rateRatio(double rateTo, double rateFrom) {
    if (rateFrom == 0.0 || !std::isfinite(rateFrom) || !std::isfinite(rateTo))
        return 1.0;
    return rateTo / rateFrom;
}
