#include "CurveRaster.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <limits>

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

// Intersects [lo, hi] with the values of t where low <= k * t <= high.
void constrain(double k, double low, double high, double& lo, double& hi) {
    if (std::fabs(k) < 1e-12) {
        if (low > 0.0 || high < 0.0)
            lo = INF, hi = -INF;
        return;
    }
    double t0 = low / k;
    double t1 = high / k;
    if (t0 > t1)
        std::swap(t0, t1);
    lo = std::max(lo, t0);
    hi = std::min(hi, t1);
}

// Sorts a handful of intervals by their start and merges those that overlap.
void merge(std::vector<std::pair<double, double>>& intervals) {
    if (intervals.size() < 2)
        return;
    std::sort(intervals.begin(), intervals.end());
    size_t out = 0;
    for (size_t i = 1; i < intervals.size(); ++i) {
        if (intervals[i].first <= intervals[out].second)
            intervals[out].second = std::max(intervals[out].second, intervals[i].second);
        else
            intervals[++out] = intervals[i];
    }
    intervals.resize(out + 1);
}

} // namespace

void CurveRaster::Segment::intervals(double xc, double outer, double inner, Interval& o, Interval& i) const {
    o = {INF, -INF};
    i = {INF, -INF};
    for (const auto& [px, py] : {std::pair{ax, ay}, std::pair{bx, by}}) {
        const double e = xc - px;
        if (std::fabs(e) <= outer) {
            const double h = std::sqrt(outer * outer - e * e);
            o = {std::min(o.first, py - h), std::max(o.second, py + h)};
            if (std::fabs(e) <= inner) {
                const double k = std::sqrt(inner * inner - e * e);
                i = {std::min(i.first, py - k), std::max(i.second, py + k)};
            }
        }
    }
    if (length > 0.0) {
        // The band along the segment, in t = y − ay: 0 <= u·(p − a) <= length, and |n·(p − a)| <= radius.
        const double e = xc - ax;
        double lo = -INF, hi = INF;
        constrain(uy, -ux * e, length - ux * e, lo, hi);
        if (lo > hi)
            return;
        double olo = lo, ohi = hi;
        constrain(ux, uy * e - outer, uy * e + outer, olo, ohi);
        if (olo <= ohi)
            o = {std::min(o.first, ay + olo), std::max(o.second, ay + ohi)};
        constrain(ux, uy * e - inner, uy * e + inner, lo, hi);
        if (lo <= hi)
            i = {std::min(i.first, ay + lo), std::max(i.second, ay + hi)};
    }
}

double CurveRaster::Segment::distance(double x, double y) const {
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) * inverseSquare, 0.0, 1.0);
    const double ex = x - (ax + t * dx);
    const double ey = y - (ay + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

void CurveRaster::begin(QSize size, qreal devicePixelRatio) {
    const int width = std::max(1, int(std::ceil(size.width() * devicePixelRatio)));
    const int height = std::max(1, int(std::ceil(size.height() * devicePixelRatio)));
    if (width != m_width || height != m_height || devicePixelRatio != m_dpr) {
        m_width = width;
        m_height = height;
        m_dpr = devicePixelRatio;
        m_layer = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        m_layer.setDevicePixelRatio(devicePixelRatio);
        m_layer.fill(Qt::transparent);
        m_pictureCache.clear();
    } else {
        const QRect dirty = touched();
        for (int y = dirty.top(); y <= dirty.bottom(); ++y)
            std::memset(m_layer.scanLine(y) + dirty.left() * 4, 0, size_t(dirty.width()) * 4);
    }
    m_bits = reinterpret_cast<quint32*>(m_layer.bits());
    m_left = m_top = 0;
    m_right = m_bottom = -1;
    m_segments.clear();
    m_shapes.clear();
    m_pictures.clear();
    m_opaqueLo.assign(size_t(width), INT_MAX);
    m_opaqueHi.assign(size_t(width), INT_MIN);
}

void CurveRaster::setPen(QRgb colour, double width) {
    const int n = int(m_segments.size());
    m_shapes.push_back({n, n, qPremultiply(colour), std::max(width, 0.0) * m_dpr * 0.5});
}

void CurveRaster::segment(QPointF a, QPointF b) {
    if (m_shapes.empty() || qAlpha(m_shapes.back().solid) == 0)
        return;
    const double ax = a.x() * m_dpr, ay = a.y() * m_dpr, bx = b.x() * m_dpr, by = b.y() * m_dpr;
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by))
        return;
    const double outer = m_shapes.back().radius + 0.5;
    // Columns and rows whose centre may lie within `outer` of the segment.
    const double left = std::ceil(std::min(ax, bx) - outer - 0.5);
    const double right = std::floor(std::max(ax, bx) + outer - 0.5);
    if (right < 0.0 || left > m_width - 1 || std::max(ay, by) + outer < 0.0 || std::min(ay, by) - outer > m_height)
        return;
    const double dx = bx - ax, dy = by - ay;
    const double length = std::sqrt(dx * dx + dy * dy);
    const bool line = length > 0.0;
    m_segments.push_back({ax, ay, bx, by, dx, dy, length, line ? dx / length : 0.0, line ? dy / length : 0.0,
                          line ? 1.0 / (length * length) : 0.0, std::min(ay, by), std::max(ay, by),
                          int(std::max(left, 0.0)), int(std::min(right, double(m_width - 1)))});
    m_shapes.back().endSegment = int(m_segments.size());
}

