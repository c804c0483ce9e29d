#pragma once

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <vector>

#include "CurveCopy.h"
#include "CurveFold.h"
#include "CurveRaster.h"
#include "GraphScale.h"
#include "GraphWindow.h"
#include "LabelCache.h"
#include "QWPainterWav.h"
#include "core/Model.h"

class ManagePhrasing;
class QCurve;
class QPainter;
class QPhrasing;

// The graph of one turntable input: its live curve (main graph) over the reference curve loaded from
// a curve-wave file (secondary graph), on a beat grid, with the crossfader bands, the waveform of the
// scratch sound, the count-in and the vinyl disc. It owns both curves; the input's timecode receiver
// appends to the main one from its audio thread through curve_Main().
//
// GUI thread only, except curve_Main(), which returns a pointer fixed at construction. Each frame
// first brings the painter's own copies of the curves up to date, then moves the windows, then draws
// from the copies without locks. The window arithmetic is GraphWindow's; the frame drawing lives in
// QWPainterFrame.cpp, QWPainterCurve.cpp, QWPainterWave.cpp and QWPainterDisc.cpp.
class QWPainter : public QWidget {
    Q_OBJECT

public:
    QWPainter(ModelGraph::EnumGraph graphMain, ModelGraph::EnumGraph graphSecondary, QWidget* parent = nullptr);
    ~QWPainter() override;

    // Any thread.
    QCurve* curve_Main() const { return m_curveMain.get(); }
    QCurve* curve_Secondary() const { return m_curveSecondary.get(); }
    // The editing set of phrasing areas drawn on this graph.
    ManagePhrasing* managePhrasing() const { return m_managePhrasing.get(); }

    // The count-in number shown now.
    int tagNumber() const { return m_tagNumber; }
    GraphWindow::Range xRange() const { return {m_xMin, m_xMax}; }
    GraphWindow::Range yRange() const { return {m_yMin, m_yMax}; }

    // Takes the window [a, b] as given when it is longer than one beat and shorter than 36000 beats;
    // otherwise nothing changes.
    void setXRange(qint64 a, qint64 b);

public slots:
    void refresh();
    void initGraph();
    void initStart();
    void resetCurve_Main();
    void resetCurve_Secondary();
    void importCurve_Secondary(const QString& path, bool setBpm);
    // Another painter's window, in samples of its own stream. Emits nothing, so two painters wired
    // both ways do not answer each other.
    void updateXRange(ModelGraph::EnumGraph graph, double minimum, double maximum);
    void drawTagNumber_4() { m_tagNumber = 4; }
    void drawTagNumber_3() { m_tagNumber = 3; }
    void drawTagNumber_2() { m_tagNumber = 2; }
    void drawTagNumber_1() { m_tagNumber = 1; }
    void drawTagNumber_0() { m_tagNumber = 0; }
    void refreshListManagePhrasing();
    void generateWavPhrasing();
    void refreshVariable();
    void modeAutoresize() {}
    void updateMinMaxFromCurve(int, int, QCurve*) {}

signals:
    void s_InitStart();
    void s_XRange(ModelGraph::EnumGraph graph, double minimum, double maximum);
    void s_EndSelectArea();
    void s_EndAutoresize();
    void s_PressLeftButton();
    void s_PressRightButton(int x, int y);
    void s_MouseReleaseEvent();
    void s_EndImportCurve_Secondary();
    void s_Resize();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The pen of one curve point: colour (unpremultiplied) and width; none for an invisible point.
    // Eight bytes, returned in one register: a third member cost a stall on every point of a long curve.
    struct CurvePen {
        QRgb colour = 0;
        int width = 0;
        bool visible() const { return qAlpha(colour) > 0; }
    };
    // The phrasing areas of this frame as the curve drawing searches them, once per frame.
    struct Area {
        double start;
        double end;
        QRgb colour;
        QRgb lighter;
        bool operator==(const Area&) const = default;
    };
    // Everything the bands and the curve layer are drawn from: while it stays the same (a paused or
    // zoomed-out view), a frame reuses them instead of walking the curves again.
    struct CurveLayerKey {
        double xMin, xMax, yMin, yMax, plotWidth, plotBottom, plotHeight;
        QSize size;
        qreal dpr;
        int sizes[2], starts[2], ends[2];
        quint64 copies[2], wavGeneration;
        std::vector<Area> areas;
        int curveOnSize, display;
        bool showClosed, noSound, shini, directWave, mainOn, looper, reverse, anchored;
        bool operator==(const CurveLayerKey&) const = default;
    };

