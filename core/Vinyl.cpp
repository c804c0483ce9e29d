#include "Vinyl.h"

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
}

Vinyl::Vinyl(QObject* parent) : QObject(parent) {}

double Vinyl::vinylPosition(ModelGraph::EnumGraph graph) const {
    return m_vinylPosition[index(graph)].load(relaxed);
}

void Vinyl::setVinylPosition(ModelGraph::EnumGraph graph, double degrees) {
    m_vinylPosition[index(graph)].store(degrees, relaxed);
}

double Vinyl::vinylDeltaPosition(ModelGraph::EnumGraph graph) const {
    return m_vinylDeltaPosition[index(graph)].load(relaxed);
}

void Vinyl::setCalculVinylDeltaPosition(ModelGraph::EnumGraph graph, double degrees) {
    m_vinylDeltaPosition[index(graph)].store(degrees, relaxed);
}
