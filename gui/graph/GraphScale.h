#pragma once

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

    double x(double sample) const { return (sample - m_xMin) * m_xScale + LEFT; }
    double y(double value) const { return m_plotBottom - (value - m_yMin) * m_yScale; }
    double sample(double px) const { return (px - LEFT) * m_sampleScale + m_xMin; }

private:
    double m_xMin = 0.0;
    double m_xScale = 0.0;
    double m_sampleScale = 0.0;
    double m_yMin = 0.0;
    double m_yScale = 0.0;
    double m_plotBottom = 0.0;
};
