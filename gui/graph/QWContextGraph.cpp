#include "QWContextGraph.h"

#include <QAction>

QWContextGraph::QWContextGraph(QWidget* parent) : QMenu(parent) {
    setObjectName(QStringLiteral("contextgraph"));
    QMenu* zoom = addMenu(tr("Zoom"));
    zoom->setObjectName(QStringLiteral("contextgraph"));
    m_autoresize = zoom->addAction(tr("Auto-resize"));
    m_autoresize->setCheckable(true);
    // Only the user's click: setting the mark from a slot must not emit twice.
    connect(m_autoresize, &QAction::triggered, this, &QWContextGraph::autoresizeToggle);
    QAction* selection = zoom->addAction(tr("Selection area"));
    connect(selection, &QAction::triggered, this, &QWContextGraph::selectionArea);
}

void QWContextGraph::autoresizeToggle(bool checked) {
    if (checked)
        emit s_Autoresize_on();
    else
        emit s_Autoresize_off();
}

void QWContextGraph::selectionArea() {
    emit s_SelectArea();
}

void QWContextGraph::autoresize_on() {
    m_autoresize->setChecked(true);
    emit s_Autoresize_on();
}

void QWContextGraph::autoresize_off() {
    m_autoresize->setChecked(false);
    emit s_Autoresize_off();
}
