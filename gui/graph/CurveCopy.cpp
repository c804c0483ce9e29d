#include "CurveCopy.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/QListDataCurve.h"

CurveCopy::CurveCopy(const QListDataCurve* list) : m_list(list) {}

bool CurveCopy::follow() {
    quint64 generation = 0;
    const QListDataCurve::BackFill backFill = m_list->backFill(generation);
    if (generation == m_generation)
        return true;
    const bool moves = generation == m_generation + 1 && backFill.generation == generation;
    m_generation = generation;
    ++m_copies;
    if (m_size == 0)
        return true;
    if (!moves) {
        m_size = 0;
        m_summary.clear();
        return false;
    }
    const int moved = std::min(m_size, backFill.count);
    for (int i = 0; i < moved; ++i)
        backFill.move(m_chunks[size_t(i) >> CHUNK_BITS][i & CHUNK_MASK]);
    m_summary.refresh(*this, moved);
    return true;
}

void CurveCopy::sync() {
    if (m_list->generation() != m_generation)
        follow();
    const int n = m_list->size();
    while (m_size < n) {
        const size_t chunk = size_t(m_size) >> CHUNK_BITS;
        if (chunk == m_chunks.size())
            m_chunks.push_back(std::make_unique<QData[]>(CHUNK));
        const int room = CHUNK - (m_size & CHUNK_MASK);
        const int count = std::min({n - m_size, room, MAX_COPY});
        quint64 generation = 0;
        const int copied = m_list->copyRange(m_size, count, &m_chunks[chunk][m_size & CHUNK_MASK], &generation);
        m_pointsRead += copied;
        m_largestRead = std::max(m_largestRead, copied);
        if (copied == 0)
            break;
        // Copies of another generation than the points held: bring those along first (or start over),
        // then copy again unless the copies now belong with them.
        if (generation != m_generation && (!follow() || generation != m_generation))
            continue;
        m_size += copied;
    }
    m_summary.extend(*this);
}

int CurveCopy::bound(qint64 s, bool after) const {
    int lo = 0;
    int hi = m_size;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const qint64 v = at(mid).samplerate();
        if (after ? v <= s : v < s)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int CurveCopy::searchPosAfter(qint64 s) const {
    if (s < 1 || m_size == 0)
        return 0;
    return std::min(bound(s, false), m_size - 1);
}

int CurveCopy::searchPosBefore(qint64 s) const {
    if (s < 1 || m_size == 0)
        return 0;
    return std::max(bound(s, true) - 1, 0);
}

void CurveCopy::calculPosStartEnd(qint64 first, qint64 last, double& minY, double& maxY, bool& found) {
    found = false;
    if (m_size == 0) {
        m_posStart = m_posEnd = 0;
        return;
    }
    m_posStart = searchPosAfter(first);
    m_posEnd = searchPosBefore(last);
    if (m_extent.copies != m_copies || m_extent.start != m_posStart || m_extent.end != m_posEnd) {
        m_extent = {m_copies, m_posStart, m_posEnd, 0.0, 0.0, false};
        m_extent.found = m_summary.extent(*this, m_posStart, m_posEnd, m_extent.min, m_extent.max);
    }
    found = m_extent.found;
    if (found) {
        minY = m_extent.min;
        maxY = m_extent.max;
    }
}

bool CurveCopy::moves(int n, double threshold) const {
    for (int i = std::max(m_size - n, 0); i < m_size; ++i) {
        if (std::fabs(at(i).acceleration()) > threshold)
            return true;
    }
    return false;
}
