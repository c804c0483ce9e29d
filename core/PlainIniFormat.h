#pragma once

#include <QSettings>

// A QSettings format for the INI files of the Input folder that keeps every value as plain text.
//
// Qt's own INI reader turns a value written as "@Variant(...)" into the object it serialises, with
// no limit on nesting, so a hand-made config.ini or MixerMac.ini could exhaust the stack; this
// application never writes such values. This reader follows Qt's INI syntax (sections, quoting,
// escapes, comma lists, a backslash in a key for a slash) but ignores any key whose value is a
// serialised object. The writer produces the bytes Qt's INI writer produces for texts, so a file
// keeps the form it always had: sections and keys in ascending order, "volumeDeckA\B".
class PlainIniFormat {
public:
    // Registered on first use; any thread.
    static QSettings::Format format();

private:
    static bool read(QIODevice& device, QSettings::SettingsMap& map);
    static bool write(QIODevice& device, const QSettings::SettingsMap& map);
};
