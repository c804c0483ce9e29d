#pragma once

#include <QObject>

#include "Model.h"

class QListDataCurve;

// The main curve point list of input A and of input B, owned by the graph painters, so that the
// player can follow the live curves. Registered while the painters are built, before any stream
// opens, and never changed afterwards; the stream start orders those writes before the player's reads.
class InstCurve : public QObject {
    Q_OBJECT

public:
    explicit InstCurve(QObject* parent = nullptr);

    // The first registration fills both inputs, so one painter alone serves both.
    void setCurveMain(ModelGraph::EnumGraph graph, QListDataCurve* list);
    // Null before any registration.
    QListDataCurve* curveMain(ModelGraph::EnumGraph graph) const;

private:
    static int index(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }

    QListDataCurve* m_curveMain[2] = {nullptr, nullptr};
};
