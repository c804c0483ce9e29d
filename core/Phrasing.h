#pragma once

#include <QList>
#include <QObject>
#include <QUuid>

#include "Model.h"

class QPhrasing;

// Per input (INPUT_B selects B, every other graph A): the active colour file's areas and its id.
// The area list belongs to the colour-file panel, which sets it; the ids read as the default
// colour file's until set. GUI thread only.
class Phrasing : public QObject {
    Q_OBJECT

public:
    explicit Phrasing(QObject* parent = nullptr);

    // Null until set.
    const QList<QPhrasing*>* listPhrasing(ModelGraph::EnumGraph graph) const;
    void setListPhrasing(ModelGraph::EnumGraph graph, const QList<QPhrasing*>* list);
    QUuid idPhrasingActivated(ModelGraph::EnumGraph graph) const;
    void setIdPhrasingActivated(ModelGraph::EnumGraph graph, const QUuid& id);

public slots:
    // Both ids back to the default colour file's.
    void initIdPhrasingActivated();

private:
    static int index(ModelGraph::EnumGraph graph) { return graph == ModelGraph::INPUT_B ? 1 : 0; }

    const QList<QPhrasing*>* m_listPhrasing[2] = {nullptr, nullptr};
    QUuid m_idPhrasingActivated[2];
};
