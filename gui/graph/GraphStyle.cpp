#include "GraphStyle.h"

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

void GraphStyle::drawLine(QPainter& painter, ModelGraph::EnumGraph key, QPointF a, QPointF b) {
    const QPen& pen = linePen(key);
    const double h = pen.widthF() / 2.0;
    const QColor colour = pen.color();
    if (a.y() == b.y())
        painter.fillRect(QRectF(QPointF(std::min(a.x(), b.x()) - h, a.y() - h), QPointF(std::max(a.x(), b.x()) + h, a.y() + h)),
                         colour);
    else if (a.x() == b.x())
        painter.fillRect(QRectF(QPointF(a.x() - h, std::min(a.y(), b.y()) - h), QPointF(a.x() + h, std::max(a.y(), b.y()) + h)),
                         colour);
    else {
        painter.setPen(pen);
        painter.drawLine(a, b);
    }
}

void GraphStyle::drawRect(QPainter& painter, const QRectF& rect, const QColor& fill, const QColor& outline,
                          double width) {
    const double h = width / 2.0;
    painter.fillRect(rect, fill);
    const double l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    painter.fillRect(QRectF(QPointF(l - h, t - h), QPointF(r + h, t + h)), outline);
    painter.fillRect(QRectF(QPointF(l - h, b - h), QPointF(r + h, b + h)), outline);
    painter.fillRect(QRectF(QPointF(l - h, t + h), QPointF(l + h, b - h)), outline);
    painter.fillRect(QRectF(QPointF(r - h, t + h), QPointF(r + h, b - h)), outline);
}
