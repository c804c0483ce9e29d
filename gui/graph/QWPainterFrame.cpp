// The frame pipeline of QWPainter: base, count-in, grid and labels, crossfader bands, current time.
#include "QWPainter.h"

#include <QPainter>

#include <cmath>

#include "GraphStyle.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"

namespace {

Singleton* registry() {
    return Singleton::instance();
}

int pixel(double value) {
    return int(std::clamp<qint64>(GraphWindow::trunc64(value), -1'000'000, 1'000'000));
}

// The rectangle between two corner pixels, both inside, whichever way round they are; a corner just
// left of the other (a run of no column) gives none.
QRect corners(int x0, int y0, int x1, int y1) {
    if (x1 == x0 - 1)
        return QRect();
    return QRect(QPoint(std::min(x0, x1), std::min(y0, y1)), QPoint(std::max(x0, x1), std::max(y0, y1)));
}

} // namespace

void QWPainter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    draw(painter);
}

void QWPainter::draw(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    Setting* setting = registry()->instanceSetting();
    updateWindows();
    prepareFrame();
    drawMainElements(painter);
    if (setting->paramGraphGrid(false))
        drawGridAndLabels(painter);
    drawCurvesAndCrosses(painter);
    drawCurrentTimer(painter);
    if (setting->paramGraphVinylPosition(false))
        drawVinylPosition(painter);
    if (setting->paramGraphMainCurve(false))
        holdMode();
    else
        // Without the live curve nothing would ever release a stop that hold mode set.
        registry()->instanceMode()->modeGraphicScrollStop_off();
}

void QWPainter::drawMainElements(QPainter& painter) {
    const bool wav = wavLoaded();
    if (wav) {
        m_stripX = std::trunc(0.9675 * width());
        m_stripWidth = std::trunc(0.03 * width());
        const ModelDisplay::EnumDisplay display = registry()->instanceMode()->modeDisplay();
        if (display == ModelDisplay::PHRASING || display == ModelDisplay::UNDEFINED)
            m_shownPhrasing = shownPhrasingFor(mainCursorPoint());
    }
    drawBase(painter);
    if (wav)
        drawWavCursor(painter);
    if (m_tagNumber != 0)
        drawTagNumber(painter);
}

