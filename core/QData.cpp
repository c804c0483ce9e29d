#include "QData.h"

#include <cmath>

void QData::setTargetPosition(double degrees) {
    m_targetPosition = degrees;
    double r = std::fmod(degrees, 360.0);
    if (r < 0.0)
        r += 360.0;
    // A tiny negative angle rounds up to 360 when shifted.
    m_targetVinylDeltaPosition = r < 360.0 ? r : 0.0;
}
