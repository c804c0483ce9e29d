#include "QComboBoxProcessingBuffer.h"

#include <QWheelEvent>

#include "ComboEntries.h"
#include "core/Performance.h"
#include "core/Singleton.h"

QComboBoxProcessingBuffer::QComboBoxProcessingBuffer(ModelGraph::EnumGraph input, const QString& start,
                                                     QWidget* parent)
    : QComboBox(parent), m_input(input) {
    ComboEntries::fill(this, {"600", "500", "400", "300", "150", "100", "75", "50"}, 3, start);
    save(currentText());
    connect(this, &QComboBox::currentTextChanged, this, &QComboBoxProcessingBuffer::save);
}

void QComboBoxProcessingBuffer::save(const QString& text) {
    const int points = ComboEntries::value(text);
    if (points <= 0)
        return;
    Singleton::instance()->instancePerformance()->setProcessingBuffer(m_input, points);
    emit s_Textchanged();
}

void QComboBoxProcessingBuffer::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
