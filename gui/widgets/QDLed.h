#pragma once

#include <QPushButton>
#include <QString>

// The metronome lamp: dark (disabled) at rest, lit for 100 ms by each trigger. It is never pressed.
class QDLed : public QPushButton {
    Q_OBJECT

public:
    explicit QDLed(const QString& picture, QWidget* parent = nullptr);

public slots:
    // Lights the lamp; each trigger starts its own 100 ms timer, so the first pending one ends the light.
    void trigger();
    void disabled() { setEnabled(false); }

private:
    QString m_picture;
};
