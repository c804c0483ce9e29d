#pragma once

#include <QColor>
#include <QWidget>

// A colour swatch of one phrasing area: 50 x 25 pixels filled with the area's colour.
class QWPainterRec : public QWidget {
    Q_OBJECT

public:
    explicit QWPainterRec(const QColor& color, QWidget* parent = nullptr);

    const QColor& color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};
