#include "QComboBoxBpm.h"

#include <QWheelEvent>

#include "ComboEntries.h"
#include "core/Mode.h"
#include "core/Singleton.h"

QComboBoxBpm::QComboBoxBpm(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("bpm"));
    addItems({"2", "4", "8", "16", "32", "64"});
    setCurrentIndex(2);
    connect(this, &QComboBox::currentTextChanged, this, &QComboBoxBpm::save);
    save(currentText());
}

void QComboBoxBpm::save(const QString& text) {
    const int beats = ComboEntries::value(text);
    if (beats <= 0)
        return;
    Singleton::instance()->instanceMode()->setDisplayBPM(beats);
    emit s_Textchanged();
}

void QComboBoxBpm::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
