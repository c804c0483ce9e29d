#pragma once

#include <QString>
#include <QWidget>

// A caption painted vertically, reading from bottom to top (style-sheet name "menu"): the caption of
// a side-menu entry, visible while the entry is stretched by the hovering pointer.
class QWRotationLabel : public QWidget {
    Q_OBJECT

public:
    explicit QWRotationLabel(const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    // One line of text turned upright, with the 6 pixels below its baseline: a layout that centres
    // the caption does not squeeze it to nothing.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
};
