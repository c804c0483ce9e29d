#include <QtTest>

#include <climits>
#include <cmath>

#include "Artifacts.h"
#include "GuiTest.h"
#include "core/QWav.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "gui/graph/QWPainterWav.h"

using Segments = QWPainterWav::Segments;

class TestQWPainterWav : public QObject {
    Q_OBJECT

private slots:
    void amplitudes_data();
    void amplitudes();
    void pixels_data();
    void pixels();
    void areaPicturesInOrder();
    void degenerateSounds_data();
    void degenerateSounds();
};

namespace {

const QColor RED(208, 0, 24);
const QColor BLUE(1, 194, 193);
const QColor GREEN(0, 200, 0);
const QColor GREY(175, 176, 177);
const QColor BACKGROUND(43, 43, 43);

void setSound(QList<qint16> samples, int channels = 1) {
    QList<QList<qint16>> lists;
    if (channels > 0)
        lists.append(samples);
    Singleton::instance()->instanceWavPhrasing()->setWavPhrasing(
        ModelGraph::INPUT_A, std::make_shared<const QWav>(44100, channels, lists));
}

// Quiet samples (±250) between one loud pair (±1000): quiet bars span rows 37 to 62 of 100.
QList<qint16> quiet(int count) {
    QList<qint16> samples(count);
    for (int i = 0; i < count; ++i)
        samples[i] = qint16(i < 2 ? (i ? 1000 : -1000) : (i % 2 ? 250 : -250));
    return samples;
}

Segments segments(const QList<std::tuple<int, int, QColor>>& list) {
    Segments result;
    for (const auto& [first, end, color] : list)
        result.append({{first, end}, color});
    return result;
}

} // namespace

void TestQWPainterWav::amplitudes_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("entries");
    // The samples the first and the last entry are taken from (the last of each group).
    QTest::addColumn<int>("firstSource");
    QTest::addColumn<int>("lastSource");
    QTest::newRow("one sample") << 1 << 0 << 0 << 0;
    QTest::newRow("two samples") << 2 << 2 << 0 << 1;
    QTest::newRow("2700") << 2700 << 2700 << 0 << 2699;
    QTest::newRow("4000 keeps one per sample") << 4000 << 4000 << 0 << 3999;
    QTest::newRow("8100 in threes") << 8100 << 2700 << 2 << 8099;
    QTest::newRow("8101 adds the last") << 8101 << 2701 << 2 << 8100;
}

void TestQWPainterWav::amplitudes() {
    QFETCH(int, count);
    QFETCH(int, entries);
    QFETCH(int, firstSource);
    QFETCH(int, lastSource);
    // Every sample tells its index: i % 1000 - 500, so the scale is 100 / 999 (or 100 below 1000).
    QList<qint16> samples(count);
    for (int i = 0; i < count; ++i)
        samples[i] = qint16(i % 1000 - 500);
    setSound(samples);
    const Segments none;
    QWPainterWav wav(ModelGraph::INPUT_A);
    QVERIFY(wav.listDataDraw().isEmpty());
    wav.refresh(&none);
    const QList<QPointF>& list = wav.listDataDraw();
    QCOMPARE(list.size(), entries);
    if (entries == 0)
        return;
    const double scale = 100.0 / (count >= 1000 ? 999 : count - 1);
    QCOMPARE(list.first(),
             QPointF(-std::abs(samples[firstSource] * scale), std::abs(samples[firstSource] * scale)));
    QCOMPARE(list.last().y(), std::abs(samples[lastSource] * scale));
}

void TestQWPainterWav::pixels_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<Segments>("segments");
    QTest::addColumn<int>("picture"); // -1: the full picture
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("layers"); // bars stacked on the pixel, each at 30 %

    const Segments one = segments({{1000, 2000, RED}});
    const Segments overlap = segments({{1000, 2000, RED}, {1500, 2500, BLUE}});
    const Segments hostile = segments({{-500, 300, RED}, {2600, 99999, BLUE}, {INT_MIN, INT_MAX, GREEN}});
    QTest::newRow("outside every area") << 2700 << one << -1 << 500 << 50 << GREY << 1;
    QTest::newRow("inside an area") << 2700 << one << -1 << 1500 << 50 << RED << 1;
    QTest::newRow("above a quiet bar") << 2700 << one << -1 << 500 << 36 << BACKGROUND << 0;
    QTest::newRow("quiet bar bottom") << 2700 << one << -1 << 500 << 62 << GREY << 1;
    QTest::newRow("loud bar fills") << 2700 << one << -1 << 1 << 99 << GREY << 1;
    QTest::newRow("area picture spans") << 2700 << one << 0 << 2699 << 50 << RED << 1;
    QTest::newRow("overlap, full") << 2700 << overlap << -1 << 1800 << 50 << RED << 1;
    QTest::newRow("after overlap, full") << 2700 << overlap << -1 << 2200 << 50 << BLUE << 1;
    QTest::newRow("overlap, later area") << 2700 << overlap << 1 << 500 << 50 << RED << 1;
    QTest::newRow("after overlap, later area") << 2700 << overlap << 1 << 2000 << 50 << BLUE << 1;
    QTest::newRow("below 0") << 2700 << hostile << -1 << 100 << 50 << RED << 1;
    QTest::newRow("beyond the end") << 2700 << hostile << -1 << 2650 << 50 << BLUE << 1;
    QTest::newRow("whole range") << 2700 << hostile << -1 << 1000 << 50 << GREEN << 1;
    QTest::newRow("whole range, own area") << 2700 << hostile << 2 << 1000 << 50 << GREEN << 1;
    QTest::newRow("reversed range, area")
        << 2700 << segments({{2000, 1000, RED}}) << 0 << 1500 << 50 << BACKGROUND << 0;
    // The picture spans the whole sound: sample 2000 of 4000 sits at the middle column.
    const Segments secondHalf = segments({{2000, 4000, RED}});
    QTest::newRow("4000, before the middle") << 4000 << secondHalf << -1 << 1349 << 50 << GREY << 2;
    QTest::newRow("4000, after the middle") << 4000 << secondHalf << -1 << 1351 << 50 << RED << 1;
    QTest::newRow("4000, last column") << 4000 << secondHalf << -1 << 2699 << 50 << RED << 2;
}

