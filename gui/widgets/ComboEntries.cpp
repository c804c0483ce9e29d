#include "ComboEntries.h"

#include <QComboBox>

void ComboEntries::fill(QComboBox* combo, const QStringList& entries, int defaultIndex,
                        const QString& start) {
    combo->addItems(entries);
    if (start.isEmpty())
        combo->setCurrentIndex(defaultIndex);
    else
        combo->setCurrentIndex(qMax(0, entries.indexOf(start)));
}

int ComboEntries::value(const QString& text) {
    return text.toInt(nullptr, 10);
}
