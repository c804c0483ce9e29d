// The waveform band, the vertical strip and the waveform cursors of QWPainter, from the pictures its
// QWPainterWav prepared.
#include "QWPainter.h"

#include <QPainter>

#include <cmath>

#include "GraphStyle.h"
#include "core/Mode.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"

namespace {

Singleton* registry() {
    return Singleton::instance();
}

} // namespace

const QData* QWPainter::mainCursorPoint() const {
    if (registry()->instanceMode()->modeRun())
        return m_copyMain.last();
    return m_copyMain.before(GraphWindow::trunc64(m_scale.sample(m_currentX)));
}

int QWPainter::shownPhrasingFor(const QData* point) {
    if (!point)
        return m_shownPhrasing;
    const int area = searchArea(point->targetVinylDeltaPosition());
    // Outside every area the strip keeps the area shown last.
    return area >= 0 ? area : m_shownPhrasing;
}

void QWPainter::drawWavPhasing(QPainter& painter) {
    switch (registry()->instanceMode()->modeDisplay()) {
    case ModelDisplay::NORMAL:
        painter.drawImage(QRectF(45.0, m_bandTop, std::trunc(m_bandWidth), QWPainterWav::PICTURE_HEIGHT),
                          m_painterWav->fullImage());
        break;
    case ModelDisplay::DRUMMING:
        drawWavPhasingVertical(painter, m_painterWav->fullImage());
        break;
    default:
        drawWavPhasingVerticalPhrasing(painter);
        break;
    }
}

// The picture turned a quarter to the left into the strip, its start at the bottom.
void QWPainter::drawWavPhasingVertical(QPainter& painter, const QImage& image) {
    if (image.isNull())
        return;
    painter.save();
    painter.translate(m_stripX, m_plotBottom);
    painter.rotate(-90.0);
    painter.drawImage(QRectF(0.0, 0.0, std::trunc(m_plotBottom - m_marginTop), std::trunc(m_stripWidth)), image);
    painter.restore();
}

void QWPainter::drawWavPhasingVerticalPhrasing(QPainter& painter) {
    if (m_shownPhrasing < 0 || m_shownPhrasing >= int(m_areas.size()))
        return;
    drawWavPhasingVertical(painter, m_painterWav->areaImage(m_shownPhrasing));
}

void QWPainter::drawWavCursor(QPainter& painter) {
    const qint64 cursor = GraphWindow::trunc64(m_scale.sample(m_currentX));
    if (registry()->instanceLooperTraining()->mode() != ModelActivatedMode::Looper) {
        if (const QData* point = m_copySecondary.before(cursor))
            drawWavCursorRect(painter, *point, m_graphSecondary);
    }
    if (registry()->instanceSetting()->paramGraphMainCurve(false)) {
        if (const QData* point = mainCursorPoint())
            drawWavCursorRect(painter, *point, m_graphMain);
    }
}

void QWPainter::drawWavCursorRect(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph) {
    using namespace Constant::Color;
    const double a = point.targetVinylDeltaPosition();
    QRect rect;
    const int stripX = int(m_stripX);
    const int stripRight = stripX + int(m_stripWidth) - 1;
    switch (registry()->instanceMode()->modeDisplay()) {
    case ModelDisplay::NORMAL: {
        const int x = int(std::trunc(m_bandWidth * a / 360.0 + 45.0));
        rect = QRect(QPoint(x, m_bandTop), QPoint(x + 5, m_bandTop + 99));
        break;
    }
    case ModelDisplay::DRUMMING: {
        const int y = int(std::trunc(m_plotHeight * a / -360.0 + m_cursorBottom));
        rect = QRect(QPoint(stripX, y), QPoint(stripRight, y + 5));
        break;
    }
    default: {
        const int area = searchArea(a);
        if (area < 0 || m_areas[area].end == m_areas[area].start)
            return;
        const Area& found = m_areas[area];
        const int y = int(std::trunc(m_cursorBottom - (a - found.start) * m_plotHeight / (found.end - found.start)));
        rect = QRect(QPoint(stripX, y), QPoint(stripRight, y + 5));
        break;
    }
    }
    QColor fill;
    switch (graph) {
    case ModelGraph::INPUT_A:
        fill = GraphStyle::color(COLOR_GREEN_255);
        break;
    case ModelGraph::INPUT_B:
        fill = GraphStyle::color(COLOR_BLUE_255);
        break;
    case ModelGraph::INPUT_1:
        fill = GraphStyle::color(COLOR_GREEN_255_ALPHA_150);
        break;
    case ModelGraph::INPUT_2:
        fill = GraphStyle::color(COLOR_BLUE_255_ALPHA_150);
        break;
    default:
        fill = Qt::black;
        break;
    }
    GraphStyle::drawRect(painter, QRectF(rect), fill, GraphStyle::color(COLOR_BLACK_43_ALPHA_100), 1.0);
}
