#include "CurveRaster.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
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
    for (size_t i = 1; i < intervals.size(); ++i) {
        for (size_t j = i; j > 0 && intervals[j].first < intervals[j - 1].first; --j)
            std::swap(intervals[j], intervals[j - 1]);
    }
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

void CurveRaster::setPen(QRgb colour, double width) {
    const int n = int(m_segments.size());
    m_shapes.push_back({n, n, qPremultiply(colour), std::max(width, 0.0) * m_dpr * 0.5, true});
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
    Shape& shape = m_shapes.back();
    if (right < 0.0 || left > m_width - 1 || std::max(ay, by) + outer < 0.0 || std::min(ay, by) - outer > m_height) {
        // Left out, it would leave a gap in the polyline.
        shape.simple = shape.simple && shape.endSegment == shape.firstSegment;
        return;
    }
    if (shape.endSegment > shape.firstSegment) {
        const Segment& last = m_segments[size_t(shape.endSegment) - 1];
        shape.simple = shape.simple && last.bx == ax && last.by == ay;
    }
    shape.simple = shape.simple && ax <= bx;
    const double dx = bx - ax, dy = by - ay;
    const double length = std::sqrt(dx * dx + dy * dy);
    const bool line = length > 0.0;
    m_segments.push_back({ax, ay, bx, by, dx, dy, length, line ? dx / length : 0.0, line ? dy / length : 0.0,
                          line ? 1.0 / (length * length) : 0.0, std::min(ay, by), std::max(ay, by),
                          int(std::max(left, 0.0)), int(std::min(right, double(m_width - 1)))});
    shape.endSegment = int(m_segments.size());
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
    m_pictures.push_back(
        {int(m_shapes.size()), QRect(QPoint(int(std::lround(at.x())), int(std::lround(at.y()))), it->size()), *it, 0});
}

void CurveRaster::fillRect(const QRect& rect, QRgb colour) {
    const QRect area = QRectF(QPointF(rect.topLeft()) * m_dpr, QSizeF(rect.size()) * m_dpr).toAlignedRect();
    if (!area.isEmpty() && qAlpha(colour) > 0)
        m_pictures.push_back({int(m_shapes.size()), area, QImage(), qPremultiply(colour)});
}


void CurveRaster::finish() {
    markChangedColumns();
    int p = int(m_pictures.size()) - 1;
    for (int i = int(m_shapes.size()) - 1; i >= 0; --i) {
        while (p >= 0 && m_pictures[p].afterShapes > i)
            renderPicture(m_pictures[p--]);
        renderShape(m_shapes[i]);
    }
    while (p >= 0)
        renderPicture(m_pictures[p--]);
}

inline bool CurveRaster::under(quint32& pixel, const Shape& shape, float k) const {
    const int alpha = qAlpha(pixel);
    if (alpha >= OPAQUE)
        return true;
    if (alpha == 0 && k >= 1.0f) {
        pixel = shape.solid;
        return qAlpha(pixel) >= OPAQUE;
    }
    // What is already there covers the part alpha of the pixel; the shape fills k of the rest, as a
    // fraction of 65536.
    const unsigned scale = (unsigned((255 - alpha) * int(k * 255.0f + 0.5f)) * 66052u) >> 16;
    auto channel = [scale](int front, int colour) {
        return std::min(255, front + int((unsigned(colour) * scale + 32768u) >> 16));
    };
    const quint32 c = shape.solid;
    const int a = channel(alpha, qAlpha(c));
    pixel = qRgba(channel(qRed(pixel), qRed(c)), channel(qGreen(pixel), qGreen(c)), channel(qBlue(pixel), qBlue(c)), a);
    return a >= OPAQUE;
}

