#pragma once

#include <QString>

#include <sys/types.h>

// A private X server (Xvfb) for the tests that need a real window system. It picks a free display
// number itself, so tests running at the same time never share one; it is stopped when the object
// goes. Start it before the QApplication that should use it.
class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    // Starts the server (1920x1080, 24 bits) and waits until it takes connections. False, with the
    // reason in `error`, when it does not start.
    bool start(QString* error = nullptr);
    // Starts the server and points this process's Qt at it: DISPLAY and QT_QPA_PLATFORM=xcb.
    bool startForQt(QString* error = nullptr);
    // ":N"; empty before start.
    QString display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QString m_display;
};
