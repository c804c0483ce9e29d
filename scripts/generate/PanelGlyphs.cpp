// The panels' buttons and headers: close, import, add, delete, share, save, the side menu's pages,
// the colour rows' deck toggles and the scratch-sound badge.
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

#include "Glyph.h"
#include "Ink.h"

namespace {

void close(QPainter& p) {
    p.setPen(Ink::stroke(Ink::GLYPH, 11));
    p.drawLine(QPointF(24, 24), QPointF(76, 76));
    p.drawLine(QPointF(76, 24), QPointF(24, 76));
}

void plusAt(QPainter& p, const QPointF& centre, qreal half, qreal width) {
    p.setPen(Ink::stroke(Ink::GLYPH, width));
    p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
    p.drawLine(centre - QPointF(0, half), centre + QPointF(0, half));
}

void addition(QPainter& p) { plusAt(p, QPointF(50, 50), 32, 11); }

// A note with a plus: add a looper sound.
void addSong(QPainter& p) {
    Ink::solid(p, Ink::GLYPH);
    p.save();
    p.translate(34, 74);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), 17, 12);
    p.restore();
    p.setPen(Ink::stroke(Ink::GLYPH, 7));
    p.drawLine(QPointF(48, 70), QPointF(48, 16));
    p.drawLine(QPointF(48, 16), QPointF(66, 30));
    plusAt(p, QPointF(76, 70), 14, 7);
}

void trash(QPainter& p) {
    p.setPen(Ink::stroke(Ink::GLYPH, 7));
    p.drawLine(QPointF(18, 24), QPointF(82, 24));
    p.drawLine(QPointF(40, 14), QPointF(60, 14));
    Ink::solid(p, Ink::GLYPH);
    p.drawPolygon(QPolygonF({QPointF(24, 32), QPointF(76, 32), QPointF(70, 90), QPointF(30, 90)}));
    p.setPen(Ink::stroke(Ink::DARK, 5));
    for (int x : {38, 50, 62})
        p.drawLine(QPointF(x, 42), QPointF(x, 80));
}

void share(QPainter& p) {
    const QPointF a(72, 22), b(28, 50), c(72, 78);
    p.setPen(Ink::stroke(Ink::GLYPH, 6));
    p.drawLine(a, b);
    p.drawLine(b, c);
    Ink::solid(p, Ink::GLYPH);
    for (const QPointF& node : {a, b, c})
        p.drawEllipse(node, 13, 13);
}

// A floppy disk.
void save(QPainter& p) {
    Ink::solid(p, Ink::GLYPH);
    p.drawPolygon(QPolygonF({QPointF(14, 14), QPointF(72, 14), QPointF(86, 28), QPointF(86, 86), QPointF(14, 86)}));
    Ink::solid(p, Ink::DARK);
    p.drawRect(QRectF(28, 14, 36, 22));
    p.drawRoundedRect(QRectF(26, 52, 48, 34), 3, 3);
    Ink::solid(p, Ink::GLYPH);
    p.drawRect(QRectF(52, 18, 8, 14));
}

// A folder with an arrow going in: open a sound file.
void import(QPainter& p) {
    Ink::solid(p, Ink::GLYPH);
    p.drawPolygon(QPolygonF({QPointF(10, 30), QPointF(10, 86), QPointF(90, 86), QPointF(90, 36), QPointF(48, 36),
                             QPointF(40, 26), QPointF(14, 26)}));
    p.setPen(Ink::stroke(Ink::DARK, 8));
    p.drawLine(QPointF(50, 46), QPointF(50, 70));
    Ink::solid(p, Ink::DARK);
    p.drawPolygon(QPolygonF({QPointF(36, 64), QPointF(64, 64), QPointF(50, 80)}));
}

void option(QPainter& p) {
    p.setPen(Ink::stroke(Ink::GLYPH, 10));
    for (int y : {24, 50, 76})
        p.drawLine(QPointF(18, y), QPointF(82, y));
}

void gear(QPainter& p) {
    QPainterPath wheel;
    wheel.setFillRule(Qt::WindingFill);
    wheel.addEllipse(QPointF(50, 50), 31, 31);
    for (int i = 0; i < 8; ++i) {
        QTransform turn;
        turn.translate(50, 50);
        turn.rotate(i * 45);
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-9, -44, 18, 20), 3, 3);
        wheel = wheel.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(50, 50), 13, 13);
    Ink::solid(p, Ink::GLYPH);
    p.drawPath(wheel.subtracted(hole));
}

// A painter's palette with the first colours of the phrasing areas.
void colorMode(QPainter& p) {
    QPainterPath board;
    board.addEllipse(QRectF(8, 14, 84, 72));
    QPainterPath thumb;
    thumb.addEllipse(QPointF(62, 68), 9, 9);
    QPainterPath notch;
    notch.addEllipse(QPointF(86, 74), 14, 12);
    Ink::solid(p, Ink::GLYPH);
    p.drawPath(board.subtracted(thumb).subtracted(notch));
    const QColor colors[] = {Ink::RED, Ink::YELLOW, Ink::BLUE, Ink::ORANGE};
    const QPointF spots[] = {QPointF(30, 40), QPointF(52, 30), QPointF(74, 38), QPointF(28, 64)};
    for (int i = 0; i < 4; ++i) {
        Ink::solid(p, colors[i]);
        p.drawEllipse(spots[i], 9, 9);
    }
}

