#include "ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

ModalDriver::ModalDriver(QObject* parent) : QObject(parent) {
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    m_timer.start(5);
}

void ModalDriver::setAnswer(QMessageBox::StandardButton button) {
    m_answer = button;
}

void ModalDriver::queuePaths(const QStringList& paths) {
    m_paths += paths;
}

void ModalDriver::clear() {
    m_messages.clear();
    m_paths.clear();
    m_dialogs = 0;
}

void ModalDriver::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        m_messages.append(box->text());
        QAbstractButton* button = m_answer != QMessageBox::NoButton ? box->button(m_answer) : nullptr;
        if (!button)
            button = box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton()) : box->escapeButton();
        if (button)
            button->click();
        else
            box->reject();
        return;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        ++m_dialogs;
        const QString path = m_paths.isEmpty() ? QString() : m_paths.takeFirst();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // selectFile leaves the name box alone while the box has the keyboard focus, which it takes once
        // the window is activated: on a busy machine that may come before this poll, and the dialog
        // then returns the folder it shows instead of the choice.
        if (QWidget* focus = QApplication::focusWidget(); focus && dialog->isAncestorOf(focus))
            focus->clearFocus();
        if (dialog->fileMode() == QFileDialog::Directory)
            dialog->setDirectory(path);
        dialog->selectFile(path);
        const QString chosen = QFileInfo(path).absoluteFilePath();
        if (dialog->selectedFiles() != QStringList{chosen})
            qWarning() << "ModalDriver: the dialog holds" << dialog->selectedFiles() << "instead of" << chosen;
        // QFileDialog's own accept (protected there) checks the choice and fills selectedFiles.
        static_cast<QDialog*>(dialog)->accept();
    }
}
