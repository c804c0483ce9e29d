// The tool bar's mode controls: mix and reverse, the input selector, the metronome lamp and toggle,
// and the graph's display modes.
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

#include "Glyph.h"
#include "Ink.h"

namespace {

// A crossfader: the slot, its scale and the cap in the middle.
void mix(QPainter& p) {
    Ink::outline(p, Ink::GLYPH, 5);
    p.drawRoundedRect(QRectF(10, 44, 80, 12), 6, 6);
    p.setPen(Ink::stroke(Ink::GLYPH, 4));
    for (int x = 18; x <= 82; x += 16)
        p.drawLine(QPointF(x, 22), QPointF(x, x == 50 ? 14 : 28));
    Ink::solid(p, Ink::GLYPH);
    p.drawRoundedRect(QRectF(40, 32, 20, 48), 5, 5);
    Ink::solid(p, Ink::DARK);
    p.drawRect(QRectF(42, 54, 16, 4));
}

// The reversed crossfader is known by the name of this animal: a round head with ears.
void hamster(QPainter& p) {
    Ink::solid(p, Ink::GLYPH);
    p.drawEllipse(QPointF(27, 28), 13, 13);
    p.drawEllipse(QPointF(73, 28), 13, 13);
    p.drawEllipse(QRectF(12, 24, 76, 66));
    Ink::solid(p, Ink::RED.lighter(170));
    p.drawEllipse(QPointF(27, 28), 6, 6);
    p.drawEllipse(QPointF(73, 28), 6, 6);
    Ink::solid(p, Ink::DARK);
    p.drawEllipse(QPointF(36, 52), 6, 6);
    p.drawEllipse(QPointF(64, 52), 6, 6);
    p.drawPolygon(QPolygonF({QPointF(44, 64), QPointF(56, 64), QPointF(50, 71)}));
    p.setPen(Ink::stroke(Ink::DARK, 2.5));
    p.drawLine(QPointF(50, 71), QPointF(50, 77));
    p.drawLine(QPointF(20, 66), QPointF(38, 69));
    p.drawLine(QPointF(20, 76), QPointF(38, 73));
    p.drawLine(QPointF(80, 66), QPointF(62, 69));
    p.drawLine(QPointF(80, 76), QPointF(62, 73));
}

// The input selector: both letters, the used ones in their input's colour, the others dimmed.
void inputs(QPainter& p, bool a, bool b) {
    p.setFont(Ink::boldFont(52));
    p.setPen(a ? Ink::INPUT_A : Ink::DIM);
    p.drawText(QRectF(0, 10, 50, 80), Qt::AlignCenter, QStringLiteral("A"));
    p.setPen(b ? Ink::INPUT_B : Ink::DIM);
    p.drawText(QRectF(50, 10, 50, 80), Qt::AlignCenter, QStringLiteral("B"));
    p.setPen(Ink::stroke(a && b ? Ink::GLYPH : Ink::DIM, 4));
    p.drawLine(QPointF(10, 86), QPointF(90, 86));
}

void switchA(QPainter& p) { inputs(p, true, false); }
void switchAB(QPainter& p) { inputs(p, true, true); }
void switchB(QPainter& p) { inputs(p, false, true); }

void metronomeBody(QPainter& p, const QColor& color) {
    Ink::outline(p, color, 6);
    p.drawPolygon(QPolygonF({QPointF(40, 12), QPointF(60, 12), QPointF(78, 88), QPointF(22, 88)}));
    p.drawLine(QPointF(28, 70), QPointF(72, 70));
    p.drawLine(QPointF(50, 70), QPointF(76, 22));
    Ink::solid(p, color);
    p.drawRoundedRect(QRectF(57, 36, 14, 10), 3, 3);
}

// The beat lamp: lit in yellow; the button greys it out while it is dark (disabled).
void metronomeLamp(QPainter& p) {
    QRadialGradient glow(QPointF(50, 50), 46);
    glow.setColorAt(0.0, Ink::YELLOW.lighter(140));
    glow.setColorAt(0.55, Ink::YELLOW);
    glow.setColorAt(1.0, QColor(Ink::YELLOW.red(), Ink::YELLOW.green(), 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(50, 50), 46, 46);
    Ink::solid(p, Ink::DARK);
    p.drawEllipse(QPointF(50, 50), 26, 26);
    p.scale(0.5, 0.5);
    p.translate(50, 50);
    metronomeBody(p, Ink::YELLOW);
}

void metronome(QPainter& p) { metronomeBody(p, Ink::GLYPH); }

// Normal display: the sound's waveform.
void waveLine(QPainter& p) {
    const qreal heights[] = {16, 34, 58, 40, 80, 52, 30, 62, 22};
    p.setPen(Ink::stroke(Ink::GLYPH, 7));
    for (int i = 0; i < 9; ++i) {
        const qreal x = 10 + i * 10;
        p.drawLine(QPointF(x, 50 - heights[i] / 2), QPointF(x, 50 + heights[i] / 2));
    }
}

// Phrasing display: the platter divided into coloured areas.
void phrasing(QPainter& p) {
    const QColor colors[] = {Ink::RED, Ink::YELLOW, Ink::BLUE, Ink::ORANGE};
    const QRectF disc(6, 6, 88, 88);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colors[i]);
        p.drawPie(disc, (90 - i * 90) * 16, -90 * 16);
    }
    Ink::solid(p, Ink::DARK);
    p.drawEllipse(QPointF(50, 50), 14, 14);
    Ink::solid(p, Ink::GLYPH);
    p.drawEllipse(QPointF(50, 50), 5, 5);
}