void CurveRaster::renderShape(const Shape& shape) {
    if (shape.firstSegment == shape.endSegment)
        return;
    int firstColumn = INT_MAX, lastColumn = INT_MIN;
    for (int i = shape.firstSegment; i < shape.endSegment; ++i) {
        firstColumn = std::min(firstColumn, m_segments[i].firstColumn);
        lastColumn = std::max(lastColumn, m_segments[i].lastColumn);
    }
    if (!anyChanged(firstColumn, lastColumn))
        return;
    m_order.clear();
    for (int i = shape.firstSegment; i < shape.endSegment; ++i)
        m_order.push_back(i);
    auto byColumn = [this](int a, int b) { return m_segments[a].firstColumn < m_segments[b].firstColumn; };
    if (!std::is_sorted(m_order.begin(), m_order.end(), byColumn))
        std::stable_sort(m_order.begin(), m_order.end(), byColumn);
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
        if (!m_changed[x])
            continue;
        if (shape.simple)
            renderSimpleColumn(shape, x);
        else
            renderColumn(shape, x);
    }
}

bool CurveRaster::hidden(int x, double outer) {
    // Behind pixels already opaque (a dense stretch drawn over itself) there is nothing to do.
    double top = INF, bottom = -INF;
    for (int k : m_active) {
        top = std::min(top, m_segments[k].top);
        bottom = std::max(bottom, m_segments[k].bottom);
    }
    const int lo = int(std::max(std::ceil(top - outer - 0.5), 0.0));
    const int hi = int(std::min(std::floor(bottom + outer - 0.5), double(m_height - 1)));
    int& opaqueLo = m_opaqueLo[x];
    int& opaqueHi = m_opaqueHi[x];
    if (lo > hi || (lo >= opaqueLo && hi <= opaqueHi))
        return true;
    // The rows known opaque as one run are a part of those known opaque row by row; pictures and
    // translucent pens leave rows opaque that are not known yet, so those are looked at once.
    if (!allOpaque(x, lo, hi)) {
        const quint32* column = m_bits + physical(x);
        quint64* words = m_opaqueBits.data() + size_t(x) * m_opaqueWords;
        for (int y = lo; y <= hi; ++y) {
            if (words[y >> 6] >> (y & 63) & 1)
                continue;
            if (qAlpha(column[size_t(y) * m_width]) < OPAQUE)
                return false;
            words[y >> 6] |= 1ull << (y & 63);
        }
    }
    if (opaqueLo > opaqueHi) {
        opaqueLo = lo, opaqueHi = hi;
    } else if (lo <= opaqueHi + 1 && hi >= opaqueLo - 1) {
        opaqueLo = std::min(opaqueLo, lo);
        opaqueHi = std::max(opaqueHi, hi);
    } else if (hi - lo > opaqueHi - opaqueLo) {
        opaqueLo = lo, opaqueHi = hi;
    }
    return true;
}

