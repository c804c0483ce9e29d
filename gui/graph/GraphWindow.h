#pragma once

#include <QString>
#include <QtGlobal>

// The arithmetic of a graph's windows: which X windows are accepted, the Y margins, the grid steps,
// the wheel zoom and the grid values. Pure functions of their arguments, in 64 bits where samples are
// multiplied, so that 36000 beats at 96 kHz and a slow tempo do not overflow.
class GraphWindow {
public:
    struct Range {
        double min = 0.0;
        double max = 0.0;
        friend bool operator==(const Range&, const Range&) = default;
    };

    // The multiples of a grid step over a window: first, first + step, ... (count values).
    struct Grid {
        qint64 first = 0;
        qint64 step = 0;
        int count = 0;
        qint64 value(int i) const { return first + step * i; }
    };

    // More lines than this would fill the plot solid; such a grid is not drawn at all.
    static constexpr int MAX_GRID_LINES = 400;

    // The longest window, in beats.
    static constexpr qint64 MAX_BEATS = 36000;

    // A double toward zero as a 64-bit integer: 0 for a value that is not a number, the nearest
    // bound for one beyond ±2^62.
    // Just under 2^62.
    static constexpr double LIMIT = 4.6e18;
    // Inline: a long curve asks it for every point.
    static qint64 trunc64(double value) {
        if (value != value)
            return 0;
        if (value >= LIMIT)
            return qint64(LIMIT);
        if (value <= -LIMIT)
            return -qint64(LIMIT);
        return static_cast<qint64>(value);
    }

    // True when a window from a to b is longer than one beat and shorter than MAX_BEATS beats of
    // samplesPerBeat (truncated); a tempo that gives less than one sample per beat accepts nothing.
    static bool acceptsXRange(qint64 a, qint64 b, double samplesPerBeat);

    // The Y window for data [min, max] given the present one: a fixed margin for small data, otherwise
    // a bound moves only when it no longer frames the data within the full margin, so the window
    // does not jitter while the data moves inside it.
    static Range yRangeWithMargin(Range data, Range current);

    // The X grid step for a window: the first of 1, 4, 10, 60, 600 beats above 1/80 of the width,
    // else 3600 beats.
    static double xStep(qint64 min, qint64 max, double samplesPerBeat);
    // The Y grid step: the first power of ten from 10 to 10^9 above 1/20 of the height, else 10^9.
    static double yStep(double min, double max);

    // The wheel zoom around sample c: half as wide (in) or 1.5 times as wide (out), c staying in place.
    static Range zoomIn(Range window, double c);
    static Range zoomOut(Range window, double c);

    // Every multiple of trunc(step) from the smallest at or above trunc(a) up to trunc(b); none when the
    // step is below 1 or there would be more than MAX_GRID_LINES.
    static Grid gridValues(double step, double a, double b);

    // 2000 → "2k", 1500 → "1500", 3000000 → "3m", −3000000 → "-3m"; t, g, m, k for exact multiples.
    static QString formatLargeNumber(qint64 n);

    // Samples of one stream in another: rate(to) / rate(from), 1 when rate(from) is 0 or not finite.
    static double rateRatio(double rateTo, double rateFrom);
};