    // Window arithmetic (QWPainter.cpp).
    double samplesPerBeat() const;
    void setYRangeWithMarging(double min, double max);
    void updateWindows();
    // This frame's mapping, shared by grid, curves and current-time line, and the current-time column.
    void placeFrame();
    void handleXAutoresize();
    void calculateAndSyncYRanges();
    void setYRangeBasedOnMode();
    void defineXStep(qint64 min, qint64 max);
    void holdMode();
    void zoommore(double c);
    void zoomless(double c);
    bool wavLoaded() const;
    // The mapping for the windows held now (mouse handling runs between frames).
    GraphScale currentScale() const;
    // Everything a frame is drawn from, as numbers: while they stay the same, the picture would too.
    std::vector<double> frameInputs() const;

    // The frame (QWPainterFrame.cpp).
    void draw(QPainter& painter);
    void drawBase(QPainter& painter);
    void drawMainElements(QPainter& painter);
    void drawTagNumber(QPainter& painter);
    void drawGridAndLabels(QPainter& painter);
    void drawGridX(QPainter& painter);
    void drawGridY(QPainter& painter);
    void drawGridHorizontal(QPainter& painter, double value);
    void drawDrummingGridPhrasing(QPainter& painter);
    void drawLabelX(QPainter& painter);
    void drawLabelY(QPainter& painter);
    void drawCurrentTimer(QPainter& painter);
    // Draws the crossfader bands of one curve into the curve layer, under the curves.
    void drawBufferCross(const CurveCopy& copy, ModelGraph::EnumGraph graph);
    // Samples per beat for labels; 0 when the tempo or the rate gives no usable number.
    double labelSamplesPerBeat() const;

    // Curves (QWPainterCurve.cpp).
    void drawCurvesAndCrosses(QPainter& painter);
    CurveLayerKey curveLayerKey(bool mainOn, bool looper, bool anchored) const;
    // Reads this frame's phrasing areas and graph options.
    void prepareFrame();
    int searchArea(double angle) const;
    CurvePen colorCurve(const QData& point, ModelGraph::EnumGraph graph) const;
    QRgb calculatePenColor(const QData& point, ModelGraph::EnumGraph graph) const;
    void line(QPointF a, QPointF b, const CurvePen& pen);
    // Far enough outside any widget that the visible part of a line keeps its direction.
    static constexpr double FAR = 1e6;
    // Inline: a long curve asks it for every point.
    QPointF position(double sample, double value) const {
        return QPointF(std::clamp(m_scale.x(sample), -FAR, FAR), std::clamp(m_scale.y(value), -FAR, FAR));
    }
    void drawBufferCurve(const CurveCopy& copy, ModelGraph::EnumGraph graph, double offset);
    // The points from i, a whole aligned block of them, whose crossfader is closed; 0 when there is none.
    int closedRun(const CurveCopy& copy, int i, int end) const;
    // Adds the points from i on that stay in the fold's current column with the current pen as one
    // run, read from the curve's summary; the number added, 0 when point i is to be drawn alone.
    int foldRun(const CurveCopy& copy, ModelGraph::EnumGraph graph, double offset, QPointF previous, int i, int end);
    bool runFits(const CurveSummary::Block& block, const QData& first, ModelGraph::EnumGraph graph, double offset,
                 const CurveFold::Pen& pen, int column) const;
    // True when every angle of the block falls into the same phrasing area, or into none.
    bool oneArea(const CurveSummary::Block& block) const;
    double row(double value) const { return position(0.0, value).y(); }
    void drawRunWavDirect(const CurveCopy& copy, int i, int count, double previousX);
    // The rows of the top edge, the bottom edge and the middle of the split drawings, and their first
    // pen; false when the curve shows no point.
    bool prepareSplits(const CurveCopy& copy, ModelGraph::EnumGraph graph, double& top, double& bottom, double& mid);
    void drawBufferCurvePhrasing(const CurveCopy& copy, ModelGraph::EnumGraph graph);
    void drawBufferCurveDrumming(const CurveCopy& copy, ModelGraph::EnumGraph graph);
    void drawSplit(QPointF previous, QPointF current, double xm, double first, double second,
                   const CurvePen& pen);
    void drawPointExtras(const CurveCopy& copy, QPointF current, QPointF previous, int i);
    void drawArrowUpdown(const CurveCopy& copy, QPointF p, int i);
    void drawWavDirect(const CurveCopy& copy, QPointF current, QPointF previous, int i);

