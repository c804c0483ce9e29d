#pragma once

#include <QFont>
#include <QHash>
#include <QRect>
#include <QStaticText>
#include <QString>

#include "core/Model.h"

class QPainter;

// Draws the graph's texts in their styles (GraphStyle) inside a rectangle with Qt alignment flags, as
// QPainter::drawText does, from laid-out texts kept between frames: the beat and value labels repeat
// as the grid scrolls, so a frame rarely lays out a text again. GUI thread only.
class LabelCache {
public:
    // `base` is the widget's font, which the styles resize. Leaves the style's font and pen set on the
    // painter.
    void drawText(QPainter& painter, const QFont& base, ModelGraph::EnumGraph key, const QRect& rect, int flags,
                  const QString& text);

private:
    // Enough for every label of a few screens; beyond it the cache starts again.
    static constexpr int MAX_TEXTS = 2000;

    QHash<QString, QStaticText> m_texts;
    // The font the styles were derived from, and the style fonts.
    QFont m_base;
    QHash<int, QFont> m_fonts;
};
