#include "QListDataCurve.h"

#include <QMutexLocker>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <new>
#include <type_traits>
#include <utility>

// Segments are raw storage: a point is copied into its slot and never destroyed.
static_assert(std::is_trivially_copyable_v<QData> && std::is_trivially_destructible_v<QData>);

namespace {

// The back-fill's timecode mark: the offset toward zero, never −1, which would leave the point
// waiting for a back-fill again.
qint32 backFillMark(double offset) {
    if (!std::isfinite(offset))
        return 0;
    const auto mark = static_cast<qint32>(std::trunc(std::clamp(offset, double(INT_MIN), double(INT_MAX))));
    return mark == -1 ? 0 : mark;
}

} // namespace

QListDataCurve::QListDataCurve(ModelGraph::EnumGraph curveName) : m_curveName(curveName) {}

QListDataCurve::~QListDataCurve() {
    for (QData* segment : m_segments)
        freeSegment(segment);
}

int QListDataCurve::segmentOf(qint64 i) {
    return std::bit_width(quint64(i / FIRST_SEGMENT) + 1) - 1;
}

QData* QListDataCurve::allocateSegment(int k) {
    return static_cast<QData*>(::operator new(sizeof(QData) * segmentLength(k), std::nothrow));
}

void QListDataCurve::freeSegment(QData* segment) {
    ::operator delete(segment);
}

const QData& QListDataCurve::at(qint64 i) const {
    const int k = segmentOf(i);
    return m_segments[k][i - segmentStart(k)];
}

QData& QListDataCurve::at(qint64 i) {
    const int k = segmentOf(i);
    return m_segments[k][i - segmentStart(k)];
}

void QListDataCurve::BackFill::move(QData& point) const {
    point.setY(point.y() + y);
    point.setTimecode(mark);
    point.setTargetPosition(point.targetPosition() + turn);
}

void QListDataCurve::moveBackFill(QData& point) const {
    m_backFill.move(point);
}

QData QListDataCurve::read(qint64 i) const {
    QData point = at(i);
    if (i < m_backFillPending)
        moveBackFill(point);
    return point;
}

// The same sum moveBackFill stores, so a reader sees the same value before and after.
double QListDataCurve::readY(qint64 i) const {
    return i < m_backFillPending ? at(i).y() + m_backFill.y : at(i).y();
}

void QListDataCurve::storeBackFill() {
    const int first = std::max(m_backFillPending - BACK_FILL_CHUNK, 0);
    for (int j = first; j < m_backFillPending; ++j)
        moveBackFill(at(j));
    m_backFillPending = first;
}

int QListDataCurve::addQdata(const QData& point) {
    QData* spare = nullptr;
    int spareSegment = -1;
    int stored = -1;
    // One pass for a single appender; another pass only when another appender took the slot the
    // spare segment was prepared for.
    for (;;) {
        const qint64 expected = m_size.load(std::memory_order_relaxed);
        if (expected >= CAPACITY)
            break;
        const int k = segmentOf(expected);
        if (expected == segmentStart(k) && spareSegment != k &&
            m_segmentsHeld.load(std::memory_order_acquire) <= k) {
            freeSegment(spare);
            spare = allocateSegment(k);
            spareSegment = spare ? k : -1;
            if (!spare)
                break;
        }
        QMutexLocker lock(&m_mutex);
        const int n = m_size.load(std::memory_order_relaxed);
        if (n >= CAPACITY)
            break;
        const int segment = segmentOf(n);
        if (!m_segments[segment]) {
            if (spareSegment != segment)
                continue;
            m_segments[segment] = std::exchange(spare, nullptr);
            m_segmentsHeld.store(segment + 1, std::memory_order_release);
            spareSegment = -1;
        }
        new (&at(n)) QData(point);
        m_size.store(n + 1, std::memory_order_release);
        if (m_leadingUnknown == n && point.timecode() == -1)
            ++m_leadingUnknown;
        storeBackFill();
        stored = n;
        break;
    }
    freeSegment(spare);
    return stored;
}

std::optional<QData> QListDataCurve::value(int i) const {
    QMutexLocker lock(&m_mutex);
    if (i < 0 || i >= m_size.load(std::memory_order_relaxed))
        return std::nullopt;
    return read(i);
}

int QListDataCurve::copyRange(int first, int count, QData* out, quint64* generation) const {
    QMutexLocker lock(&m_mutex);
    if (generation)
        *generation = m_generation.load(std::memory_order_relaxed);
    const qint64 end =
        std::min<qint64>(qint64(first) + std::max(count, 0), m_size.load(std::memory_order_relaxed));
    if (first < 0 || first >= end)
        return 0;
    QData* const copies = out;
    qint64 i = first;
    while (i < end) {
        const int k = segmentOf(i);
        const qint64 stop = std::min(end, segmentStart(k) + segmentLength(k));
        const QData* from = &at(i);
        out = std::copy(from, from + (stop - i), out);
        i = stop;
    }
    for (qint64 j = first; j < std::min<qint64>(end, m_backFillPending); ++j)
        moveBackFill(copies[j - first]);
    return int(end - first);
}

