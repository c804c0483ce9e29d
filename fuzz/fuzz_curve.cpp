// The curve-wave reader (recorded scratch curves inside packages), and the searches a painter runs
// over the points it read.
#include "FuzzSandbox.h"
#include "core/QCurve.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QCurve curve(ModelGraph::INPUT_A);
    curve.importCurveFromQLWFile(FuzzSandbox::writeInput(data, size), true);
    const int points = curve.curveGlobal()->size();
    FuzzSandbox::require(points <= qMax<qsizetype>(0, qsizetype(size) - QCurve::HEADER_SIZE) / QCurve::RECORD_SIZE,
                         "every point comes from a complete record");
    if (points == 0)
        return 0;
    const qint32 first = curve.curveGlobal()->value(0)->samplerate();
    const qint32 last = curve.curveGlobal()->value(points - 1)->samplerate();
    double minY = 0.0;
    double maxY = 0.0;
    bool found = false;
    curve.calculPosStartEnd(qMin(first, last), qMax(first, last), minY, maxY, found);
    FuzzSandbox::require(curve.posStart() >= 0 && curve.posStart() < points, "the first visible point exists");
    FuzzSandbox::require(curve.posEnd() >= 0 && curve.posEnd() < points, "the last visible point exists");
    curve.qDataBeforeFromSamplerate(last);
    return 0;
}
