#pragma once

#include <QSlider>

// The settings panel's slider: its owner sets the range. The wheel scrolls the page behind instead of
// moving the value.
class QCustomSlider : public QSlider {
    Q_OBJECT

public:
    explicit QCustomSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