// Background, logo and the waveform band or strip, kept in one picture while none of them changes.
void QWPainter::drawBase(QPainter& painter) {
    const bool logo = registry()->instanceSetting()->paramGraphLogo(false) && !m_logo.isNull();
    const bool wav = wavLoaded();
    const ModelDisplay::EnumDisplay display = registry()->instanceMode()->modeDisplay();
    const qreal dpr = devicePixelRatioF();
    const QImage& strip = m_painterWav->areaImage(m_shownPhrasing);
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                            .arg(width())
                            .arg(height())
                            .arg(dpr)
                            .arg(logo ? m_plotBottom : -1.0)
                            .arg(wav ? int(display) : -1)
                            .arg(m_wavGeneration)
                            .arg(m_painterWav->fullImage().cacheKey())
                            .arg(display == ModelDisplay::PHRASING || display == ModelDisplay::UNDEFINED
                                     ? strip.cacheKey() + m_shownPhrasing
                                     : 0)
                            .arg(QStringLiteral("%1 %2 %3 %4 %5")
                                     .arg(m_marginTop)
                                     .arg(m_stripX)
                                     .arg(m_stripWidth)
                                     .arg(m_bandTop)
                                     .arg(m_bandWidth));
    if (key != m_baseKey || m_base.isNull()) {
        m_baseKey = key;
        m_base = QImage((QSizeF(size()) * dpr).toSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        m_base.setDevicePixelRatio(dpr);
        QPainter base(&m_base);
        base.setRenderHint(QPainter::Antialiasing, true);
        base.setRenderHint(QPainter::SmoothPixmapTransform, true);
        base.fillRect(rect(), GraphStyle::color(Constant::Color::COLOR_BLACK_43));
        if (logo)
            base.drawPixmap(QPointF(65.0, m_plotBottom - m_logo.deviceIndependentSize().height() - 20.0), m_logo);
        if (wav)
            drawWavPhasing(base);
    }
    // A picture drawn one to one: without smooth transforms Qt blends it directly instead of through
    // its span functions and thread pool.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QPointF(0.0, 0.0), m_base);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void QWPainter::drawTagNumber(QPainter& painter) {
    painter.save();
    painter.setFont(GraphStyle::textFont(painter.font(), ModelGraph::TAG_NUMBER));
    painter.setPen(GraphStyle::textPen(ModelGraph::TAG_NUMBER));
    painter.drawText(QRect(QPoint(0, 0), QPoint(width(), height() / 2)), Qt::AlignHCenter | Qt::AlignBottom,
                     QString::number(m_tagNumber));
    painter.restore();
}

double QWPainter::labelSamplesPerBeat() const {
    const std::shared_ptr<const QSample> sample = registry()->instancePerformance()->inputSample(m_graphMain);
    if (!sample)
        return 0.0;
    const double q = sample->samplerateInMinute() / registry()->instanceLooperTraining()->bpmFactorSpeed();
    return std::isfinite(q) && q > 0.0 ? q : 0.0;
}

void QWPainter::drawGridAndLabels(QPainter& painter) {
    drawGridX(painter);
    const int bottom = pixel(m_plotBottom);
    GraphStyle::drawLine(painter, ModelGraph::AXE, QPointF(45, bottom), QPointF(width(), bottom));
    GraphStyle::drawLine(painter, ModelGraph::AXE, QPointF(45, m_marginTop), QPointF(45, bottom));
    switch (registry()->instanceMode()->modeDisplay()) {
    case ModelDisplay::PHRASING:
        for (int i = 0; i <= 10; ++i)
            drawGridHorizontal(painter, 100'000.0 * i);
        break;
    case ModelDisplay::DRUMMING:
        drawDrummingGridPhrasing(painter);
        break;
    default:
        drawGridY(painter);
        break;
    }
    drawLabelX(painter);
    drawLabelY(painter);
    painter.setFont(font());
}

void QWPainter::drawGridX(QPainter& painter) {
    const GraphWindow::Grid grid = GraphWindow::gridValues(m_xStep, m_xMin, m_xMax);
    const double q = labelSamplesPerBeat();
    const double origin = double(GraphWindow::trunc64(registry()->instanceLooperTraining()->offset()));
    const int top = m_marginTop;
    const int bottom = pixel(m_plotBottom);
    for (int i = 0; i < grid.count; ++i) {
        const double v = double(grid.value(i));
        const int x = pixel(m_scale.x(v));
        const bool bar = q > 0.0 && GraphWindow::trunc64(std::round((v - origin) / q)) % 4 == 0;
        GraphStyle::drawLine(painter, bar ? ModelGraph::GRID_FIRST_METRONOM : ModelGraph::GRID, QPointF(x, top),
                             QPointF(x, bottom));
    }
}

void QWPainter::drawGridHorizontal(QPainter& painter, double value) {
    const int y = pixel(m_scale.y(value));
    GraphStyle::drawLine(painter, ModelGraph::GRID, QPointF(45, y), QPointF(width(), y));
}

void QWPainter::drawGridY(QPainter& painter) {
    const GraphWindow::Grid grid = GraphWindow::gridValues(m_yStep, m_yMin, m_yMax);
    for (int i = 0; i < grid.count; ++i)
        drawGridHorizontal(painter, double(grid.value(i)));
}

void QWPainter::drawDrummingGridPhrasing(QPainter& painter) {
    if (m_areas.empty()) {
        for (int i = 0; i <= 10; ++i)
            drawGridHorizontal(painter, 100'000.0 * i);
        return;
    }
    auto reduced = [](double angle) {
        const double r = std::fmod(angle, 360.0);
        return r < 0.0 ? r + 360.0 : r;
    };
    for (const Area& area : m_areas) {
        drawGridHorizontal(painter, 2777.0 * reduced(area.start));
        drawGridHorizontal(painter, 2777.0 * reduced(area.end));
    }
}

void QWPainter::drawLabelX(QPainter& painter) {
    const int bottom = pixel(m_plotBottom);
    m_labels.drawText(painter, font(), ModelGraph::LABEL, QRect(QPoint(width() - 150, bottom), QPoint(width(), m_legendBottom)),
                      Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Frequency (bpm)"));
    const double q = labelSamplesPerBeat();
    if (q <= 0.0)
        return;
    const double origin = double(GraphWindow::trunc64(registry()->instanceLooperTraining()->offset()));
    const GraphWindow::Grid grid = GraphWindow::gridValues(m_xStep, m_xMin, m_xMax);
    for (int i = 0; i < grid.count; ++i) {
        const double v = double(grid.value(i));
        const int x = pixel(m_scale.x(v));
        m_labels.drawText(painter, font(), ModelGraph::LABEL, QRect(QPoint(x - 50, bottom), QPoint(x + 50, m_labelBottom)),
                          Qt::AlignHCenter | Qt::AlignVCenter, QString::number((v - origin) / q, 'f', 0));
    }
}

void QWPainter::drawLabelY(QPainter& painter) {
    auto label = [&](double v, const QString& text) {
        const int y = pixel(m_scale.y(v));
        m_labels.drawText(painter, font(), ModelGraph::LABEL, QRect(QPoint(0, y - 10), QPoint(35, y + 10)),
                          Qt::AlignRight | Qt::AlignVCenter, text);
    };
    const ModelDisplay::EnumDisplay display = registry()->instanceMode()->modeDisplay();
    if (display == ModelDisplay::PHRASING || display == ModelDisplay::DRUMMING) {
        for (int i = 0; i <= 10; ++i)
            label(100'000.0 * i, QString::number(10 * i) + QLatin1Char('%'));
        return;
    }
    const GraphWindow::Grid grid = GraphWindow::gridValues(m_yStep, m_yMin, m_yMax);
    for (int i = 0; i < grid.count; ++i)
        label(double(grid.value(i)), GraphWindow::formatLargeNumber(grid.value(i)));
}

void QWPainter::drawCurrentTimer(QPainter& painter) {
    const int bottom = pixel(m_plotBottom);
    GraphStyle::drawLine(painter, ModelGraph::CURRENT, QPointF(m_currentX, m_marginTop), QPointF(m_currentX, bottom));
    const double q = labelSamplesPerBeat();
    if (q <= 0.0)
        return;
    // The text changes every frame, so it is not worth keeping.
    const double current = registry()->instanceTime()->currentSamplerate(m_graphMain);
    painter.save();
    painter.setFont(GraphStyle::textFont(painter.font(), ModelGraph::CURRENT));
    painter.setPen(GraphStyle::textPen(ModelGraph::CURRENT));
    painter.drawText(QRect(QPoint(m_currentX - 50, bottom), QPoint(m_currentX + 50, m_labelBottom)),
                     Qt::AlignHCenter | Qt::AlignBottom, QString::number(current / q, 'f', 2));
    painter.restore();
}

void QWPainter::drawBufferCross(const CurveCopy& copy, ModelGraph::EnumGraph graph) {
    const int start = copy.posStart();
    const int end = copy.posEnd();
    if (copy.isEmpty() || start < 0 || start >= end || start + 1 >= end)
        return;
    const int open = graph == ModelGraph::INPUT_A || graph == ModelGraph::INPUT_B ? 9 : 4;
    const QRgb colour = GraphStyle::bandBrush(graph).color().rgba();
    // Runs meet without overlapping, so adjacent runs of one height are filled as one rectangle.
    QRect pending;
    auto fill = [&](const QRect& r) {
        if (r.isEmpty())
            return;
        if (!pending.isEmpty() && r.left() == pending.right() + 1 && r.top() == pending.top() &&
            r.bottom() == pending.bottom()) {
            pending.setRight(r.right());
            return;
        }
        if (!pending.isEmpty())
            m_raster.fillRect(pending, colour);
        pending = r;
    };
    int x0 = pixel(m_scale.x(copy.at(start).samplerate()));
    bool state = copy.at(start).drawon();
    for (int i = start + 1; i < end; ++i) {
        const QData& point = copy.at(i);
        if (point.drawon() == state && i != end - 1)
            continue;
        const int xi = pixel(m_scale.x(point.samplerate()));
        fill(corners(x0, 30, xi - 1, state ? open : 27));
        x0 = xi;
        state = point.drawon();
    }
    if (!pending.isEmpty())
        m_raster.fillRect(pending, colour);
}
