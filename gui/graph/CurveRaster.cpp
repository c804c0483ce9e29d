#include "CurveRaster.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
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

} // namespace

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
        m_stamp.assign(size_t(width) * height, 0);
        m_cover.assign(size_t(width) * height, 0);
        m_shape = 0;
    } else {
        const QRect dirty = touched();
        for (int y = dirty.top(); y <= dirty.bottom(); ++y)
            std::memset(m_layer.scanLine(y) + dirty.left() * 4, 0, size_t(dirty.width()) * 4);
    }
    m_bits = reinterpret_cast<quint32*>(m_layer.bits());
    m_left = m_top = 0;
    m_right = m_bottom = -1;
}

void CurveRaster::setPen(QRgb colour, double width) {
    if (++m_shape == 0) {
        // After 2^32 shapes the stamps start again from a clean slate.
        std::fill(m_stamp.begin(), m_stamp.end(), 0);
        m_shape = 1;
    }
    m_a = float(qAlpha(colour));
    m_r = qRed(colour) * m_a / 255.0f;
    m_g = qGreen(colour) * m_a / 255.0f;
    m_b = qBlue(colour) * m_a / 255.0f;
    m_solid = qPremultiply(colour);
    m_radius = std::max(width, 0.0) * m_dpr * 0.5;
}

void CurveRaster::segment(QPointF a, QPointF b) {
    m_ax = a.x() * m_dpr;
    m_ay = a.y() * m_dpr;
    const double bx = b.x() * m_dpr;
    const double by = b.y() * m_dpr;
    if (!std::isfinite(m_ax) || !std::isfinite(m_ay) || !std::isfinite(bx) || !std::isfinite(by) || m_a <= 0.0f)
        return;
    m_dx = bx - m_ax;
    m_dy = by - m_ay;
    m_length = std::sqrt(m_dx * m_dx + m_dy * m_dy);
    const double outer = m_radius + 0.5;
    const double inner = m_radius - 0.5;
    // Columns whose centre lies within `outer` of the segment.
    const double left = std::ceil(std::min(m_ax, bx) - outer - 0.5);
    const double right = std::floor(std::max(m_ax, bx) + outer - 0.5);
    const int x0 = int(std::max(left, 0.0));
    const int x1 = int(std::min(right, double(m_width - 1)));
    for (int x = x0; x <= x1; ++x) {
        const double xc = x + 0.5;
        double lo, hi;
        if (!capsuleInterval(xc, outer, lo, hi))
            continue;
        double innerLo = INF, innerHi = -INF;
        if (inner > 0.0 && !capsuleInterval(xc, inner, innerLo, innerHi))
            innerLo = INF, innerHi = -INF;
        const int y0 = int(std::max(std::ceil(lo - 0.5), 0.0));
        const int y1 = int(std::min(std::floor(hi - 0.5), double(m_height - 1)));
        if (y0 > y1)
            continue;
        for (int y = y0; y <= y1; ++y) {
            const double yc = y + 0.5;
            int coverage = 255;
            if (!(yc >= innerLo && yc <= innerHi)) {
                const double c = outer - distance(xc, yc);
                if (c <= 0.0)
                    continue;
                coverage = c >= 1.0 ? 255 : int(c * 255.0 + 0.5);
            }
            if (coverage > 0)
                plot(x, y, coverage);
        }
        touch(x, y0, x, y1);
    }
}

bool CurveRaster::capsuleInterval(double xc, double radius, double& lo, double& hi) const {
    lo = INF;
    hi = -INF;
    const double bx = m_ax + m_dx;
    const double by = m_ay + m_dy;
    for (const auto& [px, py] : {std::pair{m_ax, m_ay}, std::pair{bx, by}}) {
        const double e = xc - px;
        if (std::fabs(e) <= radius) {
            const double h = std::sqrt(radius * radius - e * e);
            lo = std::min(lo, py - h);
            hi = std::max(hi, py + h);
        }
    }
    if (m_length > 0.0) {
        // The band along the segment: 0 <= u·(p − a) <= length and |n·(p − a)| <= radius, linear in y.
        const double ux = m_dx / m_length;
        const double uy = m_dy / m_length;
        const double e = xc - m_ax;
        double t0 = -INF, t1 = INF;
        constrain(uy, -ux * e, m_length - ux * e, t0, t1);
        constrain(ux, uy * e - radius, uy * e + radius, t0, t1);
        if (t0 <= t1) {
            lo = std::min(lo, m_ay + t0);
            hi = std::max(hi, m_ay + t1);
        }
    }
    return lo <= hi;
}

double CurveRaster::distance(double x, double y) const {
    double t = 0.0;
    if (m_length > 0.0)
        t = std::clamp(((x - m_ax) * m_dx + (y - m_ay) * m_dy) / (m_length * m_length), 0.0, 1.0);
    const double ex = x - (m_ax + t * m_dx);
    const double ey = y - (m_ay + t * m_dy);
    return std::sqrt(ex * ex + ey * ey);
}

void CurveRaster::plot(int x, int y, int coverage) {
    const size_t i = size_t(y) * m_width + x;
    quint32& pixel = m_bits[i];
    float base[4];
    if (m_stamp[i] == m_shape) {
        const int old = m_cover[i];
        if (coverage <= old)
            return;
        // Take this shape's earlier contribution off again before blending with the larger coverage.
        const float k = old / 255.0f;
        const float keep = 1.0f - m_a / 255.0f * k;
        if (keep <= 1e-4f) {
            m_cover[i] = quint8(coverage);
            return;
        }
        base[0] = std::max(0.0f, (qAlpha(pixel) - m_a * k) / keep);
        base[1] = std::max(0.0f, (qRed(pixel) - m_r * k) / keep);
        base[2] = std::max(0.0f, (qGreen(pixel) - m_g * k) / keep);
        base[3] = std::max(0.0f, (qBlue(pixel) - m_b * k) / keep);
    } else {
        m_stamp[i] = m_shape;
        if (coverage == 255 && m_a == 255.0f) {
            m_cover[i] = 255;
            pixel = m_solid;
            return;
        }
        base[0] = qAlpha(pixel);
        base[1] = qRed(pixel);
        base[2] = qGreen(pixel);
        base[3] = qBlue(pixel);
    }
    m_cover[i] = quint8(coverage);
    const float k = coverage / 255.0f;
    const float keep = 1.0f - m_a / 255.0f * k;
    auto channel = [&](float colour, float under) { return std::min(255, int(colour * k + under * keep + 0.5f)); };
    pixel = qRgba(channel(m_r, base[1]), channel(m_g, base[2]), channel(m_b, base[3]), channel(m_a, base[0]));
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

void CurveRaster::drawPixmap(QPointF topLeft, const QPixmap& pixmap) {
    if (pixmap.isNull())
        return;
    {
        QPainter painter(&m_layer);
        painter.drawPixmap(topLeft, pixmap);
    }
    m_bits = reinterpret_cast<quint32*>(m_layer.bits());
    const QRectF area(topLeft * m_dpr, pixmap.deviceIndependentSize() * m_dpr);
    const QRect pixels = area.toAlignedRect().intersected(QRect(0, 0, m_width, m_height));
    if (pixels.isValid())
        touch(pixels.left(), pixels.top(), pixels.right(), pixels.bottom());
}

void CurveRaster::compose(QPainter& painter) const {
    const QRect dirty = touched();
    if (!dirty.isValid())
        return;
    const QRectF target(QPointF(dirty.topLeft()) / m_dpr, QSizeF(dirty.size()) / m_dpr);
    painter.drawImage(target, m_layer, QRectF(dirty));
}
