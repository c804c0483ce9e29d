#include "WavPhrasing.h"

#include "QWav.h"

WavPhrasing::WavPhrasing(QObject* parent) : QObject(parent) {}

std::shared_ptr<const QWav> WavPhrasing::wav(ModelGraph::EnumGraph graph) const {
    return m_wav[index(graph)];
}

void WavPhrasing::setWavPhrasing(ModelGraph::EnumGraph graph, std::shared_ptr<const QWav> wav) {
    m_wav[index(graph)] = std::move(wav);
}
