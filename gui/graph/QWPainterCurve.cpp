// The curves of QWPainter in the three display modes, their pens, shini arrows and direct-wave strokes.
// Lines go through the column folding into the curve layer, which is drawn over the bands.
#include "QWPainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "GraphStyle.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"

namespace {

Singleton* registry() {
    return Singleton::instance();
}

constexpr double FULL = 1'000'000.0;
constexpr double DEGREE = 2777.0;

QRgb lighter(QRgb c) {
    auto up = [](int v) { return v < 205 ? v + 50 : v; };
    return qRgba(up(qRed(c)), up(qGreen(c)), up(qBlue(c)), qAlpha(c));
}

} // namespace

void QWPainter::prepareFrame() {
    Setting* setting = registry()->instanceSetting();
    m_areas.clear();
    m_searchedAngle = std::nan("");
    for (const QPhrasing& area : m_managePhrasing->listPhrasing()) {
        const QRgb colour = GraphStyle::rgb(area.color());
        m_areas.push_back({area.angleStart(), area.angleEnd(), colour, lighter(colour)});
    }
    // The stored width is drawn within what the settings slider offers, whatever config.ini holds.
    m_curveOnSize = std::clamp(setting->paramCurveOnSize(false), 1, 40);
    m_showClosed = setting->paramGraphCurveCrossFaderOff(false);
    m_noSound = setting->paramGraphCurveNoSound(false);
    m_shini = setting->paramGraphShiniMode(false);
    m_directWave = setting->paramGraphDirectSound(false) && wavLoaded();
}

int QWPainter::searchArea(double angle) const {
    if (angle == m_searchedAngle)
        return m_searchedArea;
    m_searchedAngle = angle;
    m_searchedArea = -1;
    for (size_t i = 0; i < m_areas.size(); ++i) {
        if (m_areas[i].start <= angle && angle < m_areas[i].end) {
            m_searchedArea = int(i);
            break;
        }
    }
    return m_searchedArea;
}

QRgb QWPainter::calculatePenColor(const QData& point, ModelGraph::EnumGraph graph) const {
    using namespace Constant::Color;
    const int area = searchArea(point.targetVinylDeltaPosition());
    if (area >= 0)
        return graph == ModelGraph::INPUT_1 || graph == ModelGraph::INPUT_2 ? m_areas[area].lighter
                                                                             : m_areas[area].colour;
    if (!m_areas.empty())
        return m_noSound ? GraphStyle::rgb(COLOR_NO_SOUND) : qRgba(0, 0, 0, 0);
    switch (graph) {
    case ModelGraph::INPUT_A:
        return GraphStyle::rgb(COLOR_GREEN_255);
    case ModelGraph::INPUT_B:
        return GraphStyle::rgb(COLOR_BLUE_255);
    case ModelGraph::INPUT_1:
        return GraphStyle::rgb(COLOR_GREEN_105);
    case ModelGraph::INPUT_2:
        return GraphStyle::rgb(COLOR_BLUE_105);
    default:
        return qRgb(0, 0, 0);
    }
}

QWPainter::CurvePen QWPainter::colorCurve(const QData& point, ModelGraph::EnumGraph graph) const {
    if (!point.drawon() && !m_showClosed)
        return {};
    const int width = !point.drawon() ? 1 : graph == ModelGraph::WAV_DIRECT ? 3 : m_curveOnSize;
    const QRgb colour = calculatePenColor(point, graph);
    return {colour, width};
}

void QWPainter::line(QPointF a, QPointF b, const CurvePen& pen) {
    if (pen.visible())
        m_fold.line(a, b, {pen.colour, double(pen.width)});
}

QWPainter::CurveLayerKey QWPainter::curveLayerKey(bool mainOn, bool looper, bool anchored) const {
    CurveLayerKey key{m_xMin,
                      m_xMax,
                      m_yMin,
                      m_yMax,
                      m_plotWidth,
                      m_plotBottom,
                      m_plotHeight,
                      size(),
                      devicePixelRatioF(),
                      {m_copySecondary.size(), m_copyMain.size()},
                      {m_copySecondary.posStart(), m_copyMain.posStart()},
                      {m_copySecondary.posEnd(), m_copyMain.posEnd()},
                      {m_copySecondary.copies(), m_copyMain.copies()},
                      m_wavGeneration,
                      m_areas,
                      m_curveOnSize,
                      int(registry()->instanceMode()->modeDisplay()),
                      m_showClosed,
                      m_noSound,
                      m_shini,
                      m_directWave,
                      mainOn,
                      looper,
                      registry()->instanceMode()->modeReverse(),
                      anchored};
    return key;
}

