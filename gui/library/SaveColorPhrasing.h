#pragma once

#include <QDialog>
#include <QString>

#include "core/Model.h"

class QBPush;
class QLineEdit;

// The small modal dialog asking for the name of a new colour file for deck A's or deck B's areas.
// It shows itself when built; its owner deletes it after it finished.
class SaveColorPhrasing : public QDialog {
    Q_OBJECT

public:
    explicit SaveColorPhrasing(ModelGraph::EnumGraph deck, QWidget* parent = nullptr);

    ModelGraph::EnumGraph deck() const { return m_deck; }
    QLineEdit* lineEdit() const { return m_name; }
    QBPush* saveButton() const { return m_save; }
    QBPush* closeButton() const { return m_close; }

public slots:
    // With a name typed: emits s_filename with it as typed and closes the dialog as accepted.
    void save();

signals:
    void s_filename(const QString& name);

private:
    QBPush* m_close;
    QLineEdit* m_name;
    QBPush* m_save;
    ModelGraph::EnumGraph m_deck;
};
