#include "CurveCopy.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/QListDataCurve.h"

CurveCopy::CurveCopy(const QListDataCurve* list) : m_list(list) {}

void CurveCopy::sync() {
    const quint64 generation = m_list->generation();
    if (generation != m_generation) {
        m_generation = generation;
        m_size = 0;
        ++m_copies;
    }
    const int n = m_list->size();
    while (m_size < n) {
        const size_t chunk = size_t(m_size) >> CHUNK_BITS;
        if (chunk == m_chunks.size())
            m_chunks.push_back(std::make_unique<QData[]>(CHUNK));
        const int room = CHUNK - (m_size & CHUNK_MASK);
        const int count = std::min({n - m_size, room, MAX_COPY});
        const int copied = m_list->copyRange(m_size, count, &m_chunks[chunk][m_size & CHUNK_MASK]);
        if (copied == 0)
            break;
        m_size += copied;
    }
    // A back-fill during the copy leaves m_generation behind the list's, so the next frame copies
    // everything again.
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
        for (int i = m_posStart; i < m_posEnd; ++i) {
            const double y = at(i).y();
            if (!(std::fabs(y) <= Y_LIMIT))
                continue;
            if (!m_extent.found) {
                m_extent.min = m_extent.max = y;
                m_extent.found = true;
            } else {
                m_extent.min = std::min(m_extent.min, y);
                m_extent.max = std::max(m_extent.max, y);
            }
        }
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
