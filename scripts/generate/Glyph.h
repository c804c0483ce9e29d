#pragma once

#include <QList>
#include <QString>

class QPainter;

// One icon of the interface: its resource name, the side of its square picture in pixels, and the
// function that draws it on a 100 x 100 design square (the canvas is scaled to fit).
struct Glyph {
    QString name;
    int side;
    void (*paint)(QPainter&);
};

// Icons are drawn at 50 x 50: the size of the largest button that shows them, and twice the side
// menu's 25 x 25, so the menu's unsmoothed halving keeps whole strokes.
inline constexpr int ICON_SIDE = 50;

QList<Glyph> transportGlyphs();
QList<Glyph> toolGlyphs();
QList<Glyph> panelGlyphs();
