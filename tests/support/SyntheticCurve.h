#pragma once

#include <QtGlobal>

#include "core/QData.h"

class QCurve;

// A made-up scratch for drawing tests and benchmarks: strokes back and forth over most of a turn,
// a slow drift of the record, and the crossfader cutting the sound in a steady rhythm.
namespace SyntheticCurve {

// Point i of a curve with one point every `step` frames; `phase` tells two decks apart.
QData point(qint64 i, double step, double phase = 0.0);
// Appends points first .. first + count − 1.
void fill(QCurve& curve, qint64 first, qint64 count, double step, double phase = 0.0);

} // namespace SyntheticCurve
