#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the modal message boxes and file dialogs that code under test opens, from inside their own
// event loops, and records what the boxes said. Lives on the GUI thread; polls every few milliseconds.
class ModalDriver : public QObject {
    Q_OBJECT

public:
    explicit ModalDriver(QObject* parent = nullptr);

    // The button pressed on every following message box; by default the box's default or escape button.
    void setAnswer(QMessageBox::StandardButton button);
    // Paths chosen by the following file or folder dialogs, one per dialog in order; an empty entry
    // (or none queued) cancels the dialog.
    void queuePaths(const QStringList& paths);

    QStringList messages() const { return m_messages; }
    int dialogCount() const { return m_dialogs; }
    void clear();

private:
    void poll();

    QTimer m_timer;
    QMessageBox::StandardButton m_answer = QMessageBox::NoButton;
    QStringList m_paths;
    QStringList m_messages;
    int m_dialogs = 0;
};
