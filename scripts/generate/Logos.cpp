#include "Logos.h"

#include <QPainter>

#include "Ink.h"

namespace {

const QString NAME = QStringLiteral("Quillon");
const QString VERSION = QStringLiteral("Vantor V" QUILLON_VERSION);
const QString PURPOSE = QStringLiteral("Scratch practice on timecode vinyl");

QImage canvas(int width, int height, const QColor& ground = Qt::transparent) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    return image;
}

// The mark in a 100 x 100 design square: a record whose rim is the bowl of a Q and whose tail
// crosses it like a hand on the vinyl.
void mark(QPainter& p, const QRectF& box) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 100.0);
    Ink::solid(p, QColor(24, 24, 24));
    p.drawEllipse(QPointF(47, 47), 40, 40);
    Ink::outline(p, QColor(78, 78, 80), 1.5);
    for (qreal r : {31.0, 26.0, 21.0})
        p.drawEllipse(QPointF(47, 47), r, r);
    Ink::outline(p, Ink::GLYPH, 8);
    p.drawEllipse(QPointF(47, 47), 40, 40);
    Ink::solid(p, Ink::BLUE);
    p.drawEllipse(QPointF(47, 47), 13, 13);
    Ink::solid(p, QColor(24, 24, 24));
    p.drawEllipse(QPointF(47, 47), 2.5, 2.5);
    p.setPen(Ink::stroke(Ink::INPUT_A, 10));
    p.drawLine(QPointF(62, 62), QPointF(92, 92));
    p.restore();
}

// The name beside the mark, both fitted into `box`.
void wordmark(QPainter& p, const QRectF& box, const QColor& ink) {
    const qreal side = box.height();
    mark(p, QRectF(box.left(), box.top(), side, side));
    p.setFont(Ink::boldFont(side * 0.62));
    p.setPen(ink);
    p.drawText(QRectF(box.left() + side * 1.12, box.top(), box.width() - side * 1.12, side),
               Qt::AlignLeft | Qt::AlignVCenter, NAME);
}

void textLine(QPainter& p, const QRectF& box, qreal pixelSize, const QColor& ink, const QString& text,
              bool bold = false) {
    QFont font = Ink::boldFont(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}

// The window icon, and the picture of a set or an author that has none of its own.
QImage icon() {
    QImage image = canvas(256, 256);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    mark(p, QRectF(4, 4, 248, 248));
    return image;
}

// The splash picture shown while the window is built.
QImage splash() {
    QImage image = canvas(640, 360, Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    wordmark(p, QRectF(60, 90, 520, 130), Qt::white);
    textLine(p, QRectF(206, 220, 400, 40), 22, Ink::GLYPH, PURPOSE);
    textLine(p, QRectF(206, 300, 400, 30), 16, Ink::DIM.lighter(150), VERSION);
    return image;
}

// Drawn over the graph's dark ground, light and faint so the curves stay in front.
QImage graphLogo() {
    QImage image = canvas(400, 110);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(0.35);
    wordmark(p, QRectF(4, 4, 392, 102), Qt::white);
    return image;
}

QImage about() {
    QImage image = canvas(600, 380, QColor(43, 43, 43));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Ink::outline(p, QColor(95, 96, 97), 2);
    p.drawRect(QRectF(1, 1, 598, 378));
    wordmark(p, QRectF(40, 40, 520, 120), Qt::white);
    textLine(p, QRectF(40, 190, 520, 30), 22, Ink::GLYPH, PURPOSE);
    textLine(p, QRectF(40, 230, 520, 30), 17, QColor(175, 176, 177),
             QStringLiteral("Live scratch curves on a beat grid, phrasing colours,"));
    textLine(p, QRectF(40, 256, 520, 30), 17, QColor(175, 176, 177),
             QStringLiteral("loopers, trainings and recordings."));
    textLine(p, QRectF(40, 320, 520, 30), 16, Ink::DIM.lighter(150), VERSION);
    return image;
}

} // namespace

QList<Logo> logos() {
    return {
        {"LogoQuillon.png", icon},
        {"Logo - Quillon V4-black.png", splash},
        {"Logo - Quillon-WhiteDark", graphLogo},
        {"About.png", about},
    };
}
