#include "QDLed.h"

#include <QTimer>

#include "WidgetLook.h"

QDLed::QDLed(const QString& picture, QWidget* parent) : QPushButton(parent), m_picture(picture) {
    setFixedSize(50, 50);
    WidgetLook::showPicture(this, m_picture, QSize(30, 30));
    // A lamp: presses while lit go to the panel behind it instead of showing a pressed button.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
}

void QDLed::trigger() {
    setEnabled(true);
    QTimer::singleShot(100, Qt::PreciseTimer, this, &QDLed::disabled);
}
