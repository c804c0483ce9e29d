#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>

// The few colours and strokes every generated picture shares, so the set looks like one family:
// light grey glyphs on a transparent ground, with the application's own colours as accents.
namespace Ink {

// Brighter than the window text (175, 176, 177) so a glyph stands out on the dark buttons.
inline const QColor GLYPH(222, 223, 224);
inline const QColor DIM(95, 96, 97);
inline const QColor DARK(43, 43, 43);
inline const QColor RECORD(220, 64, 82);
inline const QColor INPUT_A(0, 255, 0);
inline const QColor INPUT_B(0, 255, 255);
inline const QColor RED(208, 0, 24);
inline const QColor YELLOW(254, 194, 0);
inline const QColor BLUE(1, 194, 193);
inline const QColor ORANGE(255, 123, 0);

// A stroke with round ends, width in design units (a glyph is drawn on a 100 x 100 square).
inline QPen stroke(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

inline QFont boldFont(qreal pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qRound(pixelSize));
    return font;
}

// Fill only, no outline.
inline void solid(QPainter& p, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
}

// Outline only.
inline void outline(QPainter& p, const QColor& color, qreal width) {
    p.setPen(stroke(color, width));
    p.setBrush(Qt::NoBrush);
}

} // namespace Ink
