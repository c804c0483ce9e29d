#pragma once

#include <QComboBox>

// The settings panel's plain combo box: its owner fills it. Opening the list first emits s_ShowPopup,
// so the owner can refill the entries (devices plugged in since) before they are shown.
class QCustomComboBox : public QComboBox {
    Q_OBJECT

public:
    QCustomComboBox();

public slots:
    void showPopup() override;
    void hidePopup() override;
    void enabled() { setEnabled(true); }
    void disabled() { setEnabled(false); }

signals:
    void s_ShowPopup();
    void s_HidePopup();

protected:
    // The wheel scrolls the page behind, never the choice.
    void wheelEvent(QWheelEvent* event) override;
};
