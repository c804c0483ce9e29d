#include "QWPainterWav.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/Constant.h"
#include "core/QWav.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"

namespace {

constexpr int BASELINE = QWPainterWav::PICTURE_HEIGHT - 50;
constexpr int VALUE_OFFSET = 32768;
constexpr QRgb rgbOf(Constant::Color::Rgba color) {
    return qRgb(color.red, color.green, color.blue);
}
constexpr QRgb BACKGROUND = rgbOf(Constant::Color::COLOR_BLACK_43);
constexpr QRgb NO_SOUND = rgbOf(Constant::Color::COLOR_NO_SOUND);

// Every bar is laid at 30 % opacity, so a pixel under k bars keeps 0.7^k of what was beneath;
// past 64 bars nothing of it shows.
constexpr int MAX_LAYERS = 64;
const std::array<float, MAX_LAYERS + 1> UNDER_LAYERS = [] {
    std::array<float, MAX_LAYERS + 1> under{};
    under[0] = 1.0f;
    for (int k = 1; k < MAX_LAYERS; ++k)
        under[k] = under[k - 1] * 0.7f;
    return under;
}();

// One colour's bars within a picture column: bars starting on each row minus bars ending above it.
using RowDeltas = std::array<int, QWPainterWav::PICTURE_HEIGHT + 1>;

} // namespace

QWPainterWav::QWPainterWav(ModelGraph::EnumGraph graph) : m_graph(graph) {
    draw();
}

QWPainterWav::~QWPainterWav() = default;

void QWPainterWav::refresh(const Segments* segments) {
    m_segments = segments;
    draw();
}

void QWPainterWav::draw() {
    m_fullImage = background();
    m_listDataDraw.clear();
    if (!m_segments)
        return;
    const std::shared_ptr<const QWav> wav = Singleton::instance()->instanceWavPhrasing()->wav(m_graph);
    const QWav empty;
    const QWav& sound = wav ? *wav : empty;
    prepareSound(sound, int(sound.size()));
    drawWavPhasing(sound);
    drawSubWavPhasing(sound);
}

const QList<QPointF>& QWPainterWav::listDataDraw() const {
    return m_listDataDraw;
}

const QImage& QWPainterWav::fullImage() const {
    return m_fullImage;
}

int QWPainterWav::areaImageCount() const {
    return int(m_areaImages.size());
}

const QImage& QWPainterWav::areaImage(int index) const {
    static const QImage none;
    return index >= 0 && index < m_areaImages.size() ? m_areaImages.at(index) : none;
}

QImage QWPainterWav::background() const {
    QImage image(PICTURE_WIDTH, PICTURE_HEIGHT, QImage::Format_ARGB32);
    image.fill(BACKGROUND);
    return image;
}

