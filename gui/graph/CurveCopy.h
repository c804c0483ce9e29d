#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

#include "CurveSummary.h"
#include "core/QData.h"

class QListDataCurve;

// The graph painter's own copy of one curve's points, with their summary. Each frame takes only the
// points appended since the last one; a back-fill is applied to the points already held, as the list
// applies it for its readers, and only a clear makes it copy everything again. Searches, extents and
// drawing then read the copy without any lock, so the audio thread appending to the list waits at
// most for one short copy.
//
// GUI thread only. Points live in fixed chunks that are never moved: a long run never copies what
// the painter already holds.
class CurveCopy {
public:
    // Curve values beyond this (a crafted curve file) are left out of the Y extent.
    static constexpr double Y_LIMIT = 1e12;

    explicit CurveCopy(const QListDataCurve* list);

    void sync();

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const QData& at(int i) const { return m_chunks[size_t(i) >> CHUNK_BITS][i & CHUNK_MASK]; }
    // Null when empty.
    const QData* last() const { return m_size > 0 ? &at(m_size - 1) : nullptr; }

    // The index of the first point at or after frame s (the last point when none is), and of the last
    // point at or before frame s (0 when none is); 0 for s < 1 or an empty copy.
    int searchPosAfter(qint64 s) const;
    int searchPosBefore(qint64 s) const;
    // The point searchPosBefore finds; null when empty.
    const QData* before(qint64 s) const { return m_size > 0 ? &at(searchPosBefore(s)) : nullptr; }

    // Sets the visible range [posStart, posEnd) for frames [first, last] and gives the y extent of its
    // points whose value is finite and within ±Y_LIMIT; found is false when there is none.
    void calculPosStartEnd(qint64 first, qint64 last, double& minY, double& maxY, bool& found);
    int posStart() const { return m_posStart; }
    int posEnd() const { return m_posEnd; }

    // Changes whenever points the copy held change: together with size(), what the copy holds.
    quint64 copies() const { return m_copies; }

    // True when one of the last n points has |acceleration| above the threshold.
    bool moves(int n, double threshold) const;

    const CurveSummary& summary() const { return m_summary; }

    // Points read from the list so far, and the most read under one lock of it.
    qint64 pointsRead() const { return m_pointsRead; }
    int largestRead() const { return m_largestRead; }

private:
    static constexpr int CHUNK_BITS = 14;
    static constexpr int CHUNK = 1 << CHUNK_BITS;
    static constexpr int CHUNK_MASK = CHUNK - 1;
    // Points copied under one lock of the list at most, so a full copy of a long curve never holds
    // the appending audio thread for long.
    static constexpr int MAX_COPY = 8192;

    // Brings the points held up to the list's generation: moves them by the back-fill that started
    // since, or forgets them. False when they are forgotten.
    bool follow();
    // The first index whose samplerate is not below s (strictly above with `after`), size when none.
    int bound(qint64 s, bool after) const;

    const QListDataCurve* m_list;
    std::vector<std::unique_ptr<QData[]>> m_chunks;
    int m_size = 0;
    quint64 m_generation = ~quint64(0);
    // Bumped whenever points held change (a copy from scratch, a back-fill); the cached extent
    // belongs to one copy and one range.
    quint64 m_copies = 0;
    CurveSummary m_summary;
    qint64 m_pointsRead = 0;
    int m_largestRead = 0;

    int m_posStart = 0;
    int m_posEnd = 0;
    struct Extent {
        quint64 copies = ~quint64(0);
        int start = -1;
        int end = -1;
        double min = 0.0;
        double max = 0.0;
        bool found = false;
    } m_extent;
};
