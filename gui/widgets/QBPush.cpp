#include "QBPush.h"

#include <QMouseEvent>

#include "WidgetLook.h"

QBPush::QBPush(const QString& picture, QWidget* parent) : QPushButton(parent), m_picture(picture) {
    setFixedSize(50, 50);
    updateIcon();
}

void QBPush::mouseClick() {
    if (isEnabled())
        emit s_push();
}

void QBPush::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QPushButton::mousePressEvent(event);
    mouseClick();
}

void QBPush::updateIcon() {
    WidgetLook::showPicture(this, m_picture, QSize(30, 30));
}