    // Waveform band, strip and cursors (QWPainterWave.cpp).
    void drawWavPhasing(QPainter& painter);
    void drawWavPhasingVertical(QPainter& painter, const QImage& image);
    void drawWavPhasingVerticalPhrasing(QPainter& painter);
    void drawWavCursor(QPainter& painter);
    void drawWavCursorRect(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph);
    // The main curve's cursor point: its last point while running, else the point before the
    // current-time column; null when there is none.
    const QData* mainCursorPoint() const;
    int shownPhrasingFor(const QData* point);

    // The vinyl disc (QWPainterDisc.cpp).
    void drawVinylPosition(QPainter& painter);
    void drawBaseCircles(QPainter& painter) const;
    void drawCentre(QPainter& painter) const;
    void drawPhrasingPie(QPainter& painter) const;
    void drawPositionIndicator(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph);
    void drawPositionIndicatorArrow(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph);
    void drawPhrasingLabel(QPainter& painter, const QData& point, ModelGraph::EnumGraph graph, int y);
    bool setupIndicatorColorsAndChecks(ModelGraph::EnumGraph graph, QColor& fill, QColor& outline) const;

    std::unique_ptr<ManagePhrasing> m_managePhrasing;
    const ModelGraph::EnumGraph m_graphMain;
    const ModelGraph::EnumGraph m_graphSecondary;
    QPoint m_pressPoint;
    QPoint m_releasePoint;
    double m_xMin = 0.0;
    double m_xMax = 0.0;
    double m_xStep = 0.0;
    double m_yMin = 0.0;
    double m_yMax = 0.0;
    double m_yStep = 0.0;
    int m_tagNumber = 0;
    std::unique_ptr<QCurve> m_curveSecondary;
    std::unique_ptr<QCurve> m_curveMain;
    double m_offsetStart = 0.0;
    double m_offsetEnd = 0.0;
    // Declared before the renderer, which keeps a pointer to it.
    QWPainterWav::Segments m_wavSegments;
    std::unique_ptr<QWPainterWav> m_painterWav;
    int m_marginBottom = 40;
    int m_marginTop = 35;
    double m_plotWidth = 0.0;
    double m_bandWidth = 0.0;
    double m_plotBottom = 0.0;
    double m_plotHeight = 0.0;
    double m_cursorBottom = 0.0;
    int m_bandTop = 0;
    int m_legendBottom = 0;
    int m_labelBottom = 0;
    int m_currentX = 0;
    double m_stripX = 0.0;
    double m_stripWidth = 0.0;
    int m_shownPhrasing = -1;
    QPixmap m_logo;
    QPixmap m_arrowDownRight;
    QPixmap m_arrowDownLeft;
    QPixmap m_arrowUpRight;
    QPixmap m_arrowUpLeft;
    int m_holdWindow = 0;
    // The display tick asked for the run's time base to start: it asks once per run.
    bool m_startAsked = false;

    // The copies the frames read, and this frame's mapping.
    CurveCopy m_copySecondary;
    CurveCopy m_copyMain;
    // This frame's mapping: the window's, or while following the run the same scale on whole columns
    // (GraphScale::anchored), the window's start moved left to column m_anchorColumn.
    GraphScale m_scale;
    bool m_anchored = false;
    double m_anchorColumn = 0.0;

    // Drawing state kept between frames.
    CurveRaster m_raster;
    CurveFold m_fold;
    LabelCache m_labels;
    // This frame's areas and graph options, read once per frame.
    std::vector<Area> m_areas;
    // The last area search: a point's curve pen and direct-wave pen ask for the same angle.
    mutable double m_searchedAngle = -1.0;
    mutable int m_searchedArea = -1;
    int m_curveOnSize = 1;
    bool m_showClosed = true;
    bool m_noSound = true;
    bool m_shini = false;
    bool m_directWave = false;
    // The pen the curve drawing set last, which a split's first part keeps.
    CurvePen m_currentPen;
    // Bumped whenever the waveform pictures are rebuilt.
    quint64 m_wavGeneration = 0;
    CurveLayerKey m_curveLayerKey{};
    // What the last display tick saw (frameInputs).
    std::vector<double> m_frameInputs;
    bool m_curveLayerValid = false;
    // Background, logo and waveform band or strip: redrawn only when what they show changes.
    QImage m_base;
    QString m_baseKey;
    // The disc with its phrasing areas, and the centre drawn again over the indicators.
    QImage m_discBase;
    QString m_discKey;
    QImage m_discCentre;
};
