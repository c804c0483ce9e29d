#include "QComboBoxInputBuffer.h"

#include <QWheelEvent>

#include "ComboEntries.h"
#include "core/Performance.h"
#include "core/Singleton.h"

QComboBoxInputBuffer::QComboBoxInputBuffer(ModelGraph::EnumGraph input, const QString& start, QWidget* parent)
    : QComboBox(parent), m_input(input) {
    ComboEntries::fill(this, {"128", "256", "512", "1024", "2048"}, 0, start);
    save(currentText());
    connect(this, &QComboBox::currentTextChanged, this, &QComboBoxInputBuffer::save);
}

void QComboBoxInputBuffer::save(const QString& text) {
    const int frames = ComboEntries::value(text);
    if (frames <= 0)
        return;
    Singleton::instance()->instancePerformance()->setInputBuffer(m_input, frames);
    emit s_Textchanged();
}

void QComboBoxInputBuffer::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
