#include "QBToggle.h"

#include <QMouseEvent>

#include "WidgetLook.h"

QBToggle::QBToggle(const QString& picture, QWidget* parent) : QPushButton(parent), m_picture(picture) {
    setObjectName(QStringLiteral("toggle"));
    setCheckable(true);
    setFixedSize(50, 50);
    WidgetLook::showPicture(this, m_picture, QSize(30, 30));
    WidgetLook::announceToggles(this);
}

void QBToggle::toggleOffIfEnabled() {
    if (isEnabled())
        toggle_off();
}

void QBToggle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QPushButton::mousePressEvent(event);
    toggle();
}
