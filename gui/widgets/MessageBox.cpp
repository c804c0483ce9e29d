#include "MessageBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace {

int run(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons, QWidget* parent) {
    QMessageBox box(icon, QString(), text, buttons, parent,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.setWindowFlags(box.windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->geometry().center());
        box.move(frame.topLeft());
    }
    return box.exec();
}

} // namespace

void MessageBox::information(const QString& text, QWidget* parent) {
    run(QMessageBox::Information, text, QMessageBox::Ok, parent);
}

void MessageBox::confirmation(const QString& text, QWidget* parent) {
    run(QMessageBox::Information, text, QMessageBox::Yes, parent);
}

bool MessageBox::question(const QString& text, QWidget* parent) {
    return run(QMessageBox::Critical, text, QMessageBox::Yes | QMessageBox::No, parent) == QMessageBox::Yes;
}