template <class Before> qint64 QListDataCurve::boundFrom(qint64 n, int guess, Before before) const {
    // The answer lies in (lo, hi]: `before` holds at lo (or lo is −1) and fails at hi (or hi is n).
    qint64 lo = -1;
    qint64 hi = n;
    const qint64 g = std::clamp<qint64>(guess, 0, n - 1);
    qint64 step = 1;
    if (before(at(g))) {
        lo = g;
        while (lo + step < n) {
            if (!before(at(lo + step))) {
                hi = lo + step;
                break;
            }
            lo += step;
            step *= 2;
        }
    } else {
        hi = g;
        while (hi - step >= 0) {
            if (before(at(hi - step))) {
                lo = hi - step;
                break;
            }
            hi -= step;
            step *= 2;
        }
    }
    while (hi - lo > 1) {
        const qint64 mid = lo + (hi - lo) / 2;
        if (before(at(mid)))
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

int QListDataCurve::indexAtOrAfter(qint32 s, int guess) const {
    QMutexLocker lock(&m_mutex);
    const int n = m_size.load(std::memory_order_relaxed);
    if (n == 0)
        return 0;
    const qint64 bound = boundFrom(n, guess, [s](const QData& p) { return p.samplerate() < s; });
    return int(std::min<qint64>(bound, n - 1));
}

int QListDataCurve::indexAtOrBefore(qint32 s, int guess) const {
    QMutexLocker lock(&m_mutex);
    const int n = m_size.load(std::memory_order_relaxed);
    if (n == 0)
        return 0;
    const qint64 bound = boundFrom(n, guess, [s](const QData& p) { return p.samplerate() <= s; });
    return int(std::max<qint64>(bound - 1, 0));
}

bool QListDataCurve::extentY(int first, int end, double& minY, double& maxY) const {
    QMutexLocker lock(&m_mutex);
    const qint64 stop = std::min<qint64>(end, m_size.load(std::memory_order_relaxed));
    if (first < 0 || first >= stop)
        return false;
    double lowest = readY(first);
    double highest = lowest;
    for (qint64 i = qint64(first) + 1; i < stop; ++i) {
        const double y = readY(i);
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
    }
    minY = lowest;
    maxY = highest;
    return true;
}

void QListDataCurve::initStartValueBeforeTimecode(int i) {
    QMutexLocker lock(&m_mutex);
    const int n = m_size.load(std::memory_order_relaxed);
    if (i < 1 || i >= n || m_leadingUnknown == 0)
        return;
    const QData current = read(i);
    const QData previous = read(i - 1);
    // Points still waiting for an earlier back-fill never carry −1 for readers, so a back-fill
    // starts only once no other is pending and covers exactly the leading points that carry −1.
    const double y = double(current.timecode()) - previous.y();
    const quint64 generation = m_generation.fetch_add(1, std::memory_order_release) + 1;
    m_backFill = {generation, m_leadingUnknown, y, current.targetPosition() - previous.targetPosition(),
                  backFillMark(y)};
    m_backFillPending = m_leadingUnknown;
    m_leadingUnknown = 0;
    storeBackFill();
}

int QListDataCurve::pendingBackFill() const {
    QMutexLocker lock(&m_mutex);
    return m_backFillPending;
}

QListDataCurve::BackFill QListDataCurve::backFill(quint64& generation) const {
    QMutexLocker lock(&m_mutex);
    generation = m_generation.load(std::memory_order_relaxed);
    return m_backFill;
}

void QListDataCurve::clear() {
    QData* segments[SEGMENTS];
    {
        QMutexLocker lock(&m_mutex);
        std::copy(std::begin(m_segments), std::end(m_segments), segments);
        std::fill(std::begin(m_segments), std::end(m_segments), nullptr);
        m_segmentsHeld.store(0, std::memory_order_release);
        m_size.store(0, std::memory_order_release);
        m_leadingUnknown = 0;
        m_backFillPending = 0;
        m_backFill = {};
        m_generation.fetch_add(1, std::memory_order_release);
    }
    for (QData* segment : segments)
        freeSegment(segment);
}

void QListDataCurve::discard() {
    QMutexLocker lock(&m_mutex);
    m_size.store(0, std::memory_order_release);
    m_leadingUnknown = 0;
    m_backFillPending = 0;
    m_generation.fetch_add(1, std::memory_order_release);
}