void CurveRaster::drawPixmap(QPointF topLeft, const QPixmap& pixmap) {
    if (pixmap.isNull())
        return;
    const qint64 key = pixmap.cacheKey();
    auto it = m_pictureCache.find(key);
    if (it == m_pictureCache.end()) {
        const QSize device = (pixmap.deviceIndependentSize() * m_dpr).toSize();
        QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.size() != device)
            image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        it = m_pictureCache.insert(key, image);
    }
    const QPointF at = topLeft * m_dpr;
    m_pictures.push_back({int(m_shapes.size()), QPoint(int(std::lround(at.x())), int(std::lround(at.y()))), *it});
}


void CurveRaster::finish() {

    int p = int(m_pictures.size()) - 1;
    for (int i = int(m_shapes.size()) - 1; i >= 0; --i) {
        while (p >= 0 && m_pictures[p].afterShapes > i)
            renderPicture(m_pictures[p--]);
        renderShape(m_shapes[i]);
    }
    while (p >= 0)
        renderPicture(m_pictures[p--]);
}

bool CurveRaster::under(quint32& pixel, const Shape& shape, float k) const {
    const int alpha = qAlpha(pixel);
    if (alpha == 255)
        return true;
    if (alpha == 0 && k >= 1.0f) {
        pixel = shape.solid;
        return qAlpha(pixel) == 255;
    }
    // What is already there covers the part alpha of the pixel; the shape fills k of the rest.
    const int room = (255 - alpha) * int(k * 255.0f + 0.5f);
    auto channel = [room](int front, int colour) { return std::min(255, front + (colour * room + 32512) / 65025); };
    const quint32 c = shape.solid;
    const int a = channel(alpha, qAlpha(c));
    pixel = qRgba(channel(qRed(pixel), qRed(c)), channel(qGreen(pixel), qGreen(c)), channel(qBlue(pixel), qBlue(c)), a);
    return a == 255;
}

void CurveRaster::renderShape(const Shape& shape) {
    if (shape.firstSegment == shape.endSegment)
        return;
    m_order.clear();
    for (int i = shape.firstSegment; i < shape.endSegment; ++i)
        m_order.push_back(i);
    auto byColumn = [this](int a, int b) { return m_segments[a].firstColumn < m_segments[b].firstColumn; };
    if (!std::is_sorted(m_order.begin(), m_order.end(), byColumn))
        std::stable_sort(m_order.begin(), m_order.end(), byColumn);
    int lastColumn = 0;
    for (int i : m_order)
        lastColumn = std::max(lastColumn, m_segments[i].lastColumn);
    m_active.clear();
    size_t next = 0;
    for (int x = m_segments[m_order.front()].firstColumn; x <= lastColumn; ++x) {
        while (next < m_order.size() && m_segments[m_order[next]].firstColumn <= x)
            m_active.push_back(m_order[next++]);
        std::erase_if(m_active, [&](int i) { return m_segments[i].lastColumn < x; });
        if (m_active.empty()) {
            if (next == m_order.size())
                break;
            x = m_segments[m_order[next]].firstColumn - 1;
            continue;
        }
        renderColumn(shape, x);
    }
}

