#include <QPainter>
#include <QtTest>

#include <cmath>

#include "Artifacts.h"
#include "GuiTest.h"
#include "gui/graph/CurveFold.h"
#include "gui/graph/CurveRaster.h"

// The curve layer against QPainter drawing the same lines one by one, as the graph would without it.
class TestCurveRaster : public QObject {
    Q_OBJECT

private slots:
    void matchesQPainter_data();
    void matchesQPainter();
    void highDensityScreen();
};

namespace {

const QColor BACKGROUND(43, 43, 43);

struct Stroke {
    QPointF a, b;
    QColor colour;
    int width;
};

// A scratch-like polyline with `perPixel` points per pixel column, changing colour and width in runs.
QList<Stroke> scratch(double perPixel) {
    QList<Stroke> strokes;
    const int n = int(560 * perPixel);
    QPointF previous;
    for (int i = 0; i < n; ++i) {
        const double x = 20 + i / perPixel;
        const QPointF p(x, 120 + 80 * std::sin(x * 0.05) + 15 * std::sin(x * 0.4));
        if (i > 0) {
            const int run = i / 37 % 3;
            const QColor colour = run == 0 ? QColor(208, 0, 24) : run == 1 ? QColor(254, 194, 0) : QColor(1, 194, 193);
            strokes.append({previous, p, colour, run == 2 ? 1 : 8});
        }
        previous = p;
    }
    return strokes;
}

} // namespace

void TestCurveRaster::matchesQPainter_data() {
    QTest::addColumn<double>("perPixel");
    QTest::addColumn<int>("percent");
    QTest::newRow("sparse") << 0.3 << 1;
    QTest::newRow("one per column") << 1.0 << 1;
    // Drawn one segment at a time, overlapping edges are blended again and again and grow opaque: the
    // reference is up to a pixel bolder along dense stretches than the stroke itself.
    QTest::newRow("dense") << 25.0 << 8;
}

void TestCurveRaster::matchesQPainter() {
    QFETCH(double, perPixel);
    QFETCH(int, percent);
    const QList<Stroke> strokes = scratch(perPixel);
    QImage expected(600, 240, QImage::Format_ARGB32_Premultiplied);
    expected.fill(BACKGROUND);
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const Stroke& s : strokes) {
            painter.setPen(QPen(s.colour, s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawLine(s.a, s.b);
        }
    }
    QImage actual(expected.size(), QImage::Format_ARGB32_Premultiplied);
    actual.fill(BACKGROUND);
    CurveRaster raster;
    CurveFold fold(raster);
    raster.begin(actual.size(), 1.0);
    fold.begin();
    for (const Stroke& s : strokes)
        fold.line(s.a, s.b, {s.colour.rgba(), double(s.width)});
    fold.flush();
    raster.finish();
    {
        QPainter painter(&actual);
        raster.compose(painter);
    }
    // Pixels whose colour differs by more than an edge's worth of antialiasing.
    int covered = 0, off = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb e = expected.pixel(x, y), a = actual.pixel(x, y);
            covered += e != BACKGROUND.rgb();
            const int d = std::max({std::abs(qRed(e) - qRed(a)), std::abs(qGreen(e) - qGreen(a)), std::abs(qBlue(e) - qBlue(a))});
            off += d > 96;
        }
    }
    Artifacts::save(expected, QStringLiteral("raster-%1-qpainter").arg(perPixel));
    Artifacts::save(actual, QStringLiteral("raster-%1-layer").arg(perPixel));
    QVERIFY2(off * 100 < covered * percent, qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(off).arg(covered)));
}

// On a screen of two device pixels per logical one, the layer composes where the same drawing in device
// pixels does: a thin rising curve, a band below it and a curve starting on an odd device column, each
// composed by the bands of rows it touched, then scrolled by an odd number of device columns.
void TestCurveRaster::highDensityScreen() {
    const QSize size(300, 200);
    auto draw = [&](double dpr, double scale) {
        QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        CurveRaster raster;
        CurveFold fold(raster);
        for (qint64 origin : {0, 7}) {
            image.fill(BACKGROUND);
            raster.begin(size * 2 / dpr, dpr, origin);
            fold.begin();
            for (int i = 0; i < 290; ++i)
                fold.line(QPointF(5 + i, 180 - i * 0.6) * scale, QPointF(6 + i, 180 - (i + 1) * 0.6) * scale,
                          {qRgb(254, 194, 0), 2.0 * scale});
            fold.flush();
            raster.fillRect(QRect(QPoint(0, 190) * scale, QSize(300, 6) * scale), qRgba(0, 120, 0, 200));
            fold.line(QPointF(40.5, 20) * scale, QPointF(140.5, 60) * scale, {qRgb(1, 194, 193), 1.0 * scale});
            fold.flush();
            raster.finish();
            QPainter painter(&image);
            raster.compose(painter);
        }
        image.setDevicePixelRatio(1.0);
        return image;
    };
    const QImage logical = draw(2.0, 1.0);
    const QImage device = draw(1.0, 2.0);
    QCOMPARE(logical, device);
    // Not an empty picture: the band and the curve are there.
    QVERIFY(logical.pixel(300, 385) != BACKGROUND.rgb());
    QVERIFY(logical.pixel(10, 361) != BACKGROUND.rgb() || logical.pixel(12, 359) != BACKGROUND.rgb());
}

QUILLON_GUI_TEST_MAIN(TestCurveRaster)
#include "tst_CurveRaster.moc"