void CurveRaster::renderSimpleColumn(const Shape& shape, int x) {
    const double outer = shape.radius + 0.5;
    const double inner = std::max(shape.radius - 0.5, 0.0);
    const double xc = x + 0.5;
    if (hidden(x, outer))
        return;
    double lo = INF, hi = -INF, innerLo = INF, innerHi = -INF;
    for (int k : m_active) {
        const Segment& s = m_segments[k];
        // A neighbour lying wholly within what is already fully covered adds nothing.
        if (s.top - outer >= innerLo && s.bottom + outer <= innerHi)
            continue;
        Interval o, i;
        s.intervals(xc, outer, inner, o, i);
        lo = std::min(lo, o.first);
        hi = std::max(hi, o.second);
        innerLo = std::min(innerLo, i.first);
        innerHi = std::max(innerHi, i.second);
    }
    const int y0 = int(std::max(std::ceil(lo - 0.5), 0.0));
    const int y1 = int(std::min(std::floor(hi - 0.5), double(m_height - 1)));
    if (!(lo <= hi) || y0 > y1)
        return;
    if (!(innerLo <= innerHi)) {
        // The stroke only grazes this column: measure each row.
        m_outer.assign(1, {lo, hi});
        m_inner.clear();
        renderIntervals(shape, x);
        return;
    }
    touch(x, y0, x, y1);
    int& opaqueLo = m_opaqueLo[x];
    int& opaqueHi = m_opaqueHi[x];
    quint32* column = m_bits + physical(x);
    const int f0 = std::max(int(std::ceil(innerLo - 0.5)), y0);
    const int f1 = std::min(int(std::floor(innerHi - 0.5)), y1);
    // Coverage falls linearly from the inner bound (1) to the outer bound (0).
    auto ramp = [&](int from, int to, double one, double zero) {
        for (int y = std::max(from, y0); y <= std::min(to, y1); ++y) {
            quint32& pixel = column[size_t(y) * m_width];
            if (qAlpha(pixel) >= OPAQUE)
                continue;
            const double c = (y + 0.5 - zero) / (one - zero);
            if (c > 0.0 && under(pixel, shape, float(std::min(c, 1.0))))
                markOpaque(x, y, y);
        }
    };
    ramp(y0, f0 - 1, innerLo, lo);
    ramp(f1 + 1, y1, innerHi, hi);
    if (f0 > f1)
        return;
    const bool solid = qAlpha(shape.solid) == 255;
    for (int y = f0; y <= f1; ++y) {
        if (y >= opaqueLo && y <= opaqueHi) {
            y = opaqueHi;
            continue;
        }
        quint32& pixel = column[size_t(y) * m_width];
        const int alpha = qAlpha(pixel);
        if (alpha == 0)
            pixel = shape.solid;
        else if (alpha < OPAQUE)
            under(pixel, shape, 1.0f);
    }
    if (!solid)
        return;
    // The fully covered rows of an opaque colour are now opaque.
    markOpaque(x, f0, f1);
    if (opaqueLo > opaqueHi || (f0 <= opaqueHi + 1 && f1 >= opaqueLo - 1)) {
        opaqueLo = opaqueLo > opaqueHi ? f0 : std::min(opaqueLo, f0);
        opaqueHi = std::max(opaqueHi, f1);
    } else if (f1 - f0 > opaqueHi - opaqueLo) {
        opaqueLo = f0, opaqueHi = f1;
    }
}

void CurveRaster::renderColumn(const Shape& shape, int x) {
    const double outer = shape.radius + 0.5;
    // Within `inner` of the stroke's centre line a pixel is fully covered; between the two, the
    // coverage falls linearly with the distance (at radius 0.5, inner is the centre line itself).
    const double inner = std::max(shape.radius - 0.5, 0.0);
    const double xc = x + 0.5;
    if (hidden(x, outer))
        return;
    m_outer.clear();
    m_inner.clear();
    for (int k : m_active) {
        const Segment& s = m_segments[k];
        // A neighbour lying wholly within what is already fully covered adds nothing.
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
    renderIntervals(shape, x);
}

void CurveRaster::renderIntervals(const Shape& shape, int x) {
    const double outer = shape.radius + 0.5;
    const double xc = x + 0.5;
    int& opaqueLo = m_opaqueLo[x];
    int& opaqueHi = m_opaqueHi[x];
    // The longest run of rows this column made opaque, merged into the column's opaque rows below.
    int runLo = INT_MAX, runHi = INT_MIN, bestLo = INT_MAX, bestHi = INT_MIN;
    auto opaqueRows = [&](int from, int to) {
        markOpaque(x, from, to);
        if (runLo <= runHi && from == runHi + 1)
            runHi = to;
        else
            runLo = from, runHi = to;
        if (bestLo > bestHi || runHi - runLo > bestHi - bestLo)
            bestLo = runLo, bestHi = runHi;
    };
    const bool solid = qAlpha(shape.solid) == 255;
    quint32* column = m_bits + physical(x);
    auto edgeRows = [&](const Interval& o, int from, int to) {
        for (int y = from; y <= to; ++y) {
            quint32& pixel = column[size_t(y) * m_width];
            // An opaque pixel stays as it is: no need to measure its coverage.
            if (qAlpha(pixel) >= OPAQUE) {
                opaqueRows(y, y);
                continue;
            }
            const float coverage = edgeCoverage(xc, y + 0.5, o, outer);
            if (coverage > 0.0f && under(pixel, shape, coverage))
                opaqueRows(y, y);
        }
    };
    auto fullRows = [&](int from, int to) {
        for (int y = from; y <= to; ++y) {
            quint32& pixel = column[size_t(y) * m_width];
            if (qAlpha(pixel) >= OPAQUE) {
                if (!solid)
                    opaqueRows(y, y);
                continue;
            }
            if (qAlpha(pixel) == 0)
                pixel = shape.solid;
            else if (!solid && under(pixel, shape, 1.0f))
                opaqueRows(y, y);
            else if (solid)
                under(pixel, shape, 1.0f);
        }
        if (solid)
            opaqueRows(from, to);
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
            int y = runs[r][0];
            const int end = runs[r][1];
            // Inner intervals are sorted and apart: edge rows before each, its full rows, edge rows after.
            for (const Interval& in : m_inner) {
                if (y > end)
                    break;
                const int f0 = std::max(int(std::ceil(in.first - 0.5)), y);
                const int f1 = std::min(int(std::floor(in.second - 0.5)), end);
                if (f1 < f0)
                    continue;
                edgeRows(o, y, f0 - 1);
                fullRows(f0, f1);
                y = f1 + 1;
            }
            edgeRows(o, y, end);
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
    const QRect area = picture.area.intersected(QRect(0, 0, m_width, m_height));
    if (area.isEmpty() || !anyChanged(area.left(), area.right()))
        return;
    const bool solid = picture.image.isNull();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const quint32* from =
            solid ? nullptr : reinterpret_cast<const quint32*>(picture.image.constScanLine(y - picture.area.y()));
        quint32* to = m_bits + size_t(y) * m_width;
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!m_changed[x])
                continue;
            const quint32 s = solid ? picture.colour : from[x - picture.area.x()];
            quint32& d = to[physical(x)];
            const int room = 255 - qAlpha(d);
            if (room == 0)
                continue;
            if (room == 255) {
                d = s;
                continue;
            }
            auto channel = [room](int front, int back) { return std::min(255, front + (back * room + 127) / 255); };
            d = qRgba(channel(qRed(d), qRed(s)), channel(qGreen(d), qGreen(s)), channel(qBlue(d), qBlue(s)),
                      channel(qAlpha(d), qAlpha(s)));
        }
    }
    touch(area.left(), area.top(), area.right(), area.bottom());
}

