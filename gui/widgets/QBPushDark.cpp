#include "QBPushDark.h"

#include <QMouseEvent>

#include "WidgetLook.h"

QBPushDark::QBPushDark(const QString& picture, QWidget* parent) : QPushButton(parent), m_picture(picture) {
    setObjectName(QStringLiteral("dark"));
    setFixedSize(50, 50);
    updateIcon();
}

void QBPushDark::mouseClick() {
    if (isEnabled())
        emit s_push();
}

void QBPushDark::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QPushButton::mousePressEvent(event);
    mouseClick();
}

void QBPushDark::updateIcon() {
    WidgetLook::showPicture(this, m_picture, QSize(30, 30));
}
