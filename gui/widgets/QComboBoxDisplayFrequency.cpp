#include "QComboBoxDisplayFrequency.h"

#include <QWheelEvent>

#include "ComboEntries.h"
#include "core/Performance.h"
#include "core/Singleton.h"

QComboBoxDisplayFrequency::QComboBoxDisplayFrequency(const QString& start, QWidget* parent)
    : QComboBox(parent) {
    ComboEntries::fill(this, {"30", "60", "120"}, 2, start);
    save(currentText());
    connect(this, &QComboBox::currentTextChanged, this, &QComboBoxDisplayFrequency::save);
}

void QComboBoxDisplayFrequency::save(const QString& text) {
    const int hz = ComboEntries::value(text);
    if (hz <= 0)
        return;
    Singleton::instance()->instancePerformance()->setDisplayFrequency(hz);
    emit s_Textchanged();
}

void QComboBoxDisplayFrequency::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
