#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// Every fuzz target, and the replay of its corpus, runs in a sandbox of its own (the tests' sandbox:
// a bundle tree with its own data folder, HOME and XDG folders under the build folder), so a reader
// that resolves the data folder, or the registry it reaches, never touches the user's folders.
// LLVMFuzzerInitialize (FuzzSandbox.cpp) moves the process there, silences Qt's messages (the
// readers warn on every malformed input) and starts the QCoreApplication the readers need.
namespace FuzzSandbox {

// The sandbox's data folder.
QString dataFolder();

// The file `name` in the sandbox's own folder, for a reader that goes by the file's name.
QString file(const QString& name);

// Writes the input into `path` (default: a file in the sandbox's own folder) and returns the path.
// Each write gets a modification time of its own, so a reader that caches files by size and time
// (QSettings) reads every input anew. Aborts when the file cannot be written: a reader fed a stale
// file would make findings that do not reproduce.
QString writeInput(const std::uint8_t* data, std::size_t size, const QString& path = QString());

// Aborts, naming the broken expectation, when `holds` is false: a reader's promise is a finding too.
void require(bool holds, const char* what);

} // namespace FuzzSandbox
