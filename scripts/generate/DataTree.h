#pragma once

#include <QString>

// Writes the generated files of the shipped data tree under `appData` (the AppData folder): the
// metronome click, the built-in default set, the default colour file and its scratch sound.
// The hand-written files (style sheet, mixer channel map, controller mapping) are left alone.
// Returns false, with a message, when a file could not be written.
bool writeDataTree(const QString& appData);
