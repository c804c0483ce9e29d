#pragma once

#include <QObject>

#include <atomic>
#include <memory>

#include "Model.h"
#include "QSample.h"

// The live audio buffer settings of a run. Per input (INPUT_B selects B, every other graph A): the
// stream descriptor, the input buffer (frames per PortAudio buffer), the processing buffer (curve
// points per second) and the step derived from them (frames per curve point); for the output the
// descriptor and buffer; the display period of the graphs.
//
// Setters and the descriptors belong to the GUI thread. The numbers are relaxed atomics because
// the timecode receiver reads the step on its audio thread for every frame, and the processing
// buffer may change during a run.
class Performance : public QObject {
    Q_OBJECT

public:
    explicit Performance(QObject* parent = nullptr);

    std::shared_ptr<const QSample> inputSample(ModelGraph::EnumGraph graph) const;
    // Derives the input's step again from the new rate; emits s_InputSample when asked.
    void setInputSample(ModelGraph::EnumGraph graph, std::shared_ptr<const QSample> sample, bool emitSignal);
    double inputBuffer(ModelGraph::EnumGraph graph) const;
    void setInputBuffer(ModelGraph::EnumGraph graph, double frames);
    double processingBuffer(ModelGraph::EnumGraph graph) const;
    // Derives the input's step again from the new number of points per second.
    void setProcessingBuffer(ModelGraph::EnumGraph graph, double pointsPerSecond);
    // Frames per curve point: the descriptor's rate / the processing buffer. Any thread.
    double processingSampleStep(ModelGraph::EnumGraph graph) const;

    std::shared_ptr<const QSample> outputSample() const;
    void setOutputSample(std::shared_ptr<const QSample> sample);
    double outputBuffer() const;
    void setOutputBuffer(double frames);

    // The display period in milliseconds.
    double displayFrequency() const;
    // A rate not above 0 is ignored.
    void setDisplayFrequency(double hz);

signals:
    void signalDisplayFrequency();
    void s_InputSample(ModelGraph::EnumGraph graph);
    void s_OutputSample();

private:
    static int index(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }
    // Keeps the last step unless both the rate and the processing buffer are above 0.
    void deriveStep(int input);

    std::atomic<double> m_inputBuffer[2] = {0.0, 0.0};
    std::atomic<double> m_processingBuffer[2] = {0.0, 0.0};
    std::atomic<double> m_outputBuffer{0.0};
    std::atomic<double> m_displayFrequency{0.0};
    std::atomic<double> m_processingSampleStep[2] = {0.0, 0.0};
    std::shared_ptr<const QSample> m_inputSample[2];
    std::shared_ptr<const QSample> m_outputSample;
};
