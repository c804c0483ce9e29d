#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTest>

#include <functional>

// Runs every test process inside a sandbox of its own: a temporary folder holding a copy
// of the test executable in a bundle tree (Bundle/Contents/MacOS, with the shipped data tree in
// Bundle/Contents/Resources/AppData), its own HOME, XDG folders, XDG_RUNTIME_DIR (0700),
// QT_QPA_PLATFORM=offscreen and an ALSA configuration with file-backed test devices.
// The test body runs in a child process started from the copy, so the data folder the code
// resolves from the executable's location is the sandbox's; the folder is removed afterwards
// (kept when QUILLON_KEEP_SANDBOX is set).
namespace TestSandbox {

int run(int argc, char** argv, const std::function<int(int, char**)>& body);

// Valid inside the sandboxed process only.
QString root();
// The sandbox's bundle tree and its own data folder (Contents/Resources/AppData).
QString bundleDir();
QString dataFolder();
QString alsaCaptureFile();
QString alsaPlaybackFile();
// The source tree, for fixtures and helper scripts.
QString sourceDir();

} // namespace TestSandbox

#define QUILLON_TEST_MAIN(TestObject)                                                                        \
    int main(int argc, char** argv) {                                                                        \
        return TestSandbox::run(argc, argv, [](int argc, char** argv) {                                      \
            QCoreApplication app(argc, argv);                                                                \
            TestObject tc;                                                                                   \
            return QTest::qExec(&tc, argc, argv);                                                            \
        });                                                                                                  \
    }
