#include "QBToggleCircular.h"

#include <QMouseEvent>

#include "WidgetLook.h"

QBToggleCircular::QBToggleCircular(const QString& picture, QWidget* parent)
    : QPushButton(parent), m_picture(picture) {
    setObjectName(QStringLiteral("togglecircular"));
    setCheckable(true);
    setFixedSize(50, 50);
    WidgetLook::showPicture(this, m_picture, QSize(30, 30));
    WidgetLook::announceToggles(this);
}

void QBToggleCircular::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QPushButton::mousePressEvent(event);
    toggle();
}
