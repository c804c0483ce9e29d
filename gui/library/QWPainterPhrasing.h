#pragma once

#include <QPointer>
#include <QWidget>

class ManagePhrasing;

// The platter preview of a colour set: each area as a pie of its colour on the disc (0 degrees up,
// clockwise), the centre spot and the ring, and a sound badge when the set names a scratch sound.
// The set belongs to the colour panel; a set released before the preview leaves the disc empty.
class QWPainterPhrasing : public QWidget {
    Q_OBJECT

public:
    explicit QWPainterPhrasing(const ManagePhrasing* phrasing, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<const ManagePhrasing> m_phrasing;
};
