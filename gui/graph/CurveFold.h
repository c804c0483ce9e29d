#pragma once

#include <QPointF>
#include <QRgb>

#include <algorithm>
#include <vector>

class CurveRaster;
class QPixmap;

// Hands a curve's lines to the rasteriser folded per pixel column: of the consecutive points of one
// polyline and one pen that fall into one column, only the first, the lowest, the highest and the
// last are kept, in their order. Every dropped point lies inside that column between the kept ones,
// so the column draws as its points would, and a frame costs at most a few segments per column
// however long the visible stretch of the run is. Consecutive segments that continue one another
// within a twentieth of a pixel are joined as well.
//
// Direct-wave strokes (vertical, centred on one row) are folded the same way, to the longest per
// column and pen, and drawn after the curve they belong to.
class CurveFold {
public:
    struct Pen {
        QRgb colour = 0;
        double width = 0.0;
        friend bool operator==(const Pen&, const Pen&) = default;
    };

    explicit CurveFold(CurveRaster& raster) : m_raster(raster) {}

    // At the start of a frame, after CurveRaster::begin.
    void begin();

    // A line of a polyline: lines that continue the previous one (same pen, starting where it ended)
    // are folded together.
    void line(QPointF a, QPointF b, const Pen& pen);
    // A vertical stroke from (x, top) to (x, bottom). Inline where it folds into the last one, as most
    // do: a direct wave gives one for every point.
    void stroke(double x, double top, double bottom, const Pen& pen) {
        const int c = column(x);
        if (!m_strokes.empty()) {
            Stroke& last = m_strokes.back();
            if (last.pen == pen && last.column == c) {
                last.top = std::min(last.top, top);
                last.bottom = std::max(last.bottom, bottom);
                return;
            }
        }
        m_strokes.push_back({x, top, bottom, pen, c});
    }
    // Draws what is held back: call before drawing anything else into the layer.
    void flush();
    // Draws a picture over the lines drawn so far and under the ones that follow.
    void pixmap(QPointF topLeft, const QPixmap& pixmap);
    // Draws the strokes collected since the last call.
    void flushStrokes();

    // The pixel column a point at x folds into; inline, as every point asks it.
    int column(double x) const {
        const double device = x * m_dpr;
        // Far outside the layer every point is its own column; nothing there is drawn anyway.
        if (!(device > -1e9 && device < 1e9))
            return device < 0 ? -1'000'000'000 : 1'000'000'000;
        const int c = int(device);
        return c > device ? c - 1 : c;
    }
    // True while the polyline being folded ends at `end` with `pen`, giving the column it ends in:
    // points that follow it in that column may then be added as one run.
    bool extends(QPointF end, const Pen& pen, int& column) const;
    // Whether a point at row y would be the column's lowest or highest row so far.
    bool lowers(double y) const { return y < m_low.y(); }
    bool raises(double y) const { return y > m_high.y(); }
    // `count` points that continue the polyline within its column, as line() would add them one by one:
    // the last of them and, where they go lower or higher than the column so far, the first of them
    // at their lowest or highest row, with its place in the run.
    struct Run {
        QPointF last;
        int count = 0;
        bool lowers = false;
        QPointF low;
        int lowAt = 0;
        bool raises = false;
        QPointF high;
        int highAt = 0;
    };
    void addRun(const Run& run);

private:
    struct Stroke {
        double x;
        double top;
        double bottom;
        Pen pen;
        int column;
    };

    void add(QPointF p);
    void emitColumn();
    void emitPoint(QPointF p);
    void emitPending();
    void usePen(const Pen& pen);

    CurveRaster& m_raster;
    // The raster's device pixel ratio, taken at begin().
    double m_dpr = 1.0;
    // The polyline being folded.
    bool m_open = false;
    Pen m_pen;
    QPointF m_end;
    // The points of the current column: first, lowest, highest (screen rows), last, and the order
    // in which the lowest and highest came.
    bool m_hasColumn = false;
    int m_column = 0;
    QPointF m_first, m_low, m_high, m_last;
    int m_lowIndex = 0, m_highIndex = 0, m_count = 0;
    // What was handed to the rasteriser last, and its pen.
    bool m_hasEmitted = false;
    bool m_drewSegment = false;
    QPointF m_emitted;
    // The end of the segment from m_emitted not handed over yet, and the points it replaced.
    bool m_hasPending = false;
    QPointF m_pending;
    static constexpr int MAX_JOINED = 32;
    QPointF m_joined[MAX_JOINED];
    int m_joinedCount = 0;
    bool m_hasRasterPen = false;
    Pen m_rasterPen;
    // Strokes, folded per column and pen.
    std::vector<Stroke> m_strokes;
};
