// The vinyl disc of QWPainter: the platter with its phrasing areas and where the live and reference
// curves' points stand on it (0° at twelve o'clock, angles clockwise).
#include "QWPainter.h"

#include <QPainter>
#include <QPolygonF>

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

constexpr QPointF CENTRE(125.0, 125.0);
// The disc and everything on it lies inside this square.
constexpr int SIDE = 250;

// The indicator bar (28 wide from the centre to the rim, pointing up at 0°) and its tip. Their 1-pixel
// outlines are drawn as thin bands along the edges: Qt fills such convex pieces many times faster
// than it strokes or fills a ring.
// The pixels from (-14, -101) to (13, 0), both included, as Qt takes a QRect given by those corners.
const QRectF BAR(-14.0, -101.0, 28.0, 102.0);
const QPointF TIP[3] = {QPointF(-14, -94), QPointF(0, -108), QPointF(14, -94)};

// The band of width 1 centred on the edge from a to b.
QPolygonF band(QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF n(-d.y() / length * 0.5, d.x() / length * 0.5);
    return QPolygonF{a + n, b + n, b - n, a - n};
}

void drawOutlined(QPainter& painter, double angle, const QColor& fill, const QColor& outline, bool bar) {
    painter.save();
    painter.translate(CENTRE);
    painter.rotate(angle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    if (bar) {
        painter.drawRect(BAR);
        painter.setBrush(outline);
        const double l = BAR.left(), t = BAR.top(), r = BAR.right(), b = BAR.bottom();
        // Top and bottom bands take the corners; the sides run between them.
        painter.drawRect(QRectF(QPointF(l - 0.5, t - 0.5), QPointF(r + 0.5, t + 0.5)));
        painter.drawRect(QRectF(QPointF(l - 0.5, b - 0.5), QPointF(r + 0.5, b + 0.5)));
        painter.drawRect(QRectF(QPointF(l - 0.5, t + 0.5), QPointF(l + 0.5, b - 0.5)));
        painter.drawRect(QRectF(QPointF(r - 0.5, t + 0.5), QPointF(r + 0.5, b - 0.5)));
    } else {
        painter.drawConvexPolygon(TIP, 3);
        painter.setBrush(outline);
        for (int i = 0; i < 3; ++i)
            painter.drawConvexPolygon(band(TIP[i], TIP[(i + 1) % 3]));
    }
    painter.restore();
}

QImage transparentImage(qreal dpr) {
    QImage image(QSize(SIDE, SIDE) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

void QWPainter::drawVinylPosition(QPainter& painter) {
    const qint64 cursor = GraphWindow::trunc64(m_scale.sample(m_currentX));
    const QData* mainPoint =
        registry()->instanceMode()->modeRun() ? m_copyMain.last() : m_copyMain.before(cursor);
    const QData* secondaryPoint = m_copySecondary.before(cursor);

    // The platter and its areas change only with the areas: drawn once into a picture.
    const qreal dpr = painter.device()->devicePixelRatioF();
    QString key = QString::number(dpr) + (m_areas.empty() ? QStringLiteral(" none") : QString());
    for (const Area& area : m_areas)
        key += QStringLiteral(" %1:%2:%3").arg(area.start).arg(area.end).arg(area.colour);
    if (key != m_discKey || m_discBase.isNull()) {
        m_discKey = key;
        m_discBase = transparentImage(dpr);
        QPainter base(&m_discBase);
        base.setRenderHint(QPainter::Antialiasing, true);
        drawBaseCircles(base);
        drawPhrasingPie(base);
        m_discCentre = transparentImage(dpr);
        QPainter centre(&m_discCentre);
        centre.setRenderHint(QPainter::Antialiasing, true);
        drawCentre(centre);
    }
    // Drawn one to one: without smooth transforms Qt blends the pictures directly.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QPointF(0.0, 0.0), m_discBase);
    if (secondaryPoint)
        drawPositionIndicator(painter, *secondaryPoint, m_graphSecondary);
    if (mainPoint)
        drawPositionIndicator(painter, *mainPoint, m_graphMain);
    painter.drawImage(QPointF(0.0, 0.0), m_discCentre);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (secondaryPoint)
        drawPositionIndicatorArrow(painter, *secondaryPoint, m_graphSecondary);
    if (mainPoint && mainPoint->drawon())
        drawPositionIndicatorArrow(painter, *mainPoint, m_graphMain);
    if (mainPoint && registry()->instanceSetting()->paramGraphMainCurve(false))
        drawPhrasingLabel(painter, *mainPoint, m_graphMain, 230);
    if (secondaryPoint && registry()->instanceLooperTraining()->mode() != ModelActivatedMode::Looper)
        drawPhrasingLabel(painter, *secondaryPoint, m_graphSecondary, 260);
}

void QWPainter::drawBaseCircles(QPainter& painter) const {
    using namespace Constant::Color;
    painter.setPen(Qt::NoPen);
    painter.setBrush(GraphStyle::color(m_areas.empty() ? COLOR_BLACK_43 : COLOR_NO_SOUND));
    painter.drawEllipse(QRect(QPoint(25, 25), QPoint(224, 224)));
    drawCentre(painter);
}

// The centre disc and the ring, drawn under the areas and again over the indicators.
void QWPainter::drawCentre(QPainter& painter) const {
    const QColor white = GraphStyle::color(Constant::Color::COLOR_WHITE_175);
    painter.setPen(QPen(white, 2.0));
    painter.setBrush(white);
    painter.drawEllipse(QRect(QPoint(111, 111), QPoint(138, 138)));
    painter.setPen(QPen(white, 14.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(CENTRE, 100.0, 100.0);
}

void QWPainter::drawPhrasingPie(QPainter& painter) const {
    painter.setPen(Qt::NoPen);
    for (const Area& area : m_areas) {
        painter.setBrush(QColor::fromRgba(area.colour));
        painter.drawPie(QRect(19, 19, 212, 212), int(std::trunc((90.0 - area.start) * 16.0)),
                        int(std::trunc(-(area.end - area.start) * 16.0)));
    }
}

bool QWPainter::setupIndicatorColorsAndChecks(ModelGraph::EnumGraph graph, QColor& fill, QColor& outline) const {
    using namespace Constant::Color;
    const bool green = graph == ModelGraph::INPUT_A || graph == ModelGraph::INPUT_1;
    if (graph == m_graphSecondary) {
        if (registry()->instanceLooperTraining()->mode() == ModelActivatedMode::Looper)
            return false;
        fill = GraphStyle::color(green ? COLOR_GREEN_255_ALPHA_150 : COLOR_BLUE_255_ALPHA_150);
        outline = GraphStyle::color(COLOR_BLACK_43_ALPHA_150);
        return true;
    }
    if (!registry()->instanceSetting()->paramGraphMainCurve(false))
        return false;
    fill = GraphStyle::color(green ? COLOR_GREEN_255 : COLOR_BLUE_255);
    outline = GraphStyle::color(COLOR_BLACK_43_ALPHA_100);
    return true;
}

void QWPainter::drawPositionIndicator(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph) {
    QColor fill, outline;
    if (!setupIndicatorColorsAndChecks(graph, fill, outline))
        return;
    drawOutlined(painter, point.targetVinylDeltaPosition(), fill, outline, true);
}

void QWPainter::drawPositionIndicatorArrow(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph) {
    using namespace Constant::Color;
    QColor fill, outline;
    if (!setupIndicatorColorsAndChecks(graph, fill, outline))
        return;
    if (graph == m_graphSecondary) {
        const bool green = graph == ModelGraph::INPUT_1 || graph == ModelGraph::INPUT_A;
        fill = GraphStyle::color(green ? COLOR_GREEN_255_ALPHA_100 : COLOR_BLUE_255_ALPHA_100);
    }
    drawOutlined(painter, point.targetVinylDeltaPosition(), fill, outline, false);
}

void QWPainter::drawPhrasingLabel(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph, int y) {
    const int area = searchArea(point.targetVinylDeltaPosition());
    if (area < 0)
        return;
    QData open = point;
    open.setDrawon(true);
    const CurvePen pen = colorCurve(open, graph);
    QFont font = painter.font();
    font.setPointSize(15);
    font.setWeight(QFont::Bold);
    font.setItalic(true);
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(QColor::fromRgba(pen.colour), pen.width));
    painter.drawText(QRect(QPoint(45, y), QPoint(625, y + 40)), Qt::AlignLeft,
                     m_managePhrasing->listPhrasing().at(area).label());
    painter.restore();
}
