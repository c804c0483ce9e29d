#pragma once

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QTest>

#include "TestSandbox.h"
#include "core/Function.h"
#include "core/Path.h"

// The application's appearance, as the start-up applies it, for pictures that look like the program.
inline void applyApplicationLook() {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(175, 176, 177));
    QApplication::setPalette(palette);
    qApp->setStyleSheet(Function::loadStyleFromFile(Path::joinCss("style.css")));
}

// Interface tests: the same sandbox as every test, with a widget application on the offscreen platform.
#define QUILLON_GUI_TEST_MAIN(TestObject)                                                                    \
    int main(int argc, char** argv) {                                                                        \
        return TestSandbox::run(argc, argv, [](int argc, char** argv) {                                      \
            QApplication app(argc, argv);                                                                    \
            TestObject tc;                                                                                   \
            return QTest::qExec(&tc, argc, argv);                                                            \
        });                                                                                                  \
    }
