#include "GraphStyle.h"

#include <algorithm>
#include <cmath>

namespace {

QPen solidPen(Constant::Color::Rgba colour, double width) {
    return QPen(QBrush(GraphStyle::color(colour)), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

const QPen& GraphStyle::linePen(ModelGraph::EnumGraph key) {
    using namespace Constant::Color;
    static const QPen grid = solidPen(COLOR_WHITE_175, 0.5);
    static const QPen bar = solidPen(COLOR_WHITE_175, 4.0);
    static const QPen current = solidPen(COLOR_RED_255, 1.0);
    static const QPen axe = solidPen(COLOR_WHITE_175, 3.0);
    static const QPen other = QPen(QBrush(Qt::black), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    switch (key) {
    case ModelGraph::GRID:
        return grid;
    case ModelGraph::GRID_FIRST_METRONOM:
        return bar;
    case ModelGraph::CURRENT:
        return current;
    case ModelGraph::AXE:
        return axe;
    default:
        return other;
    }
}

const QBrush& GraphStyle::bandBrush(ModelGraph::EnumGraph graph) {
    using namespace Constant::Color;
    static const QBrush green(color(COLOR_GREEN_255_ALPHA_100));
    static const QBrush blue(color(COLOR_BLUE_255_ALPHA_100));
    static const QBrush none(Qt::transparent);
    switch (graph) {
    case ModelGraph::INPUT_A:
    case ModelGraph::INPUT_1:
        return green;
    case ModelGraph::INPUT_B:
    case ModelGraph::INPUT_2:
        return blue;
    default:
        return none;
    }
}

QFont GraphStyle::textFont(const QFont& base, ModelGraph::EnumGraph key) {
    QFont font(base);
    if (key == ModelGraph::TAG_NUMBER) {
        font.setPointSize(60);
        font.setWeight(QFont::Bold);
    } else {
        font.setPointSize(8);
    }
    return font;
}

const QPen& GraphStyle::textPen(ModelGraph::EnumGraph key) {
    using namespace Constant::Color;
    static const QPen current = solidPen(COLOR_RED_255, 1.0);
    static const QPen tag = solidPen(COLOR_WHITE_95, 50.0);
    static const QPen label = solidPen(COLOR_WHITE_175, 0.5);
    if (key == ModelGraph::CURRENT)
        return current;
    if (key == ModelGraph::TAG_NUMBER)
        return tag;
    return label;
}

void GraphStyle::fillExact(QPainter& painter, const QRectF& rect, const QColor& colour) {
    const QRectF r = rect.normalized();
    if (r.isEmpty() || !std::isfinite(r.left()) || !std::isfinite(r.right()) || !std::isfinite(r.top()) ||
        !std::isfinite(r.bottom()))
        return;
    // Per axis: the partial first pixel, the whole pixels, the partial last pixel, as (start, count, coverage).
    struct Part {
        int start, count;
        double coverage;
    };
    auto split = [](double lo, double hi, Part parts[3]) {
        const double first = std::floor(lo), last = std::floor(hi);
        if (first == last) {
            parts[0] = {int(first), 1, hi - lo};
            parts[1] = parts[2] = {0, 0, 0.0};
            return;
        }
        parts[0] = {int(first), 1, first + 1.0 - lo};
        parts[1] = {int(first) + 1, int(last - first) - 1, 1.0};
        parts[2] = {int(last), 1, hi - last};
    };
    const double limit = 1e6;
    Part columns[3], rows[3];
    split(std::clamp(r.left(), -limit, limit), std::clamp(r.right(), -limit, limit), columns);
    split(std::clamp(r.top(), -limit, limit), std::clamp(r.bottom(), -limit, limit), rows);
    const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Part& row : rows) {
        for (const Part& column : columns) {
            const double coverage = row.coverage * column.coverage;
            if (row.count <= 0 || column.count <= 0 || coverage <= 0.0)
                continue;
            QColor c = colour;
            c.setAlphaF(float(colour.alphaF() * std::min(coverage, 1.0)));
            // Qt's raster engine hands a fill of about a hundred rows or more to its thread pool; for a
            // line a pixel wide the hand-over costs many times the fill, so tall fills go in bands.
            constexpr int BAND = 64;
            for (int y = row.start; y < row.start + row.count; y += BAND)
                painter.fillRect(QRect(column.start, y, column.count, std::min(BAND, row.start + row.count - y)), c);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

void GraphStyle::drawLine(QPainter& painter, ModelGraph::EnumGraph key, QPointF a, QPointF b) {
    const QPen& pen = linePen(key);
    const double h = pen.widthF() / 2.0;
    const QColor colour = pen.color();
    if (a.y() == b.y())
        fillExact(painter, QRectF(QPointF(std::min(a.x(), b.x()) - h, a.y() - h), QPointF(std::max(a.x(), b.x()) + h, a.y() + h)),
                  colour);
    else if (a.x() == b.x())
        fillExact(painter, QRectF(QPointF(a.x() - h, std::min(a.y(), b.y()) - h), QPointF(a.x() + h, std::max(a.y(), b.y()) + h)),
                  colour);
    else {
        painter.setPen(pen);
        painter.drawLine(a, b);
    }
}

void GraphStyle::drawRect(QPainter& painter, const QRectF& rect, const QColor& fill, const QColor& outline,
                          double width) {
    const double h = width / 2.0;
    fillExact(painter, rect, fill);
    const double l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    fillExact(painter, QRectF(QPointF(l - h, t - h), QPointF(r + h, t + h)), outline);
    fillExact(painter, QRectF(QPointF(l - h, b - h), QPointF(r + h, b + h)), outline);
    fillExact(painter, QRectF(QPointF(l - h, t + h), QPointF(l + h, b - h)), outline);
    fillExact(painter, QRectF(QPointF(r - h, t + h), QPointF(r + h, b - h)), outline);
}
