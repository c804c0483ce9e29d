#pragma once

#include <QList>
#include <QWidget>

#include "core/Model.h"

class QBPushMenu;
class QBPushMenuNoLabel;

// The narrow strip at the left edge of the main view: the option entry that opens the application
// menu, and one entry per page (Recording, Looper, Color, Setting). Pressing an entry opens its page,
// pressing it again closes it. The controller window connects the entries (listPushMenu) to
// controllerSubMode and controllerMenuNoFocus. GUI thread only.
class QWMenuMode : public QWidget {
    Q_OBJECT

public:
    explicit QWMenuMode(QWidget* parent = nullptr);

    QBPushMenuNoLabel* optionEntry() const { return m_option; }
    // Recording, Looper, Color, Setting.
    QList<QBPushMenu*> listPushMenu() const { return m_listPushMenu; }
    // The page open now; Undefined when none is.
    ModelActivatedMode::EnumActivatedMode currentMode() const { return m_currentMode; }

public slots:
    void controllerSubMode(ModelActivatedMode::EnumActivatedMode mode);
    void disableSubMenu();
    void enableSubMenu();
    // Shrinks the entries a moment after the pointer left one, unless it entered another meanwhile.
    void controllerMenuNoFocus();
    void noFocus();

signals:
    void s_ModeRecording_Enable();
    void s_ModeLooper_Enable();
    void s_ModeTraining_Enable();
    void s_ModeColor_Enable();
    void s_ModeDevice_Enable();
    void s_Mode_Enable();
    void s_Mode_Disable();

private:
    QBPushMenuNoLabel* m_option;
    QBPushMenu* m_recording;
    QBPushMenu* m_looper;
    QBPushMenu* m_color;
    QBPushMenu* m_setting;
    ModelActivatedMode::EnumActivatedMode m_currentMode = ModelActivatedMode::Undefined;
    QList<QBPushMenu*> m_listPushMenu;
};