void QWPainter::drawCurvesAndCrosses(QPainter& painter) {
    const bool looper = registry()->instanceLooperTraining()->mode() == ModelActivatedMode::Looper;
    const bool mainOn = registry()->instanceSetting()->paramGraphMainCurve(false);
    // While the window follows the run, the frame's placement is on whole columns (placeFrame): the
    // layer keeps its columns from frame to frame and renders only what is new or changed.
    CurveLayerKey key = curveLayerKey(mainOn, looper, m_anchored);
    if (!m_curveLayerValid || !(key == m_curveLayerKey)) {
        m_curveLayerKey = std::move(key);
        m_curveLayerValid = true;
        const qreal dpr = devicePixelRatioF();
        const qint64 origin = m_anchored ? GraphWindow::trunc64(m_anchorColumn * dpr) : 0;
        m_raster.begin(size(), dpr, origin);
        m_fold.begin();
        if (!looper)
            drawBufferCross(m_copySecondary, m_graphSecondary);
        if (mainOn)
            drawBufferCross(m_copyMain, m_graphMain);
        const ModelDisplay::EnumDisplay display = registry()->instanceMode()->modeDisplay();
        auto drawCurve = [&](const CurveCopy& copy, ModelGraph::EnumGraph graph, double offset) {
            if (display == ModelDisplay::DRUMMING)
                drawBufferCurveDrumming(copy, graph);
            else if (display == ModelDisplay::PHRASING)
                drawBufferCurvePhrasing(copy, graph);
            else
                drawBufferCurve(copy, graph, offset);
            m_fold.flush();
            m_fold.flushStrokes();
        };
        if (!looper) {
            // The reference curve starts at the live curve's height.
            double offset = 0.0;
            if (!m_copyMain.isEmpty() && !m_copySecondary.isEmpty())
                offset = double(GraphWindow::trunc64(m_copyMain.at(0).y() - m_copySecondary.at(0).y()));
            drawCurve(m_copySecondary, m_graphSecondary, offset);
        }
        if (mainOn)
            drawCurve(m_copyMain, m_graphMain, 0.0);
        m_raster.finish();
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_raster.compose(painter);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void QWPainter::drawBufferCurve(const CurveCopy& copy, ModelGraph::EnumGraph graph, double offset) {
    const int start = copy.posStart();
    const int end = copy.posEnd();
    if (copy.isEmpty() || start < 0 || start >= end)
        return;
    // Arrows belong to single points. Without them, and while rows and columns follow values and frames
    // in order, the points that stay in one column may go by whole blocks.
    const bool runs = !m_shini && std::isfinite(m_scale.x(1.0) - m_scale.x(0.0)) &&
                      m_scale.x(1.0) != m_scale.x(0.0) && std::isfinite(row(1.0) - row(0.0)) && row(1.0) != row(0.0);
    QPointF previous = position(copy.at(start).samplerate(), copy.at(start).y() + offset);
    // Closed points draw nothing, not even a direct-wave stroke, when they are not shown; and without
    // arrows nothing marks where they start.
    const bool skips = !m_showClosed && !m_shini;
    for (int i = start + 1; i < end;) {
        if (skips) {
            if (const int closed = closedRun(copy, i, end)) {
                i += closed;
                m_currentPen = {};
                previous = position(copy.at(i - 1).samplerate(), copy.at(i - 1).y() + offset);
                continue;
            }
        }
        if (runs) {
            if (const int added = foldRun(copy, graph, offset, previous, i, end)) {
                i += added;
                previous = position(copy.at(i - 1).samplerate(), copy.at(i - 1).y() + offset);
                continue;
            }
        }
        const QData& point = copy.at(i);
        const QPointF current = position(point.samplerate(), point.y() + offset);
        m_currentPen = colorCurve(point, graph);
        line(previous, current, m_currentPen);
        drawPointExtras(copy, current, previous, i);
        previous = current;
        ++i;
    }
}

bool QWPainter::oneArea(const CurveSummary::Block& block) const {
    if (m_areas.empty() || block.minAngle > block.maxAngle)
        return true;
    const int area = searchArea(block.minAngle);
    if (block.nanAngle && area >= 0)
        return false;
    // No area searched before the one found may hold any angle of the block.
    const size_t before = area >= 0 ? size_t(area) : m_areas.size();
    for (size_t j = 0; j < before; ++j) {
        if (m_areas[j].start <= block.maxAngle && block.minAngle < m_areas[j].end)
            return false;
    }
    return area < 0 || block.maxAngle < m_areas[area].end;
}

bool QWPainter::runFits(const CurveSummary::Block& block, const QData& first, ModelGraph::EnumGraph graph,
                        double offset, const CurveFold::Pen& pen, int column) const {
    // A point whose row is NaN ends its polyline: the line from it starts a new one. The cheap tests
    // first: a larger block mostly fails on its columns.
    if (block.nanY || block.anyDrawon != block.allDrawon)
        return false;
    if (m_fold.column(position(block.minSample, 0.0).x()) != column ||
        m_fold.column(position(block.maxSample, 0.0).x()) != column)
        return false;
    // Every point of the block has the pen of its first.
    if (!oneArea(block))
        return false;
    const CurvePen own = colorCurve(first, graph);
    if (!own.visible() || !(CurveFold::Pen{own.colour, double(own.width)} == pen))
        return false;
    return block.minY > block.maxY || (!std::isnan(row(block.minY + offset)) && !std::isnan(row(block.maxY + offset)));
}

int QWPainter::closedRun(const CurveCopy& copy, int i, int end) const {
    const CurveSummary& summary = copy.summary();
    constexpr int BASE = CurveSummary::BASE;
    int count = 0;
    for (int k = BASE; k <= summary.topLevel() && (i & ((1 << k) - 1)) == 0 && qint64(i) + (qint64(1) << k) <= end &&
                       (i >> k) < summary.count(k) && !summary.block(k, i >> k).anyDrawon;
         ++k)
        count = 1 << k;
    return count;
}

int QWPainter::foldRun(const CurveCopy& copy, ModelGraph::EnumGraph graph, double offset, QPointF previous, int i,
                       int end) {
    const CurveSummary& summary = copy.summary();
    constexpr int BASE = CurveSummary::BASE;
    if ((i & ((1 << BASE) - 1)) != 0 || i + (1 << BASE) > end || !m_currentPen.visible())
        return 0;
    const CurveFold::Pen pen{m_currentPen.colour, double(m_currentPen.width)};
    int column = 0;
    if (!m_fold.extends(previous, pen, column))
        return 0;
    // The largest block starting at i that fits.
    int level = -1;
    for (int k = BASE; k <= summary.topLevel() && (i & ((1 << k) - 1)) == 0 && qint64(i) + (qint64(1) << k) <= end;
         ++k) {
        if ((i >> k) >= summary.count(k) || !runFits(summary.block(k, i >> k), copy.at(i), graph, offset, pen, column))
            break;
        level = k;
    }
    if (level < 0)
        return 0;
    const int index = i >> level;
    const CurveSummary::Block& block = summary.block(level, index);
    const int count = 1 << level;
    auto at = [&](int j) { return position(copy.at(j).samplerate(), copy.at(j).y() + offset); };
    CurveFold::Run run;
    run.last = at(i + count - 1);
    run.count = count;
    if (block.minY <= block.maxY) {
        // Rows follow values, in one direction or the other, so the block's extreme rows are those of its
        // extreme values; the first point at each is found by descending into the block.
        const double a = row(block.minY + offset), b = row(block.maxY + offset);
        auto firstAt = [&](double target, bool top) {
            auto reaches = [&](const CurveSummary::Block& half) {
                if (half.minY > half.maxY)
                    return false;
                const double c = row(half.minY + offset), d = row(half.maxY + offset);
                return (top ? std::fmin(c, d) : std::fmax(c, d)) == target;
            };
            auto matches = [&](const QData& p) { return row(p.y() + offset) == target; };
            return summary.first(copy, level, index, reaches, matches);
        };
        const double top = std::min(a, b), bottom = std::max(a, b);
        const int low = m_fold.lowers(top) ? firstAt(top, true) : -1;
        const int high = m_fold.raises(bottom) ? firstAt(bottom, false) : -1;
        if ((m_fold.lowers(top) && low < 0) || (m_fold.raises(bottom) && high < 0))
            return 0;
        if ((run.lowers = low >= 0))
            run.low = at(low), run.lowAt = low - i;
        if ((run.raises = high >= 0))
            run.high = at(high), run.highAt = high - i;
    }
    m_fold.addRun(run);
    if (m_directWave)
        drawRunWavDirect(copy, i, count, previous.x());
    return count;
}

// The direct-wave strokes of a run: all in its column with one pen, so each folds into the last.
void QWPainter::drawRunWavDirect(const CurveCopy& copy, int i, int count, double previousX) {
    const CurvePen pen = colorCurve(copy.at(i), ModelGraph::WAV_DIRECT);
    if (!pen.visible())
        return;
    const CurveFold::Pen strokePen{pen.colour, double(pen.width)};
    const QList<QPointF>& amplitudes = m_painterWav->listDataDraw();
    for (int j = i; j < i + count; ++j) {
        const QData& point = copy.at(j);
        const double x = position(point.samplerate(), 0.0).x();
        const double xs = (x + previousX) / 2.0;
        previousX = x;
        const qint64 k = GraphWindow::trunc64(point.targetVinylDeltaPosition() / 360.0 * amplitudes.size());
        if (point.drawon() && std::fabs(point.acceleration()) >= 0.0001 && k >= 0 && k < amplitudes.size()) {
            const QPointF& entry = amplitudes[k];
            m_fold.stroke(xs, 85.0 + std::min(entry.x(), entry.y()), 85.0 + std::max(entry.x(), entry.y()), strokePen);
        } else {
            m_fold.stroke(xs, 84.0, 85.0, strokePen);
        }
    }
}

// The segment from `previous` to `current` cut at xm: the first part up to the row `first` with the pen
// already set, the second from the row `second` with the pen of the current point.
void QWPainter::drawSplit(QPointF previous, QPointF current, double xm, double first, double second,
                          const CurvePen& pen) {
    line(previous, QPointF(xm, first), m_currentPen);
    m_currentPen = pen;
    line(QPointF(xm, second), current, m_currentPen);
}

bool QWPainter::prepareSplits(const CurveCopy& copy, ModelGraph::EnumGraph graph, double& top, double& bottom,
                              double& mid) {
    if (copy.isEmpty() || copy.posStart() < 0 || copy.posStart() >= copy.posEnd())
        return false;
    top = m_scale.y(FULL);
    bottom = m_scale.y(0.0);
    mid = m_scale.y(FULL / 2.0);
    m_currentPen = colorCurve(copy.at(copy.posStart()), graph);
    return true;
}

void QWPainter::drawBufferCurvePhrasing(const CurveCopy& copy, ModelGraph::EnumGraph graph) {
    double top, bottom, mid;
    if (!prepareSplits(copy, graph, top, bottom, mid))
        return;
    const int start = copy.posStart();
    const int end = copy.posEnd();
    QPointF previous;
    int previousArea = -1;
    for (int i = start; i < end; ++i) {
        const QData& point = copy.at(i);
        const double angle = point.targetVinylDeltaPosition();
        const int area = searchArea(angle);
        double value = 0.0;
        if (area >= 0) {
            const double span = m_areas[area].end - m_areas[area].start;
            value = span != 0.0 ? (angle - m_areas[area].start) / span * FULL : 0.0;
        } else if (m_areas.empty()) {
            value = angle * DEGREE;
        }
        const QPointF current = position(point.samplerate(), value);
        if (i > start) {
            const qint32 s0 = copy.at(i - 1).samplerate();
            const double xm = std::clamp(m_scale.x(s0 + (point.samplerate() - double(s0)) * 0.5), -FAR, FAR);
            const bool down = current.y() > mid;
            const bool wraps = std::fabs(previous.y() - current.y()) >= mid;
            if (m_areas.empty() || (previousArea >= 0 && area >= 0)) {
                // Without areas the curve wraps when it jumps far; with areas, when it changes area.
                const bool split = m_areas.empty() ? wraps : previousArea != area;
                if (split) {
                    drawSplit(previous, current, xm, down ? top : bottom, down ? bottom : top,
                              colorCurve(point, graph));
                } else {
                    m_currentPen = colorCurve(point, graph);
                    line(previous, current, m_currentPen);
                }
            } else if (previousArea >= 0) {
                line(previous, QPointF(xm, previous.y() > mid ? bottom : top), m_currentPen);
            } else if (area >= 0) {
                line(QPointF(xm, down ? bottom : top), current, m_currentPen);
                m_currentPen = colorCurve(point, graph);
            }
            drawPointExtras(copy, current, previous, i);
        }
        previous = current;
        previousArea = area;
    }
}

void QWPainter::drawBufferCurveDrumming(const CurveCopy& copy, ModelGraph::EnumGraph graph) {
    double top, bottom, mid;
    if (!prepareSplits(copy, graph, top, bottom, mid))
        return;
    const int start = copy.posStart();
    const int end = copy.posEnd();
    double previousAngle = copy.at(start).targetVinylDeltaPosition();
    QPointF previous = position(copy.at(start).samplerate(), previousAngle * DEGREE);
    for (int i = start + 1; i < end; ++i) {
        const QData& point = copy.at(i);
        const double angle = point.targetVinylDeltaPosition();
        const QPointF current = position(point.samplerate(), angle * DEGREE);
        const qint32 s0 = copy.at(i - 1).samplerate();
        const double xm = std::clamp(m_scale.x(s0 + (point.samplerate() - double(s0)) * 0.5), -FAR, FAR);
        const CurvePen pen = colorCurve(point, graph);
        if (m_areas.empty() && std::fabs(previous.y() - current.y()) >= mid) {
            if (current.y() <= mid)
                drawSplit(previous, current, xm, bottom, top, pen);
            else
                drawSplit(previous, current, xm, top, bottom, pen);
        } else if (!m_areas.empty() && previousAngle > 270.0 && angle < 90.0) {
            // Forwards through 0°: up to the top edge, on from the bottom edge.
            drawSplit(previous, current, xm, top, bottom, pen);
        } else if (!m_areas.empty() && previousAngle < 90.0 && angle > 270.0) {
            drawSplit(previous, current, xm, bottom, top, pen);
        } else {
            m_currentPen = pen;
            line(previous, current, m_currentPen);
        }
        drawPointExtras(copy, current, previous, i);
        previous = current;
        previousAngle = angle;
    }
}

void QWPainter::drawPointExtras(const CurveCopy& copy, QPointF current, QPointF previous, int i) {
    if (m_directWave)
        drawWavDirect(copy, current, previous, i);
    if (m_shini)
        drawArrowUpdown(copy, previous, i);
}

void QWPainter::drawArrowUpdown(const CurveCopy& copy, QPointF p, int i) {
    if (copy.isEmpty() || i < 1 || copy.at(i).drawon() == copy.at(i - 1).drawon())
        return;
    const bool reverse = registry()->instanceMode()->modeReverse();
    const QPixmap& arrow = copy.at(i).drawon() ? (reverse ? m_arrowUpRight : m_arrowUpLeft)
                                               : (reverse ? m_arrowDownLeft : m_arrowDownRight);
    if (arrow.isNull())
        return;
    const QSize half = m_arrowDownLeft.deviceIndependentSize().toSize() / 2;
    m_fold.pixmap(p - QPointF(half.width(), half.height()), arrow);
}

void QWPainter::drawWavDirect(const CurveCopy& copy, QPointF current, QPointF previous, int i) {
    const QData& point = copy.at(i);
    const CurvePen pen = colorCurve(point, ModelGraph::WAV_DIRECT);
    if (!pen.visible())
        return;
    const QList<QPointF>& amplitudes = m_painterWav->listDataDraw();
    const qint64 k = GraphWindow::trunc64(point.targetVinylDeltaPosition() / 360.0 * amplitudes.size());
    const double xs = (current.x() + previous.x()) / 2.0;
    const CurveFold::Pen strokePen{pen.colour, double(pen.width)};
    if (point.drawon() && std::fabs(point.acceleration()) >= 0.0001 && k >= 0 && k < amplitudes.size()) {
        const QPointF& entry = amplitudes[k];
        m_fold.stroke(xs, 85.0 + std::min(entry.x(), entry.y()), 85.0 + std::max(entry.x(), entry.y()), strokePen);
    } else {
        m_fold.stroke(xs, 84.0, 85.0, strokePen);
    }
}