void TestQWPainterWav::pixels() {
    QFETCH(int, count);
    QFETCH(Segments, segments);
    QFETCH(int, picture);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QColor, color);
    QFETCH(int, layers);
    setSound(quiet(count));
    QWPainterWav wav(ModelGraph::INPUT_A);
    wav.refresh(&segments);
    const QImage& image = picture < 0 ? wav.fullImage() : wav.areaImage(picture);
    QCOMPARE(image.size(), QSize(2700, 100));
    const QColor pixel = image.pixelColor(x, y);
    const double under = std::pow(0.7, layers);
    const QColor expected(qRound(color.red() + (43 - color.red()) * under),
                          qRound(color.green() + (43 - color.green()) * under),
                          qRound(color.blue() + (43 - color.blue()) * under));
    // One unit for rounding.
    QVERIFY2(std::abs(pixel.red() - expected.red()) <= 1 && std::abs(pixel.green() - expected.green()) <= 1 &&
                 std::abs(pixel.blue() - expected.blue()) <= 1,
             qPrintable(pixel.name() + " instead of " + expected.name()));
}

void TestQWPainterWav::areaPicturesInOrder() {
    // Three seconds of a rising tone under four areas of different sizes.
    QList<qint16> samples(3 * 44100);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = qint16(30000.0 * (double(i) / samples.size()) * std::sin(i * 0.05));
    setSound(samples);
    const QList<QColor> colors{RED, BLUE, GREEN, QColor(254, 194, 0)};
    const Segments four = segments({{0, 10000, colors[0]},
                                    {10000, 70000, colors[1]},
                                    {80000, 81000, colors[2]},
                                    {90000, 132300, colors[3]}});
    QWPainterWav wav(ModelGraph::INPUT_A);
    wav.refresh(&four);
    QCOMPARE(wav.areaImageCount(), 4);
    for (int k = 0; k < 4; ++k) {
        // The middle of each area picture, at the baseline, leans to its area's colour.
        const QColor pixel = wav.areaImage(k).pixelColor(1350, 50);
        const QColor color = colors[k];
        QVERIFY2((pixel.red() > 43) == (color.red() > 43) && (pixel.green() > 43) == (color.green() > 43) &&
                     (pixel.blue() > 43) == (color.blue() > 43),
                 qPrintable(QStringLiteral("area %1: %2").arg(k).arg(pixel.name())));
    }
    QVERIFY(wav.areaImage(4).isNull());
    QVERIFY(wav.areaImage(-1).isNull());
    QVERIFY(!Artifacts::save(wav.fullImage(), "waveform-full").isEmpty());
    QVERIFY(!Artifacts::save(wav.areaImage(1), "waveform-area").isEmpty());
}

void TestQWPainterWav::degenerateSounds_data() {
    QTest::addColumn<QList<qint16>>("samples");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("segmentList");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("coveredRow"); // at column 0 of the full picture; -1: plain background

    const QList<qint16> flat(5000, qint16(-7));
    QTest::newRow("no segment list") << quiet(2700) << 1 << false << 0 << -1;
    QTest::newRow("no channel") << QList<qint16>() << 0 << true << 0 << -1;
    QTest::newRow("no sample") << QList<qint16>() << 1 << true << 0 << -1;
    QTest::newRow("one sample") << QList<qint16>{1234} << 1 << true << 0 << -1;
    // A scale of 0: flat bars on the baseline.
    QTest::newRow("equal smallest and largest") << flat << 1 << true << 5000 << 50;
}

void TestQWPainterWav::degenerateSounds() {
    QFETCH(QList<qint16>, samples);
    QFETCH(int, channels);
    QFETCH(bool, segmentList);
    QFETCH(int, entries);
    QFETCH(int, coveredRow);
    setSound(samples, channels);
    const Segments hostile = segments({{-100, 5, RED}, {INT_MIN, INT_MAX, BLUE}, {3, 2, GREEN}, {0, 1, RED}});
    QWPainterWav wav(ModelGraph::INPUT_A);
    wav.refresh(segmentList ? &hostile : nullptr);
    QCOMPARE(wav.listDataDraw().size(), entries);
    QCOMPARE(wav.areaImageCount(), segmentList ? 4 : 0);
    const QImage& full = wav.fullImage();
    QCOMPARE(full.size(), QSize(2700, 100));
    for (int y = 0; y < 100; ++y)
        QCOMPARE(full.pixelColor(0, y) == BACKGROUND, y != coveredRow);
}

QUILLON_GUI_TEST_MAIN(TestQWPainterWav)
#include "tst_QWPainterWav.moc"
