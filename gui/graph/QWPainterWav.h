#pragma once

#include <QColor>
#include <QFlags>
#include <QImage>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QWidget>

#include "core/Model.h"

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
};

Q_DECLARE_OPERATORS_FOR_FLAGS(QWPainterWav::DrawOptions)
