#pragma once

#include <QObject>

#include <atomic>

#include "Model.h"

// Per input (INPUT_B selects B, every other graph A): the offset added to the decoded position to
// give a curve point's y, and whether the record's calibration applies to the angles. Written by
// the input's audio thread, read by the GUI thread: relaxed atomics.
class Timecode : public QObject {
    Q_OBJECT

public:
    explicit Timecode(QObject* parent = nullptr);

    double timecodeOffset(ModelGraph::EnumGraph graph) const;
    void setTimecodeOffset(ModelGraph::EnumGraph graph, double offset);
    void resetTimecodeOffset(ModelGraph::EnumGraph graph);
    bool modeTimecode(ModelGraph::EnumGraph graph) const;

public slots:
    void modeTimecode_on(ModelGraph::EnumGraph graph);
    void modeTimecode_off(ModelGraph::EnumGraph graph);

private:
    static int index(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }

    std::atomic<double> m_timecodeOffset[2] = {0.0, 0.0};
    std::atomic<bool> m_modeTimecode[2] = {false, false};
};
