#include "QWRotationLabel.h"

#include <QPainter>

QWRotationLabel::QWRotationLabel(const QString& caption, QWidget* parent)
    : QWidget(parent), m_caption(caption) {
    setObjectName(QStringLiteral("menu"));
}

QSize QWRotationLabel::sizeHint() const {
    return QSize(fontMetrics().ascent() + 6, fontMetrics().horizontalAdvance(m_caption));
}

void QWRotationLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.rotate(-90);
    // In the rotated system x runs upwards from the bottom edge (-height) and y to the right:
    // the baseline sits 6 pixels inside the right edge.
    painter.drawText(QPointF(-height(), width() - 6), m_caption);
}
