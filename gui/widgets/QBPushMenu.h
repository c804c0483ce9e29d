#pragma once

#include <QPushButton>
#include <QString>

#include "core/Model.h"

// One page entry of the side mode menu (style-sheet name "dark"): a picture, and above it the mode's
// name painted vertically. The entry grows from 35x50 to 35x150 when the pointer enters it, so the
// name shows; it shrinks only through clearFocusState, which the menu calls some time after the
// pointer left, so moving between entries does not make the menu jump.
class QBPushMenu : public QPushButton {
    Q_OBJECT

public:
    QBPushMenu(ModelActivatedMode::EnumActivatedMode mode, const QString& picture, QWidget* parent = nullptr);

    ModelActivatedMode::EnumActivatedMode modeLabel() const { return m_mode; }
    QString iconPicture() const { return m_picture; }

public slots:
    // Back to 35x50, unless the pointer is on a menu entry again.
    void clearFocusState();

signals:
    void s_Push(ModelActivatedMode::EnumActivatedMode mode);
    void s_MenuNoFocus();

protected:
    // Enter and leave are watched here; every event then goes to the plain widget handling, so the
    // button never takes Qt's pressed state.
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ModelActivatedMode::EnumActivatedMode m_mode;
    QString m_picture;
};
