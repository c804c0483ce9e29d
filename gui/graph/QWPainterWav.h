#pragma once

#include <QColor>
#include <QFlags>
#include <QImage>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QWidget>
#include <QtGlobal>

#include "core/Model.h"

class QWav;

// Prepares, off screen, the pictures of the sound one graph shows under its curves: the whole sound
// with each phrasing area's samples in the area's colour, one picture per area with only its samples,
// and the per-column amplitudes the graph's direct-wave strokes read. The x axis of every picture is
// the platter angle from 0° to 360°. Never shown; GUI thread only. Pictures are rebuilt only on
// refresh, never while a frame is painted.
class QWPainterWav : public QWidget {
    Q_OBJECT

public:
    // One phrasing area's samples: ((first sample, end sample), colour).
    using Segments = QList<QPair<QPair<int, int>, QColor>>;

    enum DrawOption { Bar = 1, Line = 2 };
    Q_DECLARE_FLAGS(DrawOptions, DrawOption)

    static constexpr int PICTURE_WIDTH = 2700;
    static constexpr int PICTURE_HEIGHT = 100;

    explicit QWPainterWav(ModelGraph::EnumGraph graph);
    ~QWPainterWav() override;

    // Takes the painter's segment list (not owned; it outlives the renderer) and rebuilds.
    void refresh(const Segments* segments);
    void draw();

    // Per pixel column of the full picture: (−amplitude, +amplitude) in picture pixels.
    const QList<QPointF>& listDataDraw() const;
    const QImage& fullImage() const;
    int areaImageCount() const;
    // A null image for an index outside [0, areaImageCount()).
    const QImage& areaImage(int index) const;

private:
    void drawWavPhasing(const QWav& wav);
    void drawSubWavPhasing(const QWav& wav);
    void prepareSound(const QWav& wav, int sampleCount);
    void drawWavCurve(QImage& image, const QList<qint16>& samples, int first, int end,
                      QRgb defaultColor) const;
    QImage background() const;

    const ModelGraph::EnumGraph m_graph;
    const Segments* m_segments = nullptr;
    QImage m_fullImage;
    QList<QImage> m_areaImages;
    QList<QPointF> m_listDataDraw;

    // Worked out once per draw from the sound and the segments, shared by every picture.
    // Rows a sample's bar covers, by sample value + 32768: first row | (last row + 1) << 8.
    QList<quint16> m_rowsOfValue;
    // The sound cut where any segment starts or ends: run r is [m_runStart[r], m_runStart[r + 1])
    // and takes the colour of segment m_runSegment[r], the first one holding it (-1: none).
    QList<int> m_runStart;
    QList<int> m_runSegment;
    QList<QRgb> m_segmentColor;
    // Segments clamped to the sound.
    QList<QPair<int, int>> m_ranges;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(QWPainterWav::DrawOptions)
