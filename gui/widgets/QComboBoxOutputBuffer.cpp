#include "QComboBoxOutputBuffer.h"

#include <QWheelEvent>

#include "ComboEntries.h"
#include "core/Performance.h"
#include "core/Singleton.h"

QComboBoxOutputBuffer::QComboBoxOutputBuffer(const QString& start, QWidget* parent) : QComboBox(parent) {
    ComboEntries::fill(this, {"128", "256", "512", "1024", "2048"}, 0, start);
    save(currentText());
    connect(this, &QComboBox::currentTextChanged, this, &QComboBoxOutputBuffer::save);
}

void QComboBoxOutputBuffer::save(const QString& text) {
    const int frames = ComboEntries::value(text);
    if (frames <= 0)
        return;
    Singleton::instance()->instancePerformance()->setOutputBuffer(frames);
    emit s_Textchanged();
}

void QComboBoxOutputBuffer::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
