#pragma once

#include <QPushButton>
#include <QString>

// A two-picture button on a dark background (style-sheet name "dark"): it shows the "on" picture while its
// own checked flag is set, else the "off" picture. The flag is not Qt's checkable state and never changes on
// a press: the owner sets it. A press with any button emits s_push and is swallowed.
class QB2PushDark : public QPushButton {
    Q_OBJECT

public:
    QB2PushDark(const QString& pictureOff, const QString& pictureOn, QWidget* parent = nullptr);

    bool isChecked() const { return m_checked; }
    bool isControlEnabled() const { return isEnabled(); }

public slots:
    void setChecked(bool checked);
    void checked() { setChecked(true); }
    void unchecked() { setChecked(false); }
    // The press without a mouse, for keyboard shortcuts.
    void mouseClick() { emit s_push(); }
    void changePicture(const QString& pictureOff, const QString& pictureOn);
    void setControlEnabled(bool on) { setEnabled(on); }
    void enabled() { setEnabled(true); }
    void disabled() { setEnabled(false); }

signals:
    void s_push();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateIcon();

    QString m_pictureOff;
    QString m_pictureOn;
    bool m_checked = false;
};