// Training: a dumbbell.
void training(QPainter& p) {
    Ink::solid(p, Ink::GLYPH);
    p.drawRoundedRect(QRectF(22, 45, 56, 10), 3, 3);
    p.drawRoundedRect(QRectF(14, 26, 12, 48), 4, 4);
    p.drawRoundedRect(QRectF(74, 26, 12, 48), 4, 4);
    p.drawRoundedRect(QRectF(4, 36, 10, 28), 3, 3);
    p.drawRoundedRect(QRectF(86, 36, 10, 28), 3, 3);
}

// A record with the DJ's hand on its edge: the looper library.
void discAndHand(QPainter& p) {
    Ink::solid(p, Ink::GLYPH);
    p.drawEllipse(QPointF(42, 50), 38, 38);
    Ink::outline(p, Ink::DARK, 2.5);
    for (qreal r : {31.0, 25.0, 19.0})
        p.drawEllipse(QPointF(42, 50), r, r);
    Ink::solid(p, Ink::BLUE);
    p.drawEllipse(QPointF(42, 50), 11, 11);
    Ink::solid(p, Ink::DARK);
    p.drawEllipse(QPointF(42, 50), 3, 3);
    // The hand comes in from the lower right, its fingers spread on the record toward the centre.
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand.addRoundedRect(QRectF(-14, 0, 30, 34), 12, 12);
    const qreal fingers[4][2] = {{-14, 20}, {-6, 26}, {2, 24}, {10, 18}};
    for (const auto& f : fingers)
        hand.addRoundedRect(QRectF(f[0], -f[1] + 8, 7.5, f[1]), 3.75, 3.75);
    QTransform place;
    place.translate(74, 70);
    place.rotate(-45);
    Ink::outline(p, Ink::DARK, 5);
    p.setBrush(Ink::GLYPH);
    p.drawPath(place.map(hand));
    Ink::solid(p, Ink::GLYPH);
    p.drawPath(place.map(hand));
}

// The badge of a colour file that carries a scratch sound. The colour preview draws it at an
// eighth of its size, so it is drawn large.
void wav(QPainter& p) {
    Ink::solid(p, Ink::BLUE);
    p.drawRoundedRect(QRectF(2, 2, 96, 96), 18, 18);
    const qreal heights[] = {20, 46, 70, 46, 20};
    p.setPen(Ink::stroke(Qt::white, 11));
    for (int i = 0; i < 5; ++i) {
        const qreal x = 22 + i * 14;
        p.drawLine(QPointF(x, 50 - heights[i] / 2), QPointF(x, 50 + heights[i] / 2));
    }
}

// A colour row's deck toggle: a filled square in the input's colour when the deck uses the row,
// an outline otherwise.
void deck(QPainter& p, const QString& letter, const QColor& color, bool checked) {
    const QRectF square(12, 12, 76, 76);
    if (checked) {
        Ink::solid(p, color);
        p.drawRoundedRect(square, 14, 14);
    } else {
        Ink::outline(p, Ink::DIM, 6);
        p.drawRoundedRect(square, 14, 14);
    }
    p.setFont(Ink::boldFont(54));
    p.setPen(checked ? Ink::DARK : Ink::DIM);
    p.drawText(square, Qt::AlignCenter, letter);
}

void deckA(QPainter& p) { deck(p, QStringLiteral("A"), Ink::INPUT_A, true); }
void deckB(QPainter& p) { deck(p, QStringLiteral("B"), Ink::INPUT_B, true); }
void uncheckA(QPainter& p) { deck(p, QStringLiteral("A"), Ink::INPUT_A, false); }
void uncheckB(QPainter& p) { deck(p, QStringLiteral("B"), Ink::INPUT_B, false); }

constexpr int BADGE_SIDE = 160;

} // namespace

QList<Glyph> panelGlyphs() {
    return {
        {"close.png", ICON_SIDE, close},
        {"addition.png", ICON_SIDE, addition},
        {"add-song.png", ICON_SIDE, addSong},
        {"delete.png", ICON_SIDE, trash},
        {"share.png", ICON_SIDE, share},
        {"save.png", ICON_SIDE, save},
        {"import.png", ICON_SIDE, import},
        {"option.png", ICON_SIDE, option},
        {"setting.png", ICON_SIDE, gear},
        {"colorMode.png", ICON_SIDE, colorMode},
        {"menu_training.png", ICON_SIDE, training},
        {"musical-disc-and-dj-hand.png", ICON_SIDE, discAndHand},
        {"wav.png", BADGE_SIDE, wav},
        {"A.png", ICON_SIDE, deckA},
        {"B.png", ICON_SIDE, deckB},
        {"uncheckA.png", ICON_SIDE, uncheckA},
        {"uncheckB.png", ICON_SIDE, uncheckB},
    };
}
