#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>

#include "core/Constant.h"
#include "core/Model.h"

// The graph's line pens, band brushes and text styles by graph key, built on first use and kept for
// the process's life.
class GraphStyle {
public:
    static QColor color(Constant::Color::Rgba c) { return QColor(c.red, c.green, c.blue, c.alpha); }
    static QRgb rgb(Constant::Color::Rgba c) { return qRgba(c.red, c.green, c.blue, c.alpha); }

    // GRID, GRID_FIRST_METRONOM, CURRENT and AXE; black 1.0 for any other key.
    static const QPen& linePen(ModelGraph::EnumGraph key);
    // The crossfader band of a curve's graph; transparent for any other key.
    static const QBrush& bandBrush(ModelGraph::EnumGraph graph);
    // `base` at the style's point size (and weight): CURRENT, TAG_NUMBER, and LABEL for any other key.
    static QFont textFont(const QFont& base, ModelGraph::EnumGraph key);
    static const QPen& textPen(ModelGraph::EnumGraph key);

    // A horizontal or vertical line in the key's pen, filled as the rectangle its square-capped stroke
    // covers: the same pixels, without the cost of Qt's stroker. Any other line is stroked.
    static void drawLine(QPainter& painter, ModelGraph::EnumGraph key, QPointF a, QPointF b);
    // drawRect of `rect` with a solid outline of `width` in `outline`: the fill, then the outline as four
    // bands centred on the edges, which do not overlap, so a translucent outline is not doubled at corners.
    static void drawRect(QPainter& painter, const QRectF& rect, const QColor& fill, const QColor& outline,
                         double width);
    // fillRect of a rectangle with fractional edges as antialiasing covers it (each pixel in the colour
    // at the alpha of the part it covers), from at most nine whole-pixel rectangles: Qt sends a
    // fractional rectangle through its path rasteriser, which costs many times more.
    static void fillExact(QPainter& painter, const QRectF& rect, const QColor& colour);
};
