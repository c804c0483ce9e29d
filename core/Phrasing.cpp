#include "Phrasing.h"

#include "Constant.h"

Phrasing::Phrasing(QObject* parent) : QObject(parent) {
    initIdPhrasingActivated();
}

const QList<QPhrasing*>* Phrasing::listPhrasing(ModelGraph::EnumGraph graph) const {
    return m_listPhrasing[index(graph)];
}

void Phrasing::setListPhrasing(ModelGraph::EnumGraph graph, const QList<QPhrasing*>* list) {
    m_listPhrasing[index(graph)] = list;
}

QUuid Phrasing::idPhrasingActivated(ModelGraph::EnumGraph graph) const {
    return m_idPhrasingActivated[index(graph)];
}

void Phrasing::setIdPhrasingActivated(ModelGraph::EnumGraph graph, const QUuid& id) {
    m_idPhrasingActivated[index(graph)] = id;
}

void Phrasing::initIdPhrasingActivated() {
    m_idPhrasingActivated[0] = m_idPhrasingActivated[1] = Constant::Default::UUID;
}