void CurveRaster::renderColumn(const Shape& shape, int x) {
    const double outer = shape.radius + 0.5;
    // Within `inner` of the stroke's centre line a pixel is fully covered; between the two, the
    // coverage falls linearly with the distance (at radius 0.5, inner is the centre line itself).
    const double inner = std::max(shape.radius - 0.5, 0.0);
    const double xc = x + 0.5;
    int& opaqueLo = m_opaqueLo[x];
    int& opaqueHi = m_opaqueHi[x];
    if (opaqueLo <= opaqueHi) {
        // Behind pixels already opaque (a dense stretch drawn over itself) there is nothing to do.
        double top = INF, bottom = -INF;
        for (int k : m_active) {
            top = std::min(top, m_segments[k].top);
            bottom = std::max(bottom, m_segments[k].bottom);
        }
        if (std::ceil(top - outer - 0.5) >= opaqueLo && std::floor(bottom + outer - 0.5) <= opaqueHi)
            return;
    }
    m_outer.clear();
    m_inner.clear();
    for (int k : m_active) {
        const Segment& s = m_segments[k];
        // Most neighbours of a smooth curve add nothing to what the segments around them cover.
        bool inside = false;
        for (const Interval& i : m_inner)
            inside = inside || (s.top - outer >= i.first && s.bottom + outer <= i.second);
        if (inside)
            continue;
        Interval o, i;
        s.intervals(xc, outer, inner, o, i);
        if (o.first <= o.second)
            m_outer.push_back(o);
        if (i.first <= i.second)
            m_inner.push_back(i);
    }
    merge(m_outer);
    merge(m_inner);
    // The longest run of rows this column made opaque, merged into the column's opaque rows below.
    int runLo = INT_MAX, runHi = INT_MIN, bestLo = INT_MAX, bestHi = INT_MIN;
    auto opaqueRow = [&](int y) {
        if (runLo <= runHi && y == runHi + 1)
            runHi = y;
        else
            runLo = runHi = y;
        if (bestLo > bestHi || runHi - runLo > bestHi - bestLo)
            bestLo = runLo, bestHi = runHi;
    };
    for (const Interval& o : m_outer) {
        const int y0 = int(std::max(std::ceil(o.first - 0.5), 0.0));
        const int y1 = int(std::min(std::floor(o.second - 0.5), double(m_height - 1)));
        if (y0 > y1)
            continue;
        touch(x, y0, x, y1);
        // The rows outside the column's opaque ones: at most two runs.
        const bool opaque = opaqueLo <= opaqueHi;
        const int runs[2][2] = {{y0, opaque ? std::min(y1, opaqueLo - 1) : y1}, {std::max(y0, opaqueHi + 1), y1}};
        for (int r = 0; r < (opaque ? 2 : 1); ++r) {
            size_t k = 0;
            for (int y = runs[r][0]; y <= runs[r][1]; ++y) {
                const double yc = y + 0.5;
                while (k < m_inner.size() && m_inner[k].second < yc)
                    ++k;
                const bool full = k < m_inner.size() && m_inner[k].first <= yc;
                const float coverage = full ? 1.0f : edgeCoverage(xc, yc, o, outer);
                if (coverage > 0.0f && under(m_bits[size_t(y) * m_width + x], shape, coverage))
                    opaqueRow(y);
            }
        }
    }
    if (bestLo > bestHi)
        return;
    const bool touching = opaqueLo <= opaqueHi && bestLo <= opaqueHi + 1 && bestHi >= opaqueLo - 1;
    if (touching) {
        opaqueLo = std::min(opaqueLo, bestLo);
        opaqueHi = std::max(opaqueHi, bestHi);
    } else if (opaqueLo > opaqueHi || bestHi - bestLo > opaqueHi - opaqueLo) {
        opaqueLo = bestLo, opaqueHi = bestHi;
    }
}

float CurveRaster::edgeCoverage(double xc, double yc, const Interval& o, double outer) const {
    // The inner intervals of this outer one, nearest above and below the row.
    const Interval* above = nullptr;
    const Interval* below = nullptr;
    for (const Interval& i : m_inner) {
        if (i.second < yc && i.second >= o.first)
            above = &i;
        else if (i.first > yc && i.first <= o.second && !below)
            below = &i;
    }
    double c;
    if (above && !below)
        c = (o.second - yc) / std::max(o.second - above->second, 1e-9);
    else if (below && !above)
        c = (yc - o.first) / std::max(below->first - o.first, 1e-9);
    else {
        // A pass that only grazes the column, or a gap between two parts: measure.
        double nearest = INF;
        for (int k : m_active) {
            const Segment& s = m_segments[k];
            if (yc >= s.top - outer && yc <= s.bottom + outer)
                nearest = std::min(nearest, s.distance(xc, yc));
        }
        c = outer - nearest;
    }
    return float(std::clamp(c, 0.0, 1.0));
}

void CurveRaster::renderPicture(const Picture& picture) {
    const QImage& image = picture.image;
    const QRect area = QRect(picture.at, image.size()).intersected(QRect(0, 0, m_width, m_height));
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const quint32* from = reinterpret_cast<const quint32*>(image.constScanLine(y - picture.at.y()));
        quint32* to = m_bits + size_t(y) * m_width;
        for (int x = area.left(); x <= area.right(); ++x) {
            const quint32 s = from[x - picture.at.x()];
            quint32& d = to[x];
            const float room = (255 - qAlpha(d)) / 255.0f;
            auto channel = [room](int front, int back) { return std::min(255, int(front + back * room + 0.5f)); };
            d = qRgba(channel(qRed(d), qRed(s)), channel(qGreen(d), qGreen(s)), channel(qBlue(d), qBlue(s)),
                      channel(qAlpha(d), qAlpha(s)));
        }
    }
    touch(area.left(), area.top(), area.right(), area.bottom());
}

void CurveRaster::touch(int x0, int y0, int x1, int y1) {
    if (m_left > m_right) {
        m_left = x0, m_top = y0, m_right = x1, m_bottom = y1;
        return;
    }
    m_left = std::min(m_left, x0);
    m_top = std::min(m_top, y0);
    m_right = std::max(m_right, x1);
    m_bottom = std::max(m_bottom, y1);
}

QRect CurveRaster::touched() const {
    if (m_left > m_right)
        return QRect();
    return QRect(QPoint(m_left, m_top), QPoint(m_right, m_bottom));
}

void CurveRaster::compose(QPainter& painter) const {
    const QRect dirty = touched();
    if (!dirty.isValid())
        return;
    const QRectF target(QPointF(dirty.topLeft()) / m_dpr, QSizeF(dirty.size()) / m_dpr);
    painter.drawImage(target, m_layer, QRectF(dirty));
}
