// The kept layer of CurveRaster: sizing, scrolling by whole columns, and the column signatures that
// decide which columns a frame renders.
#include "CurveRaster.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

quint64 mix(quint64 h, quint64 v) {
    h = (h ^ v) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

quint64 bits(double v) {
    return std::bit_cast<quint64>(v);
}

} // namespace

void CurveRaster::begin(QSize size, qreal devicePixelRatio, qint64 origin) {
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
        m_signature.assign(size_t(width), 0);
        m_phase = 0;
        m_columnBands.assign(size_t(width), 0);
        untouch();
    } else if (origin != m_origin) {
        shiftLayer(origin - m_origin);
    }
    m_origin = origin;
    m_bits = reinterpret_cast<quint32*>(m_layer.bits());
    m_segments.clear();
    m_shapes.clear();
    m_pictures.clear();
    m_opaqueLo.assign(size_t(width), INT_MAX);
    m_opaqueHi.assign(size_t(width), INT_MIN);
    m_opaqueWords = (height + 63) / 64;
    m_opaqueBits.assign(size_t(width) * m_opaqueWords, 0);
}

void CurveRaster::invalidate() {
    std::fill(m_signature.begin(), m_signature.end(), 0);
}

void CurveRaster::shiftLayer(qint64 columns) {
    if (columns >= m_width || columns <= -m_width) {
        invalidate();
        return;
    }
    // What was at column c + columns is now at c; the columns it leaves are empty and unknown.
    const int d = int(columns);
    m_phase = int(((qint64(m_phase) + d) % m_width + m_width) % m_width);
    if (d > 0) {
        clearColumns(m_width - d, d);
        std::move(m_signature.begin() + d, m_signature.end(), m_signature.begin());
        std::fill(m_signature.end() - d, m_signature.end(), 0);
    } else {
        clearColumns(0, -d);
        std::move_backward(m_signature.begin(), m_signature.end() + d, m_signature.end());
        std::fill(m_signature.begin(), m_signature.begin() - d, 0);
    }
    m_left = std::max(m_left - d, 0);
    m_right = std::min(m_right - d, m_width - 1);
    if (m_left > m_right)
        m_left = 0, m_right = -1;
}

void CurveRaster::markChangedColumns() {
    m_fresh.assign(size_t(m_width), 0x243F6A8885A308D3ull);
    auto into = [this](int first, int last, quint64 v) {
        for (int c = std::max(first, 0); c <= std::min(last, m_width - 1); ++c)
            m_fresh[c] = mix(m_fresh[c], v);
    };
    // In drawing order, what reaches each column and where, relative to the column it starts in, so a
    // picture shifted by whole columns keeps its signatures.
    size_t p = 0;
    for (size_t i = 0; i <= m_shapes.size(); ++i) {
        for (; p < m_pictures.size() && size_t(m_pictures[p].afterShapes) <= i; ++p) {
            // A column of a fill shows its colour over its rows, however wide the fill is (a crossfader
            // band grows with the run); a column of a picture shows that column of the image.
            const Picture& picture = m_pictures[p];
            const QRect& a = picture.area;
            const quint64 h = mix(mix(mix(2, picture.image.isNull() ? picture.colour : quint64(picture.image.cacheKey())),
                                      quint64(a.top())),
                                  quint64(a.height()));
            if (picture.image.isNull())
                into(a.left(), a.right(), h);
            else
                for (int c = std::max(a.left(), 0); c <= std::min(a.right(), m_width - 1); ++c)
                    m_fresh[c] = mix(m_fresh[c], mix(h, quint64(c - a.left())));
        }
        if (i == m_shapes.size())
            break;
        const Shape& shape = m_shapes[i];
        const quint64 pen = mix(mix(mix(1, shape.solid), bits(shape.radius)), shape.simple);
        for (int k = shape.firstSegment; k < shape.endSegment; ++k) {
            const Segment& s = m_segments[k];
            const double first = s.firstColumn;
            quint64 h = mix(mix(mix(mix(pen, bits(s.ax - first)), bits(s.ay)), bits(s.bx - first)), bits(s.by));
            h = mix(mix(h, quint64(s.firstColumn + m_origin)), quint64(s.lastColumn - s.firstColumn));
            into(s.firstColumn, s.lastColumn, h);
        }
    }
    m_changed.assign(size_t(m_width), 0);
    m_changedBefore.assign(size_t(m_width) + 1, 0);
    for (int c = 0; c < m_width; ++c) {
        const quint64 h = m_fresh[c] ? m_fresh[c] : 1;
        m_changed[c] = h != m_signature[c];
        m_signature[c] = h;
        m_changedBefore[c + 1] = m_changedBefore[c] + m_changed[c];
    }
    m_renderedColumns = m_changedBefore[m_width];
    if (m_left > m_right)
        return;
    // The runs of changed columns within the touched part, cleared row by row.
    m_runs.clear();
    for (int x = m_left; x <= m_right; ++x) {
        if (!m_changed[x])
            continue;
        const int start = x;
        while (x <= m_right && m_changed[x])
            ++x;
        m_runs.push_back({start, x - start});
    }
    for (const auto& [start, count] : m_runs)
        clearColumns(start, count);
    if (m_renderedColumns == m_width)
        m_left = 0, m_right = -1;
}

bool CurveRaster::anyChanged(int first, int last) const {
    first = std::max(first, 0);
    last = std::min(last, m_width - 1);
    return first <= last && m_changedBefore[last + 1] > m_changedBefore[first];
}

void CurveRaster::clearColumns(int first, int count) {
    forTouched(first, count, [this](int, int start, int n, int top, int bottom) {
        for (int y = top; y <= bottom; ++y)
            std::memset(reinterpret_cast<quint32*>(m_layer.scanLine(y)) + start, 0, size_t(n) * 4);
    });
    const int start = physical(first);
    const int head = std::min(count, m_width - start);
    std::fill_n(m_columnBands.begin() + start, head, 0);
    std::fill_n(m_columnBands.begin(), count - head, 0);
}
