#include "QBPushMenuNoLabel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "WidgetLook.h"

QBPushMenuNoLabel::QBPushMenuNoLabel(const QString& picture, QWidget* parent)
    : QPushButton(parent), m_picture(picture) {
    setFixedSize(35, 50);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WidgetLook::pictureLabel(picture, Qt::SmoothTransformation, this), 0, Qt::AlignCenter);
}

void QBPushMenuNoLabel::mousePressEvent(QMouseEvent* event) {
    emit s_push();
    QWidget::mousePressEvent(event);
}
