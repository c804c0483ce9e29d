#pragma once

#include <QtGlobal>

#include <vector>

class CurveCopy;
class QData;

// What folding a curve into pixel columns needs to know of a run of its points, kept for the aligned
// blocks of 2^k points (k from BASE up): a column of a zoomed-out window then reads a few blocks instead
// of every point, and the y extent of a long window costs O(log n), however long the run is.
//
// GUI thread only. Owned by the CurveCopy whose points it summarises, extended as the copy grows; only
// complete blocks are kept, the points after the last one are read one by one.
class CurveSummary {
public:
    static constexpr int BASE = 2;

    struct Block {
        qint32 minSample;
        qint32 maxSample;
        // Over the points whose y is not NaN; minY > maxY when there is none.
        double minY;
        double maxY;
        bool nanY;
        // Over the points whose |y| is within CurveCopy::Y_LIMIT, the first of equal values, as a scan
        // in order finds them; lowY > highY when there is none.
        double lowY;
        double highY;
        // targetVinylDeltaPosition over the points where it is not NaN; minAngle > maxAngle when none.
        double minAngle;
        double maxAngle;
        bool nanAngle;
        bool anyDrawon;
        bool allDrawon;
    };

    void clear();
    // Summarises the blocks the copy completed since the last call.
    void extend(const CurveCopy& copy);
    // Summarises again the blocks holding any of the points [0, end), whose values changed.
    void refresh(const CurveCopy& copy, int end);

    // The levels BASE .. topLevel() hold at least one block.
    int topLevel() const { return BASE + int(m_levels.size()) - 1; }
    // The blocks of level k (2^k points each) that exist.
    int count(int k) const { return k - BASE < int(m_levels.size()) ? int(m_levels[k - BASE].size()) : 0; }
    const Block& block(int k, int index) const { return m_levels[k - BASE][index]; }

    // The extent of the y of the points [first, end) within ±CurveCopy::Y_LIMIT, as calculPosStartEnd
    // gives it; false when there is none.
    bool extent(const CurveCopy& copy, int first, int end, double& minY, double& maxY) const;

    // The first point of block `index` of level k that `matches`, descending into the first half whose
    // summary `reaches`: the caller knows the block holds such a point. −1 when none does.
    template <class Reaches, class Matches>
    int first(const CurveCopy& copy, int k, int index, Reaches reaches, Matches matches) const;

private:
    static Block ofPoint(const QData& point);
    // The summary of `a` followed by `b`.
    static Block merge(const Block& a, const Block& b);
    Block ofPoints(const CurveCopy& copy, int first) const;
    void summarise(const CurveCopy& copy, int k, int index);
    const QData& pointOf(const CurveCopy& copy, int i) const;

    // m_levels[k - BASE][j] covers the points [j << k, (j + 1) << k).
    std::vector<std::vector<Block>> m_levels;
};

template <class Reaches, class Matches>
int CurveSummary::first(const CurveCopy& copy, int k, int index, Reaches reaches, Matches matches) const {
    while (k > BASE) {
        --k;
        index *= 2;
        if (!reaches(block(k, index)))
            ++index;
    }
    const int start = index << BASE;
    for (int i = start; i < start + (1 << BASE); ++i) {
        if (matches(pointOf(copy, i)))
            return i;
    }
    return -1;
}
