#include "InstCurve.h"

InstCurve::InstCurve(QObject* parent) : QObject(parent) {}

void InstCurve::setCurveMain(ModelGraph::EnumGraph graph, QListDataCurve* list) {
    if (!m_curveMain[0] && !m_curveMain[1])
        m_curveMain[0] = m_curveMain[1] = list;
    m_curveMain[index(graph)] = list;
}

QListDataCurve* InstCurve::curveMain(ModelGraph::EnumGraph graph) const {
    return m_curveMain[index(graph)];
}