void CurveRaster::markOpaque(int x, int from, int to) {
    quint64* words = m_opaqueBits.data() + size_t(x) * m_opaqueWords;
    for (int w = from >> 6; w <= to >> 6; ++w) {
        const int a = std::max(from - (w << 6), 0);
        const int b = std::min(to - (w << 6), 63);
        words[w] |= (~0ull >> (63 - b)) & (~0ull << a);
    }
}

bool CurveRaster::allOpaque(int x, int from, int to) const {
    const quint64* words = m_opaqueBits.data() + size_t(x) * m_opaqueWords;
    for (int w = from >> 6; w <= to >> 6; ++w) {
        const int a = std::max(from - (w << 6), 0);
        const int b = std::min(to - (w << 6), 63);
        const quint64 mask = (~0ull >> (63 - b)) & (~0ull << a);
        if ((words[w] & mask) != mask)
            return false;
    }
    return true;
}

void CurveRaster::touch(int x0, int y0, int x1, int y1) {
    if (m_left > m_right) {
        m_left = x0, m_right = x1;
    } else {
        m_left = std::min(m_left, x0);
        m_right = std::max(m_right, x1);
    }
    const int b0 = band(y0), b1 = band(y1);
    const quint64 bands = (~0ull >> (63 - b1)) & (~0ull << b0);
    for (int x = x0; x <= x1; ++x)
        m_columnBands[physical(x)] |= bands;
}

void CurveRaster::untouch() {
    m_left = 0, m_right = -1;
    std::fill(m_columnBands.begin(), m_columnBands.end(), 0);
}

void CurveRaster::compose(QPainter& painter) const {
    if (m_left > m_right)
        return;
    forTouched(m_left, m_right - m_left + 1, [&](int x, int source, int width, int top, int bottom) {
        const QRectF target(QPointF(x, top) / m_dpr, QSizeF(width, bottom - top + 1) / m_dpr);
        painter.drawImage(target, m_layer, QRectF(source, top, width, bottom - top + 1));
    });
}
