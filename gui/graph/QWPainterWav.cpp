// STAND-IN, replaced by the real waveform renderer at merge: satisfies the interface with plain
// background pictures and no amplitudes, so the graph painter builds and runs without it.
#include "QWPainterWav.h"

namespace {

const QImage& background() {
    static const QImage image = [] {
        QImage i(QWPainterWav::PICTURE_WIDTH, QWPainterWav::PICTURE_HEIGHT, QImage::Format_ARGB32);
        i.fill(QColor(43, 43, 43));
        return i;
    }();
    return image;
}

} // namespace

QWPainterWav::QWPainterWav(ModelGraph::EnumGraph) {}
QWPainterWav::~QWPainterWav() = default;
void QWPainterWav::refresh(const Segments*) {}
void QWPainterWav::draw() {}

const QList<QPointF>& QWPainterWav::listDataDraw() const {
    static const QList<QPointF> none;
    return none;
}

const QImage& QWPainterWav::fullImage() const {
    return background();
}

int QWPainterWav::areaImageCount() const {
    return 0;
}

const QImage& QWPainterWav::areaImage(int) const {
    static const QImage null;
    return null;
}
