#include "QB2Push.h"

#include <QMouseEvent>

#include "WidgetLook.h"

QB2Push::QB2Push(const QString& pictureOff, const QString& pictureOn, QWidget* parent)
    : QPushButton(parent), m_pictureOff(pictureOff), m_pictureOn(pictureOn) {
    setFixedSize(50, 50);
    updateIcon();
}

void QB2Push::setChecked(bool checked) {
    if (checked == m_checked)
        return;
    m_checked = checked;
    updateIcon();
}

void QB2Push::changePicture(const QString& pictureOff, const QString& pictureOn) {
    m_pictureOff = pictureOff;
    m_pictureOn = pictureOn;
    updateIcon();
}

void QB2Push::mousePressEvent(QMouseEvent*) {
    emit s_push();
}

void QB2Push::updateIcon() {
    WidgetLook::showPicture(this, m_checked ? m_pictureOn : m_pictureOff, QSize(50, 50));
}
