#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// What the setting combos share: filling in the entries with the start choice, and reading an entry.
namespace ComboEntries {

// Inserts `entries` and selects the one equal to `start`, the default one when `start` is empty.
// An unknown `start` (a config.ini edited by hand, an old version's value) leaves the first entry.
void fill(QComboBox* combo, const QStringList& entries, int defaultIndex, const QString& start);
// The entry as a whole number; 0 when it is not one in the 32-bit range.
int value(const QString& text);

} // namespace ComboEntries
