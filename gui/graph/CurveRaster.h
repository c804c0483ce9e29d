#pragma once

#include <QHash>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRgb>

#include <algorithm>
#include <bit>
#include <climits>
#include <vector>

class QPainter;
class QPixmap;

// Draws round-capped, round-joined strokes (curve segments, direct-wave strokes) into a transparent
// layer, pixel column by pixel column, antialiased by each pixel centre's distance to the stroke.
// QPainter strokes wide antialiased lines one outline at a time, which costs milliseconds for a few
// thousand segments.
//
// A frame records its shapes (the segments drawn between two setPen calls, one polyline's worth,
// whose overlaps are not blended twice) and pictures in drawing order; finish() then renders them
// from the last to the first, blending each under what is already there. A pixel that is already
// opaque is never touched again, so a long, dense run drawn over itself costs about one write per
// pixel instead of one per segment. GUI thread only; coordinates are logical widget pixels.
//
// The layer is kept between frames. Each column's output depends only on the shapes and pictures that
// reach it, in their order, so finish() gives every column a signature of those and renders only the
// columns whose signature changed; a view that follows the run moves the layer's origin by whole
// columns, and begin() shifts the kept picture with it. The picture is always the one a full render of
// the recorded frame gives.
class CurveRaster {
public:
    // Sizes the layer for a frame and forgets the previous frame's shapes. `origin` is the absolute
    // column of the layer's left edge, in device pixels: a change shifts the kept picture by as much.
    void begin(QSize size, qreal devicePixelRatio, qint64 origin = 0);
    // Forgets the kept picture: the next finish() renders every column.
    void invalidate();
    // Starts a new shape in this colour (not premultiplied) and width in logical pixels.
    void setPen(QRgb colour, double width);
    void segment(QPointF a, QPointF b);
    // A picture over the shapes recorded so far and under the ones that follow.
    void drawPixmap(QPointF topLeft, const QPixmap& pixmap);
    // A rectangle of logical pixels filled with a colour (not premultiplied), in the same order.
    void fillRect(const QRect& rect, QRgb colour);
    // Renders what was recorded.
    void finish();
    // Draws the touched part of the layer with `painter`.
    void compose(QPainter& painter) const;

    qreal devicePixelRatio() const { return m_dpr; }
    // Device columns the last finish() rendered.
    int renderedColumns() const { return m_renderedColumns; }

private:
    // Nearly opaque counts as opaque: what is still under it would change the pixel by less than 2 %.
    static constexpr int OPAQUE = 250;
    // A segment in device pixels, with what every column asks of it worked out once.
    using Interval = std::pair<double, double>;
    struct Segment {
        double ax, ay, bx, by;
        double dx, dy, length, ux, uy, inverseSquare;
        double top, bottom; // smallest and largest y of its ends
        int firstColumn, lastColumn;

        // Where the vertical line x = xc meets the points within `outer` and within `inner` of the
        // segment; an interval with first > second when it does not.
        void intervals(double xc, double outer, double inner, Interval& o, Interval& i) const;
        double distance(double x, double y) const;
    };
    struct Shape {
        int firstSegment;
        int endSegment;
        quint32 solid;    // the colour premultiplied
        double radius;    // device pixels
        // One connected polyline going left to right (a curve in time order): each column then meets it
        // in one interval, and no interval has to be sorted or merged.
        bool simple = true;
    };
    // A picture, or a rectangle of one colour when the image is null; device pixels.
    struct Picture {
        int afterShapes;
        QRect area;
        QImage image;
        quint32 colour;
    };

    // Gives every column the signature of what reaches it this frame and marks the columns whose
    // signature differs from the kept picture's; clears those.
    void markChangedColumns();
    void shiftLayer(qint64 columns);
    // True when one of the columns first to last (device pixels, inclusive) is to be rendered.
    bool anyChanged(int first, int last) const;
    void renderShape(const Shape& shape);
    void renderColumn(const Shape& shape, int x);
    void renderSimpleColumn(const Shape& shape, int x);
    // True when every row the active segments could reach in column x is opaque already; such rows
    // join the column's known opaque rows.
    bool hidden(int x, double outer);
    // Blends the shape into column x from the intervals in m_outer and m_inner.
    void renderIntervals(const Shape& shape, int x);
    // The coverage of row centre yc, outside every inner interval, inside outer interval `o`.
    float edgeCoverage(double xc, double yc, const Interval& o, double outer) const;
    void renderPicture(const Picture& picture);
    // Blends coverage k (0 to 1) of the shape's colour under pixel (x, y); true when it is now opaque.
    bool under(quint32& pixel, const Shape& shape, float k) const;
    // Records rows from to to (inclusive) of column x as opaque; whether they all are.
    void markOpaque(int x, int from, int to);
    bool allOpaque(int x, int from, int to) const;
    void touch(int x0, int y0, int x1, int y1);
    // Forgets what was touched.
    void untouch();
    // Calls f(x, image column, count, top, bottom) for rectangles that hold every touched pixel of the
    // layer columns first to first + count − 1: from layer column x (image column given), count columns
    // that are one run in the image, rows top to bottom.
    template <class F>
    void forTouched(int first, int count, F f) const;

