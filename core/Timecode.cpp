#include "Timecode.h"

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
}

Timecode::Timecode(QObject* parent) : QObject(parent) {}

double Timecode::timecodeOffset(ModelGraph::EnumGraph graph) const {
    return m_timecodeOffset[index(graph)].load(relaxed);
}

void Timecode::setTimecodeOffset(ModelGraph::EnumGraph graph, double offset) {
    m_timecodeOffset[index(graph)].store(offset, relaxed);
}

void Timecode::resetTimecodeOffset(ModelGraph::EnumGraph graph) {
    setTimecodeOffset(graph, 0.0);
}

bool Timecode::modeTimecode(ModelGraph::EnumGraph graph) const {
    return m_modeTimecode[index(graph)].load(relaxed);
}

void Timecode::modeTimecode_on(ModelGraph::EnumGraph graph) {
    m_modeTimecode[index(graph)].store(true, relaxed);
}

void Timecode::modeTimecode_off(ModelGraph::EnumGraph graph) {
    m_modeTimecode[index(graph)].store(false, relaxed);
}
