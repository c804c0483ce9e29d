#include "CurveSummary.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "CurveCopy.h"

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

// Of equal values, the first: the choice std::min and std::max make scanning in order.
double lower(double first, double second) {
    return second < first ? second : first;
}

double higher(double first, double second) {
    return first < second ? second : first;
}

} // namespace

void CurveSummary::clear() {
    m_levels.clear();
}

const QData& CurveSummary::pointOf(const CurveCopy& copy, int i) const {
    return copy.at(i);
}

CurveSummary::Block CurveSummary::ofPoint(const QData& point) {
    const double y = point.y();
    const double angle = point.targetVinylDeltaPosition();
    const bool yKnown = !std::isnan(y);
    const bool limited = std::fabs(y) <= CurveCopy::Y_LIMIT;
    const bool angleKnown = !std::isnan(angle);
    return {point.samplerate(),
            point.samplerate(),
            yKnown ? y : INF,
            yKnown ? y : -INF,
            !yKnown,
            limited ? y : INF,
            limited ? y : -INF,
            angleKnown ? angle : INF,
            angleKnown ? angle : -INF,
            !angleKnown,
            point.drawon(),
            point.drawon()};
}

CurveSummary::Block CurveSummary::merge(const Block& a, const Block& b) {
    return {std::min(a.minSample, b.minSample),
            std::max(a.maxSample, b.maxSample),
            std::min(a.minY, b.minY),
            std::max(a.maxY, b.maxY),
            a.nanY || b.nanY,
            lower(a.lowY, b.lowY),
            higher(a.highY, b.highY),
            std::min(a.minAngle, b.minAngle),
            std::max(a.maxAngle, b.maxAngle),
            a.nanAngle || b.nanAngle,
            a.anyDrawon || b.anyDrawon,
            a.allDrawon && b.allDrawon};
}

CurveSummary::Block CurveSummary::ofPoints(const CurveCopy& copy, int first) const {
    Block b = ofPoint(copy.at(first));
    for (int i = first + 1; i < first + (1 << BASE); ++i)
        b = merge(b, ofPoint(copy.at(i)));
    return b;
}

// Block `index` of level k from the points or the two blocks below it, which exist.
void CurveSummary::summarise(const CurveCopy& copy, int k, int index) {
    const Block b = k == BASE ? ofPoints(copy, index << BASE)
                              : merge(block(k - 1, 2 * index), block(k - 1, 2 * index + 1));
    std::vector<Block>& level = m_levels[k - BASE];
    if (index < int(level.size()))
        level[index] = b;
    else
        level.push_back(b);
}

void CurveSummary::extend(const CurveCopy& copy) {
    for (int k = BASE;; ++k) {
        const int blocks = k == BASE ? copy.size() >> BASE : count(k - 1) / 2;
        if (blocks == 0)
            return;
        if (k - BASE == int(m_levels.size()))
            m_levels.emplace_back();
        for (int index = count(k); index < blocks; ++index)
            summarise(copy, k, index);
    }
}

void CurveSummary::refresh(const CurveCopy& copy, int end) {
    for (int k = BASE; k <= topLevel(); ++k) {
        const int blocks = std::min(count(k), int((qint64(end) + (qint64(1) << k) - 1) >> k));
        for (int index = 0; index < blocks; ++index)
            summarise(copy, k, index);
    }
}

bool CurveSummary::extent(const CurveCopy& copy, int first, int end, double& minY, double& maxY) const {
    double lo = INF, hi = -INF;
    for (int i = std::max(first, 0); i < end;) {
        // The largest block that starts at i and ends by `end`, else the point i alone.
        int k = BASE - 1;
        while (k < topLevel() && (i & ((1 << (k + 1)) - 1)) == 0 && qint64(i) + (qint64(1) << (k + 1)) <= end &&
               (i >> (k + 1)) < count(k + 1))
            ++k;
        const Block b = k < BASE ? ofPoint(copy.at(i)) : block(k, i >> k);
        lo = lower(lo, b.lowY);
        hi = higher(hi, b.highY);
        i += k < BASE ? 1 : 1 << k;
    }
    if (lo > hi)
        return false;
    minY = lo;
    maxY = hi;
    return true;
}
