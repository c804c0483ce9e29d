#pragma once

#include <QObject>

#include <atomic>

#include "Model.h"

class QSample;

// The time counters of inputs A and B; any other graph reads 0 and writes nothing.
// The frame counter is advanced by the input's audio thread and read by the GUI thread; the start
// of the time base may be reset on either. Every value is a relaxed atomic, independent of the others.
class Time : public QObject {
    Q_OBJECT

public:
    explicit Time(QObject* parent = nullptr);

    // Marks now as the start of the input's run.
    void resetStartTime(ModelGraph::EnumGraph graph);
    // The wall-clock time of the last reset, in milliseconds since local midnight; 0 before any.
    double startTime(ModelGraph::EnumGraph graph) const;
    // The frames of `sample`'s stream since the last reset. Measured on a monotonic clock, so a run
    // across midnight or a change of the system clock does not jump.
    double currentTimeToSamplerate(ModelGraph::EnumGraph graph, const QSample* sample) const;

    // The sample position the graph shows as the current moment.
    double currentSamplerate(ModelGraph::EnumGraph graph) const;
    void setCurrentSamplerate(ModelGraph::EnumGraph graph, double value);
    void resetCurrentSamplerate(ModelGraph::EnumGraph graph);

    // The receiver's frame counter. Only the input's audio thread advances it.
    double currentSamplerate_m_s(ModelGraph::EnumGraph graph) const;
    void incrementCurrentSamplerate_m_s(ModelGraph::EnumGraph graph);
    void resetCurrentSamplerate_m_s(ModelGraph::EnumGraph graph);

    // Whether a running input stream advances the frame counter: then the input's callback restarts
    // the time base at its first frame of a run, else nothing would. Set by the input's recorder.
    bool streamRunning(ModelGraph::EnumGraph graph) const;
    void setStreamRunning(ModelGraph::EnumGraph graph, bool running);

private:
    // -1 for a graph other than INPUT_A and INPUT_B.
    static int index(ModelGraph::EnumGraph graph);

    // Nanoseconds since the epoch of the system clock; 0 before any reset.
    std::atomic<qint64> m_startWall[2] = {0, 0};
    // Nanoseconds of the monotonic clock.
    std::atomic<qint64> m_startSteady[2] = {0, 0};
    std::atomic<double> m_currentSamplerate[2] = {0.0, 0.0};
    std::atomic<double> m_currentSamplerate_m_s[2] = {0.0, 0.0};
    std::atomic<bool> m_streamRunning[2] = {false, false};
};
