#pragma once

#include <QApplication>
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
