#pragma once

#include <QPushButton>
#include <QString>

// A tool-bar or panel button showing one picture. A left press on the enabled button emits s_push and
// is swallowed, so the button never shows Qt's pressed state; other buttons get the normal handling.
class QBPush : public QPushButton {
    Q_OBJECT

public:
    explicit QBPush(const QString& picture, QWidget* parent = nullptr);

    bool isControlEnabled() const { return isEnabled(); }

public slots:
    // The press without a mouse, for keyboard shortcuts; nothing while disabled.
    void mouseClick();
    void setControlEnabled(bool on) { setEnabled(on); }
    void enabled() { setEnabled(true); }
    void disabled() { setEnabled(false); }

signals:
    void s_push();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateIcon();

    QString m_picture;
};
