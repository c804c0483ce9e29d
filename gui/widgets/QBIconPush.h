#pragma once

#include <QString>
#include <QWidget>

class QLabel;

// The clickable author picture of the settings panel: the data folder's Input/author.png, or the
// default picture while there is none, fitted into 200x100. A press with any button emits s_push.
class QBIconPush : public QWidget {
    Q_OBJECT

public:
    explicit QBIconPush(const QString& defaultPicture, QWidget* parent = nullptr);

public slots:
    // Shows Input/author.png again (after the user chose a new one).
    void loadAuthorImage();
    // Shows the picture at `path`; the default picture when there is no file there or it is no picture.
    void loadAuthorImageWithPath(const QString& path);

signals:
    void s_push();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_defaultPicture;
    QLabel* m_label;
};
