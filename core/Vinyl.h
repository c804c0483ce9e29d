#pragma once

#include <QObject>

#include <atomic>

#include "Model.h"

// Per input (INPUT_B selects B, every other graph A): the record angle of the last curve point
// (degrees, unbounded) and the calibration offset subtracted from it. Written by the input's audio
// thread (and the calibration on the GUI thread), read by the GUI thread: relaxed atomics.
class Vinyl : public QObject {
    Q_OBJECT

public:
    explicit Vinyl(QObject* parent = nullptr);

    double vinylPosition(ModelGraph::EnumGraph graph) const;
    void setVinylPosition(ModelGraph::EnumGraph graph, double degrees);
    double vinylDeltaPosition(ModelGraph::EnumGraph graph) const;
    void setCalculVinylDeltaPosition(ModelGraph::EnumGraph graph, double degrees);

private:
    static int index(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }

    std::atomic<double> m_vinylPosition[2] = {0.0, 0.0};
    std::atomic<double> m_vinylDeltaPosition[2] = {0.0, 0.0};
};
