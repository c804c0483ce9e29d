#pragma once

#include <QPushButton>
#include <QString>

// A round on/off button (style-sheet name "togglecircular"); behaves like QBToggle.
class QBToggleCircular : public QPushButton {
    Q_OBJECT

public:
    explicit QBToggleCircular(const QString& picture, QWidget* parent = nullptr);

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

private:
    QString m_picture;
};
