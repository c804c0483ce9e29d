#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRgb>

#include <vector>

class QPainter;
class QPixmap;

// Draws round-capped, round-joined strokes (curve segments, direct-wave strokes) into a transparent
// layer, pixel column by pixel column, antialiased by each pixel centre's distance to the stroke.
// QPainter strokes wide antialiased lines one outline at a time, which costs milliseconds for a few
// thousand segments; here a segment costs a few pixel columns.
//
// Segments drawn between two setPen calls form one shape: where they overlap, a pixel keeps the
// largest coverage instead of being blended twice, exactly as one QPainter polyline would.
// GUI thread only; coordinates are logical widget pixels.
class CurveRaster {
public:
    // Sizes the layer for a frame and clears what the previous frame drew.
    void begin(QSize size, qreal devicePixelRatio);
    // Starts a new shape in this colour (not premultiplied) and width in logical pixels.
    void setPen(QRgb colour, double width);
    void segment(QPointF a, QPointF b);
    // Draws a picture into the layer over what is there, between shapes.
    void drawPixmap(QPointF topLeft, const QPixmap& pixmap);
    // Draws the touched part of the layer with `painter`.
    void compose(QPainter& painter) const;

    const QImage& layer() const { return m_layer; }
    qreal devicePixelRatio() const { return m_dpr; }

private:
    // The y interval, in device pixels, where the vertical line x = xc meets the segment's capsule of
    // the given radius; false when it does not.
    bool capsuleInterval(double xc, double radius, double& lo, double& hi) const;
    double distance(double x, double y) const;
    void plot(int x, int y, int coverage);
    void touch(int x0, int y0, int x1, int y1);
    QRect touched() const;

    QImage m_layer;
    quint32* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    qreal m_dpr = 1.0;
    // Per pixel: the shape that last covered it and that shape's coverage (0 to 255) there.
    std::vector<quint32> m_stamp;
    std::vector<quint8> m_cover;
    quint32 m_shape = 0;
    // The pen, premultiplied, as 0 to 255 floats.
    float m_a = 0.0f;
    float m_r = 0.0f;
    float m_g = 0.0f;
    float m_b = 0.0f;
    quint32 m_solid = 0;
    double m_radius = 0.5;
    // The current segment, in device pixels.
    double m_ax = 0.0;
    double m_ay = 0.0;
    double m_dx = 0.0;
    double m_dy = 0.0;
    double m_length = 0.0;
    // Touched pixels of this frame (device pixels, inclusive); none while left > right.
    int m_left = 0;
    int m_top = 0;
    int m_right = -1;
    int m_bottom = -1;

};
