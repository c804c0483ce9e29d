#pragma once

#include <QPushButton>
#include <QString>

// An on/off button (style-sheet name "toggle"). Every change of its checked state, whatever caused
// it, is announced by s_Toogle_on or s_Toogle_off. A left press flips the state and is swallowed.
// The picture stays the same; the style sheet shows the state.
class QBToggle : public QPushButton {
    Q_OBJECT

public:
    explicit QBToggle(const QString& picture, QWidget* parent = nullptr);

    bool isControlEnabled() const { return isEnabled(); }

public slots:
    void enabled() { setEnabled(true); }
    void disabled() { setEnabled(false); }
    void setControlEnabled(bool on) { setEnabled(on); }
    // Only an enabled toggle is switched off: a control locked for a run keeps its state.
    void toggleOffIfEnabled();
    // Checking an unchecked toggle, or the reverse; nothing when the state is already right.
    void toggle_on() { setChecked(true); }
    void toggle_off() { setChecked(false); }

signals:
    void s_Toogle_on();
    void s_Toogle_off();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_picture;
};
