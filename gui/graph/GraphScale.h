#pragma once

#include <cmath>

// The mappings of one frame between samples and curve values and widget pixels. The plot starts at
// x = LEFT; a span that is not positive gives a scale of 0, so nothing divides by zero.
class GraphScale {
public:
    static constexpr double LEFT = 45.0;

    GraphScale() = default;
    GraphScale(double xMin, double xMax, double plotWidth, double yMin, double yMax, double plotBottom,
               double plotHeight)
        : m_xMin(xMin), m_xScale(xMax - xMin > 0.0 ? plotWidth / (xMax - xMin) : 0.0),
          m_sampleScale(plotWidth != 0.0 ? (xMax - xMin) / plotWidth : 0.0), m_yMin(yMin),
          m_yScale(yMax - yMin > 0.0 ? plotHeight / (yMax - yMin) : 0.0), m_plotBottom(plotBottom) {}

    // The same mapping with the window's start moved left to a whole pixel column: sample 0 at
    // LEFT − column, the window's start `column` columns right of it. Sample s then falls on the same
    // pixel of every such scale, shifted by whole columns, whatever the window's start.
    GraphScale anchored(double column) const {
        GraphScale scale = *this;
        scale.m_xMin = 0.0;
        scale.m_xLeft = LEFT - column;
        return scale;
    }
    // The whole column, counted from sample 0, that the window's start falls in.
    double startColumn() const { return std::floor(m_xMin * m_xScale); }

    double x(double sample) const { return (sample - m_xMin) * m_xScale + m_xLeft; }
    double y(double value) const { return m_plotBottom - (value - m_yMin) * m_yScale; }
    double sample(double px) const { return (px - m_xLeft) * m_sampleScale + m_xMin; }

private:
    double m_xMin = 0.0;
    double m_xLeft = LEFT;
    double m_xScale = 0.0;
    double m_sampleScale = 0.0;
    double m_yMin = 0.0;
    double m_yScale = 0.0;
    double m_plotBottom = 0.0;
};
