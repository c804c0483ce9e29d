#include "CurveFold.h"

#include <algorithm>
#include <cmath>

#include "CurveRaster.h"

void CurveFold::begin() {
    m_dpr = m_raster.devicePixelRatio();
    m_open = false;
    m_hasColumn = false;
    m_hasEmitted = false;
    m_hasPending = false;
    m_drewSegment = false;
    m_hasRasterPen = false;
    m_strokes.clear();
}

void CurveFold::pixmap(QPointF topLeft, const QPixmap& pixmap) {
    flush();
    m_raster.drawPixmap(topLeft, pixmap);
    // Lines after the picture are a new shape, drawn over it.
    m_hasRasterPen = false;
}

void CurveFold::usePen(const Pen& pen) {
    if (m_hasRasterPen && m_rasterPen == pen)
        return;
    m_raster.setPen(pen.colour, pen.width);
    m_rasterPen = pen;
    m_hasRasterPen = true;
}

void CurveFold::line(QPointF a, QPointF b, const Pen& pen) {
    if (!m_open || !(pen == m_pen) || a != m_end) {
        flush();
        m_open = true;
        m_pen = pen;
        add(a);
    }
    add(b);
    m_end = b;
}

bool CurveFold::extends(QPointF end, const Pen& pen, int& column) const {
    column = m_column;
    return m_open && m_hasColumn && pen == m_pen && !(end != m_end);
}

void CurveFold::addRun(const Run& run) {
    m_last = run.last;
    if (run.lowers)
        m_low = run.low, m_lowIndex = m_count + run.lowAt;
    if (run.raises)
        m_high = run.high, m_highIndex = m_count + run.highAt;
    m_count += run.count;
    m_end = run.last;
}

void CurveFold::add(QPointF p) {
    const int c = column(p.x());
    if (m_hasColumn && c == m_column) {
        m_last = p;
        if (p.y() < m_low.y())
            m_low = p, m_lowIndex = m_count;
        if (p.y() > m_high.y())
            m_high = p, m_highIndex = m_count;
        ++m_count;
        return;
    }
    if (m_hasColumn)
        emitColumn();
    m_hasColumn = true;
    m_column = c;
    m_first = m_low = m_high = m_last = p;
    m_lowIndex = m_highIndex = 0;
    m_count = 1;
}

void CurveFold::emitColumn() {
    emitPoint(m_first);
    const bool lowFirst = m_lowIndex <= m_highIndex;
    const int lastIndex = m_count - 1;
    const QPointF middle[2] = {lowFirst ? m_low : m_high, lowFirst ? m_high : m_low};
    const int middleIndex[2] = {lowFirst ? m_lowIndex : m_highIndex, lowFirst ? m_highIndex : m_lowIndex};
    for (int k = 0; k < 2; ++k) {
        if (middleIndex[k] != 0 && middleIndex[k] != lastIndex)
            emitPoint(middle[k]);
    }
    if (lastIndex > 0)
        emitPoint(m_last);
    m_hasColumn = false;
}

namespace {

// Farther from the segment than this, a point is kept.
constexpr double JOIN_TOLERANCE = 0.05;

bool nearSegment(QPointF a, QPointF b, QPointF q) {
    const QPointF d = b - a;
    const double square = QPointF::dotProduct(d, d);
    const double t = square > 0.0 ? std::clamp(QPointF::dotProduct(q - a, d) / square, 0.0, 1.0) : 0.0;
    const QPointF e = q - (a + t * d);
    return QPointF::dotProduct(e, e) <= JOIN_TOLERANCE * JOIN_TOLERANCE;
}

} // namespace

void CurveFold::emitPoint(QPointF p) {
    if (!m_hasEmitted) {
        m_hasEmitted = true;
        m_emitted = p;
        return;
    }
    if (p == (m_hasPending ? m_pending : m_emitted))
        return;
    if (!m_hasPending) {
        m_hasPending = true;
        m_pending = p;
        m_joinedCount = 0;
        return;
    }
    // Join when the segment to p passes by the pending end and every point joined before it.
    bool joins = m_joinedCount < MAX_JOINED && nearSegment(m_emitted, p, m_pending);
    for (int i = 0; joins && i < m_joinedCount; ++i)
        joins = nearSegment(m_emitted, p, m_joined[i]);
    if (joins) {
        m_joined[m_joinedCount++] = m_pending;
        m_pending = p;
        return;
    }
    emitPending();
    m_hasPending = true;
    m_pending = p;
}

void CurveFold::emitPending() {
    if (!m_hasPending)
        return;
    usePen(m_pen);
    m_raster.segment(m_emitted, m_pending);
    m_drewSegment = true;
    m_emitted = m_pending;
    m_hasPending = false;
    m_joinedCount = 0;
}

void CurveFold::flush() {
    if (!m_open)
        return;
    if (m_hasColumn)
        emitColumn();
    emitPending();
    // A polyline whose points all coincide still shows its round cap.
    if (!m_drewSegment && m_hasEmitted) {
        usePen(m_pen);
        m_raster.segment(m_emitted, m_emitted);
    }
    m_open = false;
    m_hasEmitted = false;
    m_hasPending = false;
    m_drewSegment = false;
}

void CurveFold::flushStrokes() {
    for (const Stroke& s : m_strokes) {
        usePen(s.pen);
        m_raster.segment(QPointF(s.x, s.top), QPointF(s.x, s.bottom));
    }
    m_strokes.clear();
}