// Drumming display: a drum and its sticks.
void drumming(QPainter& p) {
    p.setPen(Ink::stroke(Ink::GLYPH, 6));
    p.drawLine(QPointF(18, 10), QPointF(50, 44));
    p.drawLine(QPointF(82, 10), QPointF(50, 44));
    Ink::solid(p, Ink::GLYPH);
    QPainterPath shell;
    shell.moveTo(14, 56);
    shell.lineTo(14, 80);
    shell.arcTo(QRectF(14, 68, 72, 24), 180, 180);
    shell.lineTo(86, 56);
    shell.closeSubpath();
    p.drawPath(shell);
    Ink::outline(p, Ink::GLYPH, 5);
    p.setBrush(Ink::DARK);
    p.drawEllipse(QRectF(14, 44, 72, 24));
    p.setPen(Ink::stroke(Ink::DARK, 4));
    for (int x : {30, 50, 70})
        p.drawLine(QPointF(x, 70 + (x == 50 ? 4 : 2)), QPointF(x, 86 + (x == 50 ? 4 : 0)));
}

// The combo boxes' drop-down arrow, which the style sheet names.
void dropDown(QPainter& p) {
    Ink::solid(p, QColor(175, 176, 177));
    p.drawPolygon(QPolygonF({QPointF(14, 30), QPointF(86, 30), QPointF(50, 74)}));
}

// Shown at 10 x 10; drawn at twice that for screens with more pixels.
constexpr int ARROW_SIDE = 20;

} // namespace

QList<Glyph> toolGlyphs() {
    return {
        {"mix.png", ICON_SIDE, mix},
        {"hamster.png", ICON_SIDE, hamster},
        {"switch_a_text.png", ICON_SIDE, switchA},
        {"switch_a_b_text.png", ICON_SIDE, switchAB},
        {"switch_b_text.png", ICON_SIDE, switchB},
        {"metronom.png", ICON_SIDE, metronomeLamp},
        {"metronom2.png", ICON_SIDE, metronome},
        {"music-sound-wave-line.png", ICON_SIDE, waveLine},
        {"phrasing.png", ICON_SIDE, phrasing},
        {"drumming.png", ICON_SIDE, drumming},
        {"dropdown.png", ARROW_SIDE, dropDown},
    };
}
