#pragma once

#include <QApplication>
#include <QTest>

#include "TestSandbox.h"

// Interface tests: the same sandbox as every test, with a widget application on the offscreen platform.
#define QUILLON_GUI_TEST_MAIN(TestObject)                                                                    \
    int main(int argc, char** argv) {                                                                        \
        return TestSandbox::run(argc, argv, [](int argc, char** argv) {                                      \
            QApplication app(argc, argv);                                                                    \
            TestObject tc;                                                                                   \
            return QTest::qExec(&tc, argc, argv);                                                            \
        });                                                                                                  \
    }
