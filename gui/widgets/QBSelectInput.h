#pragma once

#include <QPushButton>

#include "core/Model.h"

// The tool bar's input selector. Each left press on the enabled button steps through the inputs
// A, A and B, B, A and B, back to A, hands the new selection to Mode and announces it.
class QBSelectInput : public QPushButton {
    Q_OBJECT

public:
    explicit QBSelectInput(QWidget* parent = nullptr);

    ModelInput::EnumInput currentInputText() const { return m_inputText; }
    bool isControlEnabled() const { return isEnabled(); }

public slots:
    void toggleState();
    // Announces the current selection again (the wiring depends on recorder mode and the timecode).
    void refreshState();
    void setControlEnabled(bool on);
    void enabled() { setControlEnabled(true); }
    void disabled() { setControlEnabled(false); }

signals:
    void s_toogle_value(ModelInput::EnumInput input);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateIcon();

    qint32 m_state = 0;
    ModelInput::EnumInput m_inputText = ModelInput::TEXT_A;
};
