#include "MidiLearnText.h"

#include <QStringList>

int MidiLearnText::paramMidiItem(const QString& text, int part) {
    const QStringList parts = text.split(QLatin1Char('/'));
    if (part < 0 || part >= parts.size())
        return 0;
    bool ok = false;
    const int value = parts.at(part).toInt(&ok, 10);
    return ok && value >= 0 ? value : 0;
}

QString MidiLearnText::concatMidiItems(const QString& text) {
    return QStringLiteral("Ch%1.CC.%2")
        .arg(paramMidiItem(text, 0) + 1, 2, 10, QLatin1Char('0'))
        .arg(paramMidiItem(text, 1), 3, 10, QLatin1Char('0'));
}
