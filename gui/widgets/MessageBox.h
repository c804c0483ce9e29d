#pragma once

#include <QString>

class QWidget;

// The application's message boxes: empty title, frameless, on top, centred on the primary screen, modal.
class MessageBox {
public:
    // An information box with OK.
    static void information(const QString& text, QWidget* parent = nullptr);
    // An information box with a single Yes, for news the user asked for.
    static void confirmation(const QString& text, QWidget* parent = nullptr);
    // A destructive question with Yes and No; true only for Yes.
    static bool question(const QString& text, QWidget* parent = nullptr);
};
