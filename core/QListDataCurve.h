#pragma once

#include <QMutex>
#include <QtGlobal>

#include <atomic>
#include <optional>

#include "Model.h"
#include "QData.h"

// The points of one scratch curve, in the order appended (frame index ascending).
//
// The timecode receiver appends on its input's audio thread while the graph painter (GUI thread)
// and the player (output audio thread) read. Every operation on the points holds the list's mutex
// for its own duration only, calls nothing outside, and hands out copies: no pointer to a stored
// point leaves the lock, because the back-fill may be rewriting it.
//
// Points live in segments that are never moved: segment k holds FIRST_SEGMENT << k points, so
// appending never copies what is stored, and a fixed table of segments covers every index. The
// appender allocates a new segment before it takes the lock.
//
// The back-fill of the points taken before the run's first valid timecode grows with how long the
// run went without one, so it is never stored in one go: readers see every moved point at once
// (reads apply the pending move to their copies), while the stored points are rewritten
// BACK_FILL_CHUNK at a time, newest first, by the appends that follow.
class QListDataCurve {
public:
    static constexpr int FIRST_SEGMENT = 1024;
    // Stored points the back-fill rewrites per append: about 20 µs of work.
    static constexpr int BACK_FILL_CHUNK = 1024;
    static constexpr int SEGMENTS = 21;
    // 2^31 - 1024 points, below the largest int32 index.
    static constexpr qint64 CAPACITY = qint64(FIRST_SEGMENT) * ((qint64(1) << SEGMENTS) - 1);

    explicit QListDataCurve(ModelGraph::EnumGraph curveName = ModelGraph::NOT_USED);
    ~QListDataCurve();
    QListDataCurve(const QListDataCurve&) = delete;
    QListDataCurve& operator=(const QListDataCurve&) = delete;

    // Set before the list is shared with other threads.
    void setCurveName(ModelGraph::EnumGraph curveName) { m_curveName = curveName; }
    ModelGraph::EnumGraph curveName() const { return m_curveName; }

    // Any thread. Returns the index the point was stored at, or −1 when memory or the capacity
    // ran out (the point is dropped). Allocates only when a segment fills, before locking.
    int addQdata(const QData& point);
    // Any thread, without locking: the points appended so far.
    int size() const { return m_size.load(std::memory_order_acquire); }
    // Any thread: a copy of point i, none when i is outside [0, size).
    std::optional<QData> value(int i) const;
    // Any thread: copies the points [first, first + count) that exist into `out`, which holds
    // `count` points; returns how many were copied. Allocates nothing. With `generation`, also gives
    // the generation the copies belong to.
    int copyRange(int first, int count, QData* out, quint64* generation = nullptr) const;

    // Any thread. Bounded searches over the samplerate order, starting at `guess` (clamped into
    // the list) and galloping away from it, so a poor guess costs O(log distance) probes.
    // The index of the first point whose samplerate is >= s; the last point when none is; 0 when empty.
    int indexAtOrAfter(qint32 s, int guess) const;
    // The index of the last point whose samplerate is <= s; 0 when none is or the list is empty.
    int indexAtOrBefore(qint32 s, int guess) const;
    // Any thread: the smallest and largest y of the points [first, end) that exist, seeded from
    // the first of them; false, leaving minY and maxY untouched, when there is none.
    bool extentY(int first, int end, double& minY, double& maxY) const;

    // Audio thread of the appender, right after appending point i >= 1 that carries the run's first
    // valid timecode: moves the points taken before it (the points from index 0 on that carry
    // timecode −1) so that they end where it begins. Nothing for i < 1 or i >= size. Readers see the
    // moved points at once; storing them costs at most BACK_FILL_CHUNK points here and per append after.
    void initStartValueBeforeTimecode(int i);
    // Any thread: moved points whose new values are not stored yet (reads already give them).
    int pendingBackFill() const;

    // The move of the run's back-fill: since `generation`, readers see the points [0, count) moved by
    // it. A reader holding copies of those points from the generation before can move them itself
    // instead of copying them again.
    struct BackFill {
        quint64 generation = 0;
        int count = 0;
        double y = 0.0;
        double turn = 0.0;
        qint32 mark = 0;
        // Gives a copy of a point as it reads after the move, exactly as the list gives it.
        void move(QData& point) const;
    };
    // Any thread: the back-fill since the list was last cleared (count 0 when none), and the list's
    // generation read together with it.
    BackFill backFill(quint64& generation) const;

    // Frees every point. Only while no other thread uses the list.
    void clear();
    // Any thread: forgets every point but keeps the storage for the points that follow, so it neither
    // allocates nor frees; what the input's audio thread empties the live curve with at a restart.
    void discard();

    // Any thread, without locking: bumped whenever points already appended read differently or go
    // (a back-fill starts, clear), so a reader that keeps its own copy knows when to copy everything
    // again instead of only new points. Storing a pending back-fill changes no value a reader sees.
    quint64 generation() const { return m_generation.load(std::memory_order_acquire); }

private:
    static int segmentOf(qint64 i);
    static qint64 segmentStart(int k) { return qint64(FIRST_SEGMENT) * ((qint64(1) << k) - 1); }
    static qint64 segmentLength(int k) { return qint64(FIRST_SEGMENT) << k; }
    static QData* allocateSegment(int k);
    static void freeSegment(QData* segment);

    // With the mutex held.
    const QData& at(qint64 i) const;
    QData& at(qint64 i);
    // Point i as readers see it: with the pending back-fill applied.
    QData read(qint64 i) const;
    double readY(qint64 i) const;
    void moveBackFill(QData& point) const;
    // Stores the moved values of up to BACK_FILL_CHUNK pending points, the newest first.
    void storeBackFill();
    // The first index at which `before` fails (size when it never does); size > 0.
    template <class Before> qint64 boundFrom(qint64 size, int guess, Before before) const;

    ModelGraph::EnumGraph m_curveName;
    mutable QMutex m_mutex;
    // Raw storage; a slot holds a point once its index is below m_size. Guarded by m_mutex.
    QData* m_segments[SEGMENTS] = {};
    // Written under m_mutex; read without it by size().
    std::atomic<int> m_size{0};
    // The segments [0, m_segmentsHeld) are allocated (they fill in order). Written under m_mutex; read
    // without it by an appender deciding whether it needs a new segment.
    std::atomic<int> m_segmentsHeld{0};
    // Written under m_mutex; read without it by generation().
    std::atomic<quint64> m_generation{0};

    // Guarded by m_mutex. Points from index 0 on that all carry timecode −1: what a back-fill moves.
    int m_leadingUnknown = 0;
    // The points [0, m_backFillPending) are stored unmoved; reads move them by the values below.
    int m_backFillPending = 0;
    BackFill m_backFill;
};
