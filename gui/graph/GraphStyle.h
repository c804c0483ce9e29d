#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
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
};
