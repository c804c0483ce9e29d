#pragma once

#include <QPushButton>

// The "Learn" button of the settings panel (style-sheet name "midi"): while checked, the MIDI worker
// learns the crossfader control. Every change of the checked state is announced by s_Toogle_on or
// s_Toogle_off; a left press flips the state and is swallowed.
class QBMidiLearn : public QPushButton {
    Q_OBJECT

public:
    explicit QBMidiLearn(QWidget* parent = nullptr);

    bool isControlEnabled() const { return isEnabled(); }

public slots:
    void enabled() { setEnabled(true); }
    void disabled() { setEnabled(false); }
    void setControlEnabled(bool on) { setEnabled(on); }
    void toggle_on() { setChecked(true); }
    void toggle_off() { setChecked(false); }

signals:
    void s_Toogle_on();
    void s_Toogle_off();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
