#include <QtTest>

#include <climits>
#include <cmath>

#include "TestSandbox.h"
#include "gui/graph/GraphWindow.h"

// The window arithmetic of the graph, row by row.
class TestGraphWindow : public QObject {
    Q_OBJECT

private slots:
    void acceptsXRange_data();
    void acceptsXRange();
    void yMargin_data();
    void yMargin();
    void steps_data();
    void steps();
    void zoomInThenOut();
    void gridValues_data();
    void gridValues();
    void formatLargeNumber_data();
    void formatLargeNumber();
};

void TestGraphWindow::acceptsXRange_data() {
    QTest::addColumn<qint64>("a");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<double>("beat");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("one beat") << 0LL << 1000LL << 1000.7 << false;
    QTest::newRow("one beat and a sample") << 0LL << 1001LL << 1000.7 << true;
    QTest::newRow("given the other way round") << 1001LL << 0LL << 1000.7 << true;
    QTest::newRow("36000 beats") << 0LL << 36'000'000LL << 1000.0 << false;
    QTest::newRow("36000 beats less a sample") << -5LL << 35'999'994LL << 1000.0 << true;
    QTest::newRow("less than a sample per beat") << 0LL << 10LL << 0.9 << false;
    QTest::newRow("tempo not a number") << 0LL << 10'000LL << std::nan("") << false;
    // 36000 beats at 96 kHz and 50 BPM are 4 147 200 000 samples: beyond 32 bits.
    QTest::newRow("96 kHz at 50 BPM") << 0LL << 4'000'000'000LL << 115200.0 << true;
}

void TestGraphWindow::acceptsXRange() {
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    QFETCH(double, beat);
    QTEST(GraphWindow::acceptsXRange(a, b, beat), "accepted");
}

void TestGraphWindow::yMargin_data() {
    QTest::addColumn<GraphWindow::Range>("data");
    QTest::addColumn<GraphWindow::Range>("current");
    QTest::addColumn<GraphWindow::Range>("expected");
    QTest::newRow("span 150") << GraphWindow::Range{100, 250} << GraphWindow::Range{0, 0} << GraphWindow::Range{70, 320};
    QTest::newRow("[0, 1000] in a window that misses it")
        << GraphWindow::Range{0, 1000} << GraphWindow::Range{500, 600} << GraphWindow::Range{-150, 1350};
    // A bound that already frames the data within the full margin stays.
    QTest::newRow("[0, 200] from the start") << GraphWindow::Range{0, 200} << GraphWindow::Range{0, 0}
                                             << GraphWindow::Range{0, 270};
    // Still framed within the full margin: no jitter.
    QTest::newRow("widening to [-100, 1000]")
        << GraphWindow::Range{-100, 1000} << GraphWindow::Range{-150, 1350} << GraphWindow::Range{-150, 1350};
    QTest::newRow("data above the window")
        << GraphWindow::Range{0, 2000} << GraphWindow::Range{-150, 1350} << GraphWindow::Range{-150, 2700};
}

void TestGraphWindow::yMargin() {
    QFETCH(GraphWindow::Range, data);
    QFETCH(GraphWindow::Range, current);
    QTEST(GraphWindow::yRangeWithMargin(data, current), "expected");
}

void TestGraphWindow::steps_data() {
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("xStep");
    QTest::addColumn<double>("yStep");
    const double p = 32000.0;
    // X: the first of 1, 4, 10, 60, 600 beats above 1/80 of the window; Y: the first power of ten
    // above 1/20 of the window.
    QTest::newRow("8 beats") << 8 * p << p << 1e5;
    QTest::newRow("48 beats") << 48 * p << p << 1e5;
    QTest::newRow("80 beats") << 80 * p << 4 * p << 1e6;
    QTest::newRow("800 beats") << 800 * p << 60 * p << 1e7;
    QTest::newRow("50000 beats") << 50000 * p << 3600 * p << 1e8;
    QTest::newRow("199") << 199.0 << p << 10.0;
    QTest::newRow("200") << 200.0 << p << 100.0;
    QTest::newRow("10^12") << 1e12 << 3600 * p << 1e9;
}

void TestGraphWindow::steps() {
    QFETCH(double, span);
    QTEST(GraphWindow::xStep(-1000, qint64(span) - 1000, 32000.0), "xStep");
    QTEST(GraphWindow::yStep(-100.0, span - 100.0), "yStep");
}

// One step in and one out: 0.5 × 1.5 of the width, the sample under the cursor in place.
void TestGraphWindow::zoomInThenOut() {
    const GraphWindow::Range start{100'000, 500'000};
    const double c = 200'000;
    const GraphWindow::Range in = GraphWindow::zoomIn(start, c);
    const GraphWindow::Range out = GraphWindow::zoomOut(in, c);
    QCOMPARE(out.max - out.min, 0.75 * (start.max - start.min));
    QCOMPARE((c - out.min) / (out.max - out.min), (c - start.min) / (start.max - start.min));
}

void TestGraphWindow::gridValues_data() {
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("across zero") << 10.0 << -25.0 << 25.9 << -20LL << 5;
    QTest::newRow("step below 1") << 0.5 << 0.0 << 10.0 << 0LL << 0;
    // A grid that would fill the plot is not computed line by line.
    QTest::newRow("too many lines") << 1.0 << 0.0 << 1e15 << 0LL << 0;
    QTest::newRow("window not a number") << 10.0 << std::nan("") << 100.0 << 0LL << 11;
}

void TestGraphWindow::gridValues() {
    QFETCH(double, step);
    QFETCH(double, a);
    QFETCH(double, b);
    const GraphWindow::Grid grid = GraphWindow::gridValues(step, a, b);
    QTEST(grid.count, "count");
    if (grid.count > 0)
        QTEST(grid.first, "first");
}

void TestGraphWindow::formatLargeNumber_data() {
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0LL << "0";
    QTest::newRow("2000") << 2000LL << "2k";
    QTest::newRow("1500") << 1500LL << "1500";
    QTest::newRow("1500000") << 1'500'000LL << "1500k";
    QTest::newRow("-3000000") << -3'000'000LL << "-3m";
    QTest::newRow("5000000000") << 5'000'000'000LL << "5g";
    QTest::newRow("10^12") << 1'000'000'000'000LL << "1t";
    QTest::newRow("1000500") << 1'000'500LL << "1000500";
    QTest::newRow("most negative") << LLONG_MIN << "-9223372036854775808";
}

void TestGraphWindow::formatLargeNumber() {
    QFETCH(qint64, n);
    QTEST(GraphWindow::formatLargeNumber(n), "text");
}

QUILLON_TEST_MAIN(TestGraphWindow)
#include "tst_GraphWindow.moc"
