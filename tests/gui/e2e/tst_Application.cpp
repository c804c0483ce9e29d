// The real executable, started on a private X server in this test's sandbox: it shows its window, the
// window's picture is kept, and closing the window ends it with 0. Without any display it says so.
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QtTest>

#include <xcb/xcb.h>

#include "Artifacts.h"
#include "TestSandbox.h"
#include "XvfbServer.h"

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startsShowsAndCloses();
    void withoutDisplay();

private:
    QString m_program;
};

namespace {

xcb_connection_t* x11() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char* name) {
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(x11(), 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(x11(), cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return value;
}

// The mapped top-level windows, with their geometry.
QList<std::pair<xcb_window_t, QRect>> shownWindows() {
    QList<std::pair<xcb_window_t, QRect>> shown;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x11())).data->root;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x11(), xcb_query_tree(x11(), root), nullptr);
    if (!tree)
        return shown;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(x11(), xcb_get_window_attributes(x11(), children[i]), nullptr);
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(x11(), xcb_get_geometry(x11(), children[i]), nullptr);
        if (attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            shown.append({children[i], QRect(geometry->x, geometry->y, geometry->width, geometry->height)});
        free(attributes);
        free(geometry);
    }
    free(tree);
    return shown;
}

// What a window manager sends when the user closes a window.
void askToClose(xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x11(), 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(x11());
}

} // namespace

// The program sits in the sandbox's bundle, so it finds the sandbox's data folder.
void TestApplication::initTestCase() {
    m_program = TestSandbox::bundleDir() + "/Contents/MacOS/Quillon";
    QFile::remove(m_program);
    QVERIFY(QFile::copy(QStringLiteral(QUILLON_PROGRAM), m_program));
    QFile::setPermissions(m_program, QFile::permissions(m_program) | QFile::ExeOwner);
}

void TestApplication::startsShowsAndCloses() {
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(m_program, {});
    QVERIFY(program.waitForStarted());
    // The splash goes after 2 s; then the one window left is the main window, at least the view's
    // minimum size.
    QList<std::pair<xcb_window_t, QRect>> shown;
    QTRY_VERIFY_WITH_TIMEOUT((shown = shownWindows()).size() == 1 && shown[0].second.width() >= 1200 &&
                                 shown[0].second.height() >= 600,
                             30000);
    QTest::qWait(500);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QVERIFY(!Artifacts::save(screen, "application-on-xvfb").isEmpty());
    // The window shows the dark palette, not the X server's black background.
    const QImage window = screen.copy(shown[0].second);
    int dark = 0;
    for (int y = 0; y < window.height(); y += 7)
        for (int x = 0; x < window.width(); x += 7)
            dark += qGray(window.pixel(x, y)) > 30 && qGray(window.pixel(x, y)) < 80;
    QVERIFY2(dark > window.width() * window.height() / 49 / 2, qPrintable(QString::number(dark)));

    askToClose(shown[0].first);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void TestApplication::withoutDisplay() {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(m_program, {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    const QStringList lines = QString::fromUtf8(program.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].contains("display"));
}

int main(int argc, char** argv) {
    return TestSandbox::run(argc, argv, [](int argc, char** argv) {
        XvfbServer display;
        QString error;
        if (!display.startForQt(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 2;
        }
        QGuiApplication app(argc, argv);
        TestApplication tc;
        return QTest::qExec(&tc, argc, argv);
    });
}

#include "tst_Application.moc"
