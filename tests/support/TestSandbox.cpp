#include "TestSandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "AlsaTestConfig.h"
#include "core/Function.h"

namespace {

const char* const SANDBOX_VARIABLE = "QUILLON_TEST_SANDBOX";

QString sandboxRoot() {
    return qEnvironmentVariable(SANDBOX_VARIABLE);
}

void setVariable(const char* name, const QString& value) {
    qputenv(name, QFile::encodeName(value));
}

// Lays out the sandbox; returns the path of the executable copy, or an empty text.
QString prepare(const QString& root, const QString& executable) {
    const QString macOs = root + "/Bundle/Contents/MacOS";
    const QString appData = root + "/Bundle/Contents/Resources/AppData";
    if (!QDir().mkpath(macOs) || !QDir().mkpath(appData))
        return QString();
    if (!Function::copyPath(QStringLiteral(QUILLON_DATA_TREE), appData))
        return QString();

    const QString copy = macOs + "/" + QFileInfo(executable).fileName();
    if (!QFile::copy(executable, copy))
        return QString();
    QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ExeOwner);

    for (const char* folder : {"home", "xdg-data", "xdg-config", "xdg-cache", "runtime", "alsa"}) {
        if (!QDir().mkpath(root + "/" + folder))
            return QString();
    }
    ::chmod(QFile::encodeName(root + "/runtime").constData(), 0700);

    // A buffer of silence, so the capture device exists and reads zeros until a test fills it.
    QFile capture(root + "/alsa/capture.raw");
    if (!capture.open(QIODevice::WriteOnly))
        return QString();
    capture.write(QByteArray(4096 * 4, '\0'));
    capture.close();
    if (!AlsaTestConfig::write(root + "/alsa/asound.conf", root + "/alsa/capture.raw", root + "/alsa/playback.raw"))
        return QString();

    setVariable(SANDBOX_VARIABLE, root);
    setVariable("HOME", root + "/home");
    setVariable("XDG_DATA_HOME", root + "/xdg-data");
    setVariable("XDG_CONFIG_HOME", root + "/xdg-config");
    setVariable("XDG_CACHE_HOME", root + "/xdg-cache");
    setVariable("XDG_RUNTIME_DIR", root + "/runtime");
    setVariable("ALSA_CONFIG_PATH", root + "/alsa/asound.conf");
    setVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen"));
    setVariable("QT_MEDIA_BACKEND", QStringLiteral("ffmpeg"));
    setVariable("JACK_NO_START_SERVER", QStringLiteral("1"));
    return copy;
}

QString selfExecutable() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

int TestSandbox::run(int argc, char** argv, const std::function<int(int, char**)>& body) {
    if (!sandboxRoot().isEmpty())
        return body(argc, argv);

    const QString executable = selfExecutable();
    QDir().mkpath(QStringLiteral(QUILLON_SANDBOX_PARENT));
    QTemporaryDir dir(QStringLiteral(QUILLON_SANDBOX_PARENT "/") + QFileInfo(executable).fileName() + "-XXXXXX");
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create the test sandbox\n");
        return 2;
    }
    if (qEnvironmentVariableIsSet("QUILLON_KEEP_SANDBOX"))
        dir.setAutoRemove(false);

    const QString copy = prepare(dir.path(), executable);
    if (copy.isEmpty()) {
        std::fprintf(stderr, "cannot lay out the test sandbox in %s\n", qPrintable(dir.path()));
        return 2;
    }

    const QByteArray program = QFile::encodeName(copy);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        argv[0] = const_cast<char*>(program.constData());
        ::execv(program.constData(), argv);
        std::perror("execv");
        std::_Exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "test process ended by signal %d\n", WTERMSIG(status));
        return 128 + WTERMSIG(status);
    }
    return WEXITSTATUS(status);
}

QString TestSandbox::root() {
    return sandboxRoot();
}

QString TestSandbox::bundleDir() {
    return root() + "/Bundle";
}

QString TestSandbox::dataFolder() {
    return bundleDir() + "/Contents/Resources/AppData";
}

QString TestSandbox::alsaCaptureFile() {
    return root() + "/alsa/capture.raw";
}

QString TestSandbox::alsaPlaybackFile() {
    return root() + "/alsa/playback.raw";
}

QString TestSandbox::sourceDir() {
    return QStringLiteral(QUILLON_SOURCE_DIR);
}
