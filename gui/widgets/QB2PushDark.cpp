#include "QB2PushDark.h"

#include <QMouseEvent>

#include "WidgetLook.h"

QB2PushDark::QB2PushDark(const QString& pictureOff, const QString& pictureOn, QWidget* parent)
    : QPushButton(parent), m_pictureOff(pictureOff), m_pictureOn(pictureOn) {
    setObjectName(QStringLiteral("dark"));
    setFixedSize(50, 50);
    updateIcon();
}

void QB2PushDark::setChecked(bool checked) {
    if (checked == m_checked)
        return;
    m_checked = checked;
    updateIcon();
}

void QB2PushDark::changePicture(const QString& pictureOff, const QString& pictureOn) {
    m_pictureOff = pictureOff;
    m_pictureOn = pictureOn;
    updateIcon();
}

void QB2PushDark::mousePressEvent(QMouseEvent*) {
    emit s_push();
}

void QB2PushDark::updateIcon() {
    WidgetLook::showPicture(this, m_checked ? m_pictureOn : m_pictureOff, QSize(50, 50));
}
