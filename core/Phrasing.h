#pragma once

#include <QList>
#include <QObject>
#include <QUuid>

#include "Model.h"
#include "QPhrasing.h"

// Per input (INPUT_B selects B, every other graph A): the active colour file's areas and its id.
// Each input holds its own copy of the areas (values in an implicitly shared list), so they stay
// valid after the colour set they came from is released; the ids read as the default colour
// file's until set. GUI thread only.
class Phrasing : public QObject {
    Q_OBJECT

public:
    explicit Phrasing(QObject* parent = nullptr);

    // Empty until set.
    const QList<QPhrasing>& listPhrasing(ModelGraph::EnumGraph graph) const;
    void setListPhrasing(ModelGraph::EnumGraph graph, const QList<QPhrasing>& list);
    QUuid idPhrasingActivated(ModelGraph::EnumGraph graph) const;
    void setIdPhrasingActivated(ModelGraph::EnumGraph graph, const QUuid& id);

public slots:
    // Both ids back to the default colour file's.
    void initIdPhrasingActivated();

private:
    static int index(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }

    QList<QPhrasing> m_listPhrasing[2];
    QUuid m_idPhrasingActivated[2];
};