void QWPainterWav::prepareSound(const QWav& wav, int sampleCount) {
    // The bar of a sample spans trunc(2|v|) rows below trunc(baseline - |v|), v in picture pixels;
    // the scale is the whole sound's, whatever part of it a picture shows.
    const int spread = int(wav.wavMax()) - int(wav.wavMin());
    const double scale = spread > 0 ? double(PICTURE_HEIGHT) / spread : 0.0;
    m_rowsOfValue.resize(2 * VALUE_OFFSET);
    for (int value = -VALUE_OFFSET; value < VALUE_OFFSET; ++value) {
        const double amplitude = std::abs(value * scale);
        const qint64 top = qint64(BASELINE - amplitude);
        const qint64 bottom = top + qint64(2 * amplitude);
        const int first = int(std::clamp<qint64>(top, 0, PICTURE_HEIGHT - 1));
        const int last = int(std::clamp<qint64>(bottom, 0, PICTURE_HEIGHT - 1));
        m_rowsOfValue[value + VALUE_OFFSET] = quint16(first | (last + 1) << 8);
    }

    // The painter derives the ranges from the areas' angles, which a colour file may set anywhere.
    m_ranges.clear();
    m_segmentColor.clear();
    QList<int> cuts{0, sampleCount};
    for (const auto& [range, color] : *m_segments) {
        const int first = std::clamp(range.first, 0, sampleCount);
        const int end = std::clamp(range.second, 0, sampleCount);
        m_ranges.append({first, end});
        m_segmentColor.append(color.rgb());
        cuts << first << end;
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    m_runStart.clear();
    m_runSegment.clear();
    for (qsizetype c = 0; c + 1 < cuts.size(); ++c) {
        const int start = cuts.at(c);
        const auto holds = [start](const QPair<int, int>& r) { return r.first <= start && start < r.second; };
        const auto first = std::find_if(m_ranges.cbegin(), m_ranges.cend(), holds);
        m_runStart.append(start);
        m_runSegment.append(first == m_ranges.cend() ? -1 : int(first - m_ranges.cbegin()));
    }
    m_runStart.append(std::numeric_limits<int>::max());
}

void QWPainterWav::drawWavPhasing(const QWav& wav) {
    const int count = int(wav.size());
    if (count < 2)
        return;
    const QList<qint16>& samples = wav.listWav().first();
    drawWavCurve(m_fullImage, samples, 0, count, NO_SOUND);

    // One entry per group of count / 2700 samples (every sample below 5400 of them), taken from the
    // group's last sample, and one for the very last sample: the direct-wave strokes index this list
    // by the platter angle, so its length, not the picture's width, is what they scale to.
    const int spread = int(wav.wavMax()) - int(wav.wavMin());
    const double scale = spread > 0 ? double(PICTURE_HEIGHT) / spread : 0.0;
    const int group = std::max(count / PICTURE_WIDTH, 1);
    m_listDataDraw.reserve(count / group + 1);
    const auto append = [&](int i) {
        const double amplitude = std::abs(samples.at(i) * scale);
        m_listDataDraw.append(QPointF(-amplitude, amplitude));
    };
    for (int i = group - 1; i < count; i += group)
        append(i);
    if (count % group != 0)
        append(count - 1);
}

void QWPainterWav::drawSubWavPhasing(const QWav& wav) {
    m_areaImages.clear();
    for (qsizetype k = 0; k < m_ranges.size(); ++k) {
        QImage image = background();
        if (!wav.listWav().isEmpty())
            drawWavCurve(image, wav.listWav().first(), m_ranges.at(k).first, m_ranges.at(k).second,
                         m_segmentColor.at(k));
        m_areaImages.append(image);
    }
}

// Spreads the samples [first, end) over the whole picture width, so x runs with the platter angle,
// and lays one 30 % bar per sample, folded per column so the work is one pass over the samples.
void QWPainterWav::drawWavCurve(QImage& image, const QList<qint16>& samples, int first, int end,
                                QRgb defaultColor) const {
    const qint64 count = qint64(end) - first;
    if (count <= 0 || end > samples.size())
        return;
    const qint16* data = samples.constData();
    const quint16* rowsOfValue = m_rowsOfValue.constData();
    qsizetype run = std::upper_bound(m_runStart.cbegin(), m_runStart.cend(), first) - m_runStart.cbegin() - 1;

    // The colours met in the current column, in the order met, and their bars.
    QVarLengthArray<int, 4> columnSegments;
    QVarLengthArray<RowDeltas, 4> columnRows;
    for (int column = 0; column < PICTURE_WIDTH; ++column) {
        const qint64 from = column * count / PICTURE_WIDTH;
        const qint64 to = std::max((column + 1) * count / PICTURE_WIDTH, from + 1);
        columnSegments.clear();
        columnRows.clear();
        for (qint64 i = first + from; i < first + to;) {
            while (i >= m_runStart.at(run + 1))
                ++run;
            const int segment = m_runSegment.at(run);
            qsizetype slot =
                std::find(columnSegments.cbegin(), columnSegments.cend(), segment) - columnSegments.cbegin();
            if (slot == columnSegments.size()) {
                columnSegments.append(segment);
                columnRows.append(RowDeltas{});
            }
            int* rows = columnRows[slot].data();
            const qint64 stop = std::min<qint64>(first + to, m_runStart.at(run + 1));
            for (; i < stop; ++i) {
                const quint16 span = rowsOfValue[data[i] + VALUE_OFFSET];
                ++rows[span & 0xff];
                --rows[span >> 8];
            }
        }

        QVarLengthArray<int, 4> layers(columnSegments.size(), 0);
        for (int row = 0; row < PICTURE_HEIGHT; ++row) {
            float red = qRed(BACKGROUND), green = qGreen(BACKGROUND), blue = qBlue(BACKGROUND);
            bool covered = false;
            for (qsizetype slot = 0; slot < columnSegments.size(); ++slot) {
                layers[slot] += columnRows[slot][row];
                if (layers[slot] <= 0)
                    continue;
                const int segment = columnSegments[slot];
                const QRgb color = segment < 0 ? defaultColor : m_segmentColor.at(segment);
                const float under = UNDER_LAYERS[std::min(layers[slot], MAX_LAYERS)];
                red = qRed(color) + (red - qRed(color)) * under;
                green = qGreen(color) + (green - qGreen(color)) * under;
                blue = qBlue(color) + (blue - qBlue(color)) * under;
                covered = true;
            }
            if (covered)
                reinterpret_cast<QRgb*>(image.scanLine(row))[column] =
                    qRgb(qRound(red), qRound(green), qRound(blue));
        }
    }
}
