#pragma once

#include <QPushButton>
#include <QString>

// The icon-only entry at the top of the side menu (it opens the application menu). A press with any
// button emits s_push.
class QBPushMenuNoLabel : public QPushButton {
    Q_OBJECT

public:
    explicit QBPushMenuNoLabel(const QString& picture, QWidget* parent = nullptr);

signals:
    void s_push();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_picture;
};
