// The run controls: play and pause (plain and in recorder mode), previous, next, record, hold, and
// the crossfader arrows of the graph.
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "Glyph.h"
#include "Ink.h"

namespace {

void playIn(QPainter& p, const QColor& color) {
    Ink::outline(p, color, 5);
    p.drawEllipse(QPointF(50, 50), 42, 42);
    Ink::solid(p, color);
    p.drawPolygon(QPolygonF({QPointF(38, 28), QPointF(38, 72), QPointF(74, 50)}));
}

void pauseIn(QPainter& p, const QColor& color) {
    Ink::outline(p, color, 5);
    p.drawEllipse(QPointF(50, 50), 42, 42);
    Ink::solid(p, color);
    p.drawRoundedRect(QRectF(33, 29, 12, 42), 3, 3);
    p.drawRoundedRect(QRectF(55, 29, 12, 42), 3, 3);
}

void play(QPainter& p) { playIn(p, Ink::GLYPH); }
void pause(QPainter& p) { pauseIn(p, Ink::GLYPH); }
void playRecord(QPainter& p) { playIn(p, Ink::RECORD); }
void pauseRecord(QPainter& p) { pauseIn(p, Ink::RECORD); }

void skip(QPainter& p, bool forward) {
    if (!forward) { // Mirror the forward glyph.
        p.translate(100, 0);
        p.scale(-1, 1);
    }
    Ink::solid(p, Ink::GLYPH);
    p.drawPolygon(QPolygonF({QPointF(18, 20), QPointF(18, 80), QPointF(66, 50)}));
    p.drawRoundedRect(QRectF(70, 20, 12, 60), 3, 3);
}

void previous(QPainter& p) { skip(p, false); }
void next(QPainter& p) { skip(p, true); }

void record(QPainter& p) {
    Ink::outline(p, Ink::RECORD, 6);
    p.drawEllipse(QPointF(50, 50), 42, 42);
    Ink::solid(p, Ink::RECORD);
    p.drawEllipse(QPointF(50, 50), 28, 28);
}

// A raised open hand: the graph holds still.
void hold(QPainter& p) {
    Ink::solid(p, Ink::GLYPH);
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand.addRoundedRect(QRectF(26, 44, 48, 46), 16, 16);
    const qreal fingers[4][2] = {{27, 26}, {39, 12}, {51, 10}, {63, 18}};
    for (const auto& f : fingers)
        hand.addRoundedRect(QRectF(f[0], f[1], 10, 50), 5, 5);
    p.drawPath(hand);
    // The thumb leans out to the right.
    p.save();
    p.translate(70, 62);
    p.rotate(-38);
    p.drawRoundedRect(QRectF(-5, -30, 11, 34), 5.5, 5.5);
    p.restore();
}

// A diagonal arrow from the lower left to the upper right, in `color`; the four crossfader arrows
// are this one mirrored.
void arrow(QPainter& p, const QColor& color, bool mirrorX, bool mirrorY) {
    p.translate(mirrorX ? 100 : 0, mirrorY ? 100 : 0);
    p.scale(mirrorX ? -1 : 1, mirrorY ? -1 : 1);
    p.setPen(Ink::stroke(color, 12));
    p.drawLine(QPointF(22, 78), QPointF(68, 32));
    Ink::solid(p, color);
    p.drawPolygon(QPolygonF({QPointF(84, 16), QPointF(80, 58), QPointF(42, 20)}));
}

// Opening arrows point up, in the colour of sound; closing arrows point down, in red.
void arrowUpRight(QPainter& p) { arrow(p, Ink::YELLOW, false, false); }
void arrowUpLeft(QPainter& p) { arrow(p, Ink::YELLOW, true, false); }
void arrowDownRight(QPainter& p) { arrow(p, Ink::RECORD, false, true); }
void arrowDownLeft(QPainter& p) { arrow(p, Ink::RECORD, true, true); }

// The graph draws the arrows fitted into 30 x 30 without smoothing: drawn at that size, nothing is lost.
constexpr int ARROW_SIDE = 30;

} // namespace

QList<Glyph> transportGlyphs() {
    return {
        {"play-button.png", ICON_SIDE, play},
        {"pause-button.png", ICON_SIDE, pause},
        {"play_record-button.png", ICON_SIDE, playRecord},
        {"pause_record-button.png", ICON_SIDE, pauseRecord},
        {"previous.png", ICON_SIDE, previous},
        {"next.png", ICON_SIDE, next},
        {"record.png", ICON_SIDE, record},
        {"hold.png", ICON_SIDE, hold},
        {"arrowUp-Right", ARROW_SIDE, arrowUpRight},
        {"arrowUp-Left", ARROW_SIDE, arrowUpLeft},
        {"arrowDown-Right", ARROW_SIDE, arrowDownRight},
        {"arrowDown-Left", ARROW_SIDE, arrowDownLeft},
    };
}
