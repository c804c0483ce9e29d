#include "QCustomComboBox.h"

#include <QWheelEvent>

QCustomComboBox::QCustomComboBox() : QComboBox(nullptr) {}

void QCustomComboBox::showPopup() {
    emit s_ShowPopup();
    QComboBox::showPopup();
}

void QCustomComboBox::hidePopup() {
    emit s_HidePopup();
    QComboBox::hidePopup();
}

void QCustomComboBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
