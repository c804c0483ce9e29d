#include <QApplication>
#include <QMetaType>

#include <cstdio>

#include <portaudio.h>

#include "Connection.h"
#include "StartUp.h"
#include "platform/NativeLogs.h"

namespace {

// On X11 and Wayland systems Qt ends the process when it finds no display; say why instead.
bool displayAvailable() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fprintf(stderr, "Quillon needs a graphical display, and none is set (DISPLAY or WAYLAND_DISPLAY).\n");
        return 1;
    }
    NativeLogs::silence();
    qRegisterMetaType<PaStreamCallbackTimeInfo>("PaStreamCallbackTimeInfo");
    QApplication app(argc, argv);
    configureApplicationAppearance(app);
    configureApplicationIcon(app);
    handleMacSpecificDataSetup();
    int result = 0;
    {
        // Built after the data folder exists: its registry writes config.ini there on first use.
        Connection connection;
        connection.showMaximized();
        result = app.exec();
    }
    return result;
}
