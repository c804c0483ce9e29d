#include "XvfbServer.h"

#include <QByteArray>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int START_TIMEOUT_MS = 20000;

void fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
}

} // namespace

XvfbServer::~XvfbServer() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0) {
    }
}

bool XvfbServer::start(QString* error) {
    int fds[2];
    if (::pipe(fds) != 0) {
        fail(error, QStringLiteral("no pipe for the display number"));
        return false;
    }
    // The server writes the display number it chose into the pipe once it takes connections.
    const QByteArray fd = QByteArray::number(fds[1]);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(fds[0]);
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(fds[1]);
    if (m_pid < 0) {
        ::close(fds[0]);
        fail(error, QStringLiteral("cannot fork"));
        return false;
    }
    QByteArray number;
    pollfd wait{fds[0], POLLIN, 0};
    while (!number.endsWith('\n') && ::poll(&wait, 1, START_TIMEOUT_MS) > 0) {
        char c;
        if (::read(fds[0], &c, 1) != 1)
            break;
        number += c;
    }
    ::close(fds[0]);
    if (!number.endsWith('\n')) {
        fail(error, QStringLiteral("Xvfb did not start (is the package xvfb installed?)"));
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    return true;
}

bool XvfbServer::startForQt(QString* error) {
    if (!start(error))
        return false;
    qputenv("DISPLAY", m_display.toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}
