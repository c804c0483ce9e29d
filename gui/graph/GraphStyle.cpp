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
