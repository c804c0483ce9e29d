#include "QWPainterPhrasing.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

#include "core/Constant.h"
#include "core/ManagePhrasing.h"
#include "core/Path.h"
#include "gui/widgets/WidgetLook.h"

namespace {

// QPainter measures arcs in sixteenths of a degree.
constexpr double FULL_CIRCLE = 360.0 * 16.0;

QPen whitePen(double width) {
    QPen pen(WidgetLook::colorOf(Constant::Color::COLOR_WHITE_175), width);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::BevelJoin);
    return pen;
}

} // namespace

QWPainterPhrasing::QWPainterPhrasing(const ManagePhrasing* phrasing, QWidget* parent)
    : QWidget(parent), m_phrasing(phrasing) {
    setFixedSize(96, 96);
}

void QWPainterPhrasing::paintEvent(QPaintEvent*) {
    const int cx = width() / 2;
    const int cy = height() / 2;
    const int r = cy - 3;
    const QRect disc(cx - r, 3, 2 * r, 2 * r);
    const QList<QPhrasing> areas = m_phrasing ? m_phrasing->listPhrasing() : QList<QPhrasing>();

    QPainter painter(this);
    painter.fillRect(rect(), WidgetLook::colorOf(Constant::Color::COLOR_BLACK_53));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(WidgetLook::colorOf(areas.isEmpty() ? Constant::Color::COLOR_BLACK_43
                                                         : Constant::Color::COLOR_NO_SOUND));
    painter.drawEllipse(disc);

    for (const QPhrasing& area : areas) {
        painter.setBrush(WidgetLook::colorOf(area.color()));
        // Angles read from a file are unbounded: the start is taken modulo a turn (the same pie) and the
        // span bounded, so neither overflows an int.
        const int start = int(std::fmod((90.0 - area.angleStart()) * 16.0, FULL_CIRCLE));
        const int span = int(std::clamp(-area.spanAngle() * 16.0, -FULL_CIRCLE, FULL_CIRCLE));
        painter.drawPie(disc, start, span);
    }

    const QPen spot = whitePen(2.0);
    painter.setPen(spot);
    painter.setBrush(spot.color());
    painter.drawEllipse(QRect(cx - 6, cy - 6, 12, 12));
    painter.setPen(whitePen(6.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(disc);

    if (m_phrasing && !m_phrasing->scratchTools().isEmpty()) {
        const QPixmap badge = Path::joinResourceIcon(QStringLiteral("wav.png"));
        painter.drawPixmap(QRect(0, 0, badge.width() / 8, badge.height() / 8), badge);
    }
}
