#pragma once

#include <QString>

// The stored crossfader control "channel/controller" (config.ini's learnMidi) and the form the settings
// panel shows it in.
class MidiLearnText {
public:
    // Part `part` of the text (0 the channel, 1 the controller); 0 when it is missing or no whole number
    // from 0 up (the store writes unsigned numbers only).
    static int paramMidiItem(const QString& text, int part);
    // "Ch%1.CC.%2": the channel counted from 1 on two digits, the controller on three; 0/8 is Ch01.CC.008.
    static QString concatMidiItems(const QString& text);
};