    QImage m_layer;
    quint32* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    qreal m_dpr = 1.0;

    std::vector<Segment> m_segments;
    std::vector<Shape> m_shapes;
    std::vector<Picture> m_pictures;
    QHash<qint64, QImage> m_pictureCache;

    // The image column that holds column x of the layer: the kept picture scrolls by moving m_phase,
    // not its pixels.
    int physical(int x) const {
        const int c = x + m_phase;
        return c >= m_width ? c - m_width : c;
    }
    // Clears columns first to first + count − 1 of the layer over the touched rows.
    void clearColumns(int first, int count);

    // The kept picture: its origin, and per column the signature it was rendered from (0: none).
    qint64 m_origin = 0;
    int m_phase = 0;
    std::vector<quint64> m_signature;
    std::vector<quint64> m_fresh;
    // Per column, 1 when it is rendered this frame; and how many columns before it are.
    std::vector<char> m_changed;
    std::vector<int> m_changedBefore;
    // Scratch of markChangedColumns: runs of changed columns as (first, count).
    std::vector<std::pair<int, int>> m_runs;
    int m_renderedColumns = 0;

    // Per column, the rows known to be opaque already: one interval, empty while lo > hi.
    std::vector<int> m_opaqueLo;
    std::vector<int> m_opaqueHi;
    // Per column, a bit per row: set once the pixel is known opaque, in whatever runs.
    std::vector<quint64> m_opaqueBits;
    int m_opaqueWords = 0;
    // Scratch of renderShape, kept to avoid allocating per frame.
    std::vector<int> m_order;
    std::vector<int> m_active;
    std::vector<Interval> m_outer;
    std::vector<Interval> m_inner;

    // Columns that may hold pixels that are not transparent (device pixels, inclusive); none while
    // left > right.
    int m_left = 0;
    int m_right = -1;
    // Per image column, a bit for each band of BAND rows that may not be transparent (the last band
    // takes the rows beyond). A curve crossing the layer touches a few bands of each column and the
    // crossfader bands one or two: clearing and composing by bands instead of one rectangle over all
    // of them saves most of a full layer's worth of writes each frame.
    static constexpr int BAND = 32;
    std::vector<quint64> m_columnBands;
    int band(int y) const { return std::min(y / BAND, 63); }
};

template <class F>
inline void CurveRaster::forTouched(int first, int count, F f) const {
    // The columns in at most two runs of the image, the second wrapping to its start.
    const int start = physical(first);
    const int head = std::min(count, m_width - start);
    const std::pair<int, int> runs[2] = {{start, head}, {0, count - head}};
    for (int r = 0; r < 2; ++r) {
        const auto [from, n] = runs[r];
        const int x = first + (r == 0 ? 0 : head);
        quint64 any = 0;
        for (int c = from; c < from + n; ++c)
            any |= m_columnBands[c];
        for (; any; any &= any - 1) {
            const int b = std::countr_zero(any);
            const quint64 bit = 1ull << b;
            const int top = b * BAND;
            const int bottom = b == 63 ? m_height - 1 : std::min(top + BAND, m_height) - 1;
            // Runs of columns holding the band; gaps narrower than a band go with them, as clearing or
            // composing a few transparent pixels costs less than another call.
            int c = from;
            while (c < from + n) {
                if (!(m_columnBands[c] & bit)) {
                    ++c;
                    continue;
                }
                int last = c, gap = 0;
                for (int d = c + 1; d < from + n && gap <= BAND; ++d) {
                    if (m_columnBands[d] & bit)
                        last = d, gap = 0;
                    else
                        ++gap;
                }
                f(x + (c - from), c, last - c + 1, top, bottom);
                c = last + 1;
            }
        }
    }
}
