#include "Performance.h"

#include <cmath>

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
}

Performance::Performance(QObject* parent)
    : QObject(parent), m_inputSample{QSample::byDefault(ModelGraph::INPUT_A),
                                     QSample::byDefault(ModelGraph::INPUT_B)},
      m_outputSample(QSample::byDefault(ModelGraph::PLAYBACK)) {}

std::shared_ptr<const QSample> Performance::inputSample(ModelGraph::EnumGraph graph) const {
    return m_inputSample[index(graph)];
}

void Performance::setInputSample(ModelGraph::EnumGraph graph, std::shared_ptr<const QSample> sample,
                                 bool emitSignal) {
    const int input = index(graph);
    m_inputSample[input] = std::move(sample);
    deriveStep(input);
    if (emitSignal)
        emit s_InputSample(graph);
}

double Performance::inputBuffer(ModelGraph::EnumGraph graph) const {
    return m_inputBuffer[index(graph)].load(relaxed);
}

void Performance::setInputBuffer(ModelGraph::EnumGraph graph, double frames) {
    m_inputBuffer[index(graph)].store(frames, relaxed);
}

double Performance::processingBuffer(ModelGraph::EnumGraph graph) const {
    return m_processingBuffer[index(graph)].load(relaxed);
}

void Performance::setProcessingBuffer(ModelGraph::EnumGraph graph, double pointsPerSecond) {
    const int input = index(graph);
    m_processingBuffer[input].store(pointsPerSecond, relaxed);
    deriveStep(input);
}

double Performance::processingSampleStep(ModelGraph::EnumGraph graph) const {
    return m_processingSampleStep[index(graph)].load(relaxed);
}

void Performance::deriveStep(int input) {
    const double points = m_processingBuffer[input].load(relaxed);
    const double rate = m_inputSample[input] ? m_inputSample[input]->samplerate() : 0.0;
    // A step of 0, infinity or NaN would stop the curve or flood it: keep the last one.
    if (rate > 0.0 && points > 0.0 && std::isfinite(rate / points))
        m_processingSampleStep[input].store(rate / points, relaxed);
}

std::shared_ptr<const QSample> Performance::outputSample() const {
    return m_outputSample;
}

void Performance::setOutputSample(std::shared_ptr<const QSample> sample) {
    m_outputSample = std::move(sample);
    emit s_OutputSample();
}

double Performance::outputBuffer() const {
    return m_outputBuffer.load(relaxed);
}

void Performance::setOutputBuffer(double frames) {
    m_outputBuffer.store(frames, relaxed);
}

double Performance::displayFrequency() const {
    return m_displayFrequency.load(relaxed);
}

void Performance::setDisplayFrequency(double hz) {
    if (!(hz > 0.0))
        return;
    m_displayFrequency.store(1.0 / hz * 1000.0, relaxed);
    emit signalDisplayFrequency();
}
