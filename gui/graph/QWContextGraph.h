#pragma once

#include <QMenu>

class QAction;

// The graph's right-click menu. It only turns application modes on and off through its signals.
class QWContextGraph : public QMenu {
    Q_OBJECT

public:
    explicit QWContextGraph(QWidget* parent = nullptr);

public slots:
    void autoresizeToggle(bool checked);
    void selectionArea();
    // Set or clear the Auto-resize mark and say so.
    void autoresize_on();
    void autoresize_off();

signals:
    void s_Autoresize_on();
    void s_Autoresize_off();
    void s_SelectArea();

private:
    QAction* m_autoresize;
};
