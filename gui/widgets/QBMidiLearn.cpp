#include "QBMidiLearn.h"

#include <QMouseEvent>

#include "WidgetLook.h"

QBMidiLearn::QBMidiLearn(QWidget* parent) : QPushButton(QStringLiteral("Learn"), parent) {
    setObjectName(QStringLiteral("midi"));
    setCheckable(true);
    setFixedSize(100, 50);
    WidgetLook::announceToggles(this);
}

void QBMidiLearn::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QPushButton::mousePressEvent(event);
    toggle();
}
