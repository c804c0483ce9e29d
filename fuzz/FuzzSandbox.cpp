#include "FuzzSandbox.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "TestSandbox.h"

namespace {

void quiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qFatal: %s\n", qPrintable(message));
        std::abort();
    }
}

} // namespace

// Called by libFuzzer before the first input, and by the replay's main.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (TestSandbox::root().isEmpty()) {
        // Runs this executable again from a copy inside a new sandbox, waits for it and removes the
        // sandbox; libFuzzer's options and corpus folders reach the copy unchanged. An interrupt from
        // the terminal reaches both processes: this one outlives the copy, so the sandbox is removed.
        std::signal(SIGINT, SIG_IGN);
        const int status = TestSandbox::run(*argc, *argv, [](int, char**) { return 0; });
        std::fflush(nullptr);
        std::_Exit(status);
    }
    std::signal(SIGINT, SIG_DFL); // libFuzzer puts its own handler in place after this
    qInstallMessageHandler(quiet);
    static int appArgc = 1;
    static char* appArgv[] = {(*argv)[0], nullptr};
    // Never deleted: the readers and the registry may use it until the process ends.
    new QCoreApplication(appArgc, appArgv);
    return 0;
}

QString FuzzSandbox::dataFolder() {
    return TestSandbox::dataFolder();
}

QString FuzzSandbox::file(const QString& name) {
    return TestSandbox::root() + QLatin1Char('/') + name;
}

QString FuzzSandbox::writeInput(const std::uint8_t* data, std::size_t size, const QString& path) {
    static qint64 writes = 0;
    QFile input(path.isEmpty() ? file(QStringLiteral("input")) : path);
    const bool written = input.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         input.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size) &&
                         input.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++writes),
                                           QFileDevice::FileModificationTime);
    require(written, "the input file can be written into the sandbox");
    return input.fileName();
}

void FuzzSandbox::require(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "broken expectation: %s\n", what);
    std::abort();
}
