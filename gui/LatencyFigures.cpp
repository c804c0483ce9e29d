#include "LatencyFigures.h"

#include "core/Performance.h"

namespace {

double bufferTime(double frames, const QSample* sample) {
    return sample && sample->samplerate() > 0.0 ? frames / sample->samplerate() * 1000.0 : 0.0;
}

double pointTime(double pointsPerSecond) {
    return pointsPerSecond > 0.0 ? 1.0 / pointsPerSecond * 1000.0 : 0.0;
}

} // namespace

LatencyFigures LatencyFigures::of(const Performance& performance) {
    using G = ModelGraph::EnumGraph;
    LatencyFigures figures;
    figures.inputA =
        bufferTime(performance.inputBuffer(G::INPUT_A), performance.inputSample(G::INPUT_A).get());
    figures.inputB =
        bufferTime(performance.inputBuffer(G::INPUT_B), performance.inputSample(G::INPUT_B).get());
    figures.processingA = pointTime(performance.processingBuffer(G::INPUT_A));
    figures.processingB = pointTime(performance.processingBuffer(G::INPUT_B));
    figures.output = bufferTime(performance.outputBuffer(), performance.outputSample().get());
    return figures;
}

QString LatencyFigures::text(double milliseconds) {
    return QStringLiteral("%1 ms").arg(milliseconds, 0, 'f', 2);
}
