#include "QCustomSlider.h"

#include <QWheelEvent>

QCustomSlider::QCustomSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {}

void QCustomSlider::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
