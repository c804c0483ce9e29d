#pragma once

#include <QApplication>
#include <QFile>
#include <QEnterEvent>
#include <QPalette>
#include <QStyleFactory>
#include <QTest>

#include "TestSandbox.h"
#include "core/Function.h"
#include "core/Path.h"

namespace GuiTest {

// The application's appearance, as the start-up applies it: Fusion, the dark window palette and the
// data folder's style sheet. For screenshots that show what the user sees.
inline void applyAppearance() {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(175, 176, 177));
    QApplication::setPalette(palette);
    qApp->setStyleSheet(Function::loadStyleFromFile(Path::joinCss("style.css")));
}

// A desktop-sized offscreen screen (1920 x 1080) for tests of the whole window, whose popups would be
// pushed back onto the default 800 x 600 one. Call before the QApplication exists.
inline void useDesktopScreen() {
    const QString path = TestSandbox::root() + "/offscreen-screen.json";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1080,
                   "logicalDpi": 96, "logicalBpp": 32, "dpr": 1.0}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toUtf8());
}

// The pointer entering or leaving the widget, as the widget is told.
inline void hover(QWidget* widget, bool in) {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, in ? static_cast<QEvent*>(&enter) : &leave);
}

} // namespace GuiTest

// Interface tests: the same sandbox as every test, with a widget application on the offscreen platform.
#define QUILLON_GUI_TEST_MAIN(TestObject)                                                                    \
    int main(int argc, char** argv) {                                                                        \
        return TestSandbox::run(argc, argv, [](int argc, char** argv) {                                      \
            QApplication app(argc, argv);                                                                    \
            TestObject tc;                                                                                   \
            return QTest::qExec(&tc, argc, argv);                                                            \
        });                                                                                                  \
    }

// The same on a desktop-sized screen.
#define QUILLON_DESKTOP_GUI_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char** argv) {                                                                        \
        return TestSandbox::run(argc, argv, [](int argc, char** argv) {                                      \
            GuiTest::useDesktopScreen();                                                                     \
            QApplication app(argc, argv);                                                                    \
            TestObject tc;                                                                                   \
            return QTest::qExec(&tc, argc, argv);                                                            \
        });                                                                                                  \
    }
