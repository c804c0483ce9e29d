#include <QAbstractItemView>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

#include "GuiTest.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/Singleton.h"
#include "gui/widgets/QCSelectDisplayMode.h"
#include "gui/widgets/QComboBoxBpm.h"
#include "gui/widgets/QComboBoxDisplayFrequency.h"
#include "gui/widgets/QComboBoxInputBuffer.h"
#include "gui/widgets/QComboBoxOutputBuffer.h"
#include "gui/widgets/QComboBoxProcessingBuffer.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QCustomSlider.h"

namespace {

Performance* performance() {
    return Singleton::instance()->instancePerformance();
}

Mode* mode() {
    return Singleton::instance()->instanceMode();
}

QByteArray readConfig() {
    QFile file(Path::joinInput("config.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A setting combo and the value it owns in the shared state.
struct Owned {
    std::unique_ptr<QComboBox> combo;
    std::function<double()> value;
};

Owned make(const QString& kind, const QString& start) {
    using G = ModelGraph::EnumGraph;
    if (kind == "display")
        return {std::make_unique<QComboBoxDisplayFrequency>(start),
                [] { return performance()->displayFrequency(); }};
    if (kind == "inputA" || kind == "inputB") {
        const G input = kind == "inputA" ? ModelGraph::INPUT_A : ModelGraph::INPUT_B;
        return {std::make_unique<QComboBoxInputBuffer>(input, start),
                [input] { return performance()->inputBuffer(input); }};
    }
    if (kind == "output")
        return {std::make_unique<QComboBoxOutputBuffer>(start), [] { return performance()->outputBuffer(); }};
    if (kind == "processingA" || kind == "processingB") {
        const G input = kind == "processingA" ? ModelGraph::INPUT_A : ModelGraph::INPUT_B;
        return {std::make_unique<QComboBoxProcessingBuffer>(input, start),
                [input] { return performance()->processingBuffer(input); }};
    }
    if (kind == "bpm")
        return {std::make_unique<QComboBoxBpm>(), [] { return mode()->displayBPM(); }};
    return {std::make_unique<QCSelectDisplayMode>(), [] { return double(mode()->modeDisplay()); }};
}

} // namespace

// The setting combos: the value each shows is the value the shared state holds, from construction on.
class TestCombos : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startValue_data();
    void startValue();
    void choice_data();
    void choice();
    void wheelChangesNothing_data();
    void wheelChangesNothing();
    void listRefillsBeforeItOpens();
};

void TestCombos::initTestCase() {
    Singleton::instance(); // writes the default config.ini
}

void TestCombos::startValue_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("value");
    const auto row = [](const char* name, const char* kind, const char* start, const char* shown,
                        double value) {
        QTest::newRow(name) << QString(kind) << QString(start) << QString(shown) << value;
    };
    row("display default", "display", "", "120", 1000.0 / 120);
    row("display 60", "display", "60", "60", 1000.0 / 60);
    row("input A unknown", "inputA", "100", "128", 128);
    row("input B 2048", "inputB", "2048", "2048", 2048);
    row("output default", "output", "", "128", 128);
    row("output 512", "output", "512", "512", 512);
    row("processing B default", "processingB", "", "300", 300);
    row("processing A 75", "processingA", "75", "75", 75);
    row("processing A garbage", "processingA", "-1e9", "600", 600);
    row("beats", "bpm", "", "8", 8);
    row("display mode", "mode", "", "Normal", ModelDisplay::NORMAL);
}

void TestCombos::startValue() {
    QFETCH(QString, kind);
    QFETCH(QString, start);
    // The other input's value must stay as it is.
    performance()->setProcessingBuffer(ModelGraph::INPUT_A, 11);
    performance()->setProcessingBuffer(ModelGraph::INPUT_B, 22);
    mode()->setDisplayBPM(0);
    mode()->setModeDisplay(ModelDisplay::DRUMMING);
    const QByteArray config = readConfig();

    Owned setting = make(kind, start);
    QTEST(setting.combo->currentText(), "shown");
    QTEST(setting.value(), "value");
    QCOMPARE(readConfig(), config);
    if (kind == "processingB")
        QCOMPARE(performance()->processingBuffer(ModelGraph::INPUT_A), 11.0);
    if (kind == "processingA")
        QCOMPARE(performance()->processingBuffer(ModelGraph::INPUT_B), 22.0);
}

void TestCombos::choice_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("pick"); // an entry text, or "save:<text>" for a direct call of save
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("announced");
    const auto row = [](const char* name, const char* kind, const char* pick, double value, int announced) {
        QTest::newRow(name) << QString(kind) << QString(pick) << value << announced;
    };
    row("input buffer 1024", "inputB", "1024", 1024, 1);
    row("processing 50", "processingA", "50", 50, 1);
    row("display 30", "display", "30", 1000.0 / 30, 1);
    row("beats 32", "bpm", "32", 32, 1);
    row("not an entry", "output", "100", 128, 0);
    row("Drumming", "mode", "Drumming", ModelDisplay::DRUMMING, 1);
    // Nothing not above 0 reaches the shared state.
    row("save 0", "inputA", "save:0", 128, 0);
    row("save negative", "output", "save:-256", 128, 0);
    row("save text", "processingB", "save:fast", 300, 0);
    row("save beyond 32 bits", "bpm", "save:4294967304", 8, 0);
    row("save display 0", "display", "save:0", 1000.0 / 120, 0);
}

void TestCombos::choice() {
    QFETCH(QString, kind);
    QFETCH(QString, pick);
    Owned setting = make(kind, QString());
    QSignalSpy announced(setting.combo.get(),
                         kind == "mode" ? SIGNAL(s_Indexchanged()) : SIGNAL(s_Textchanged()));
    if (pick.startsWith("save:"))
        QVERIFY(QMetaObject::invokeMethod(setting.combo.get(), "save", Q_ARG(QString, pick.mid(5))));
    else
        setting.combo->setCurrentText(pick);
    QTEST(setting.value(), "value");
    QTEST(int(announced.size()), "announced");
}

void TestCombos::wheelChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"display", "inputA", "output", "processingB", "bpm", "mode", "custom", "slider"})
        QTest::newRow(kind) << QString(kind);
}

void TestCombos::wheelChangesNothing() {
    QFETCH(QString, kind);
    std::unique_ptr<QWidget> control;
    if (kind == "slider") {
        auto* slider = new QCustomSlider(Qt::Horizontal);
        slider->setValue(50);
        control.reset(slider);
    } else if (kind == "custom") {
        auto* combo = new QCustomComboBox;
        combo->addItems({"one", "two", "three"});
        combo->setCurrentIndex(1);
        control.reset(combo);
    } else {
        control = make(kind, QString()).combo;
    }
    const auto shown = [&] {
        auto* slider = qobject_cast<QAbstractSlider*>(control.get());
        return slider ? slider->value() : static_cast<QComboBox*>(control.get())->currentIndex();
    };
    const int before = shown();
    for (int delta : {120, -120, -120}) {
        const QPointF at = QRectF(control->rect()).center();
        QWheelEvent wheel(at, at, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(control.get(), &wheel);
        // Ignored, so the application hands it on to the parent (a scroll area scrolls the page).
        QVERIFY(!wheel.isAccepted());
    }
    QCOMPARE(shown(), before);
}

void TestCombos::listRefillsBeforeItOpens() {
    QCustomComboBox combo;
    combo.addItem("old device");
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    bool visibleAtSignal = true;
    connect(&combo, &QCustomComboBox::s_ShowPopup, &combo, [&] {
        visibleAtSignal = combo.view()->isVisible();
        combo.clear();
        combo.addItems({"device 1", "device 2"});
    });
    QSignalSpy hides(&combo, &QCustomComboBox::s_HidePopup);
    combo.showPopup();
    QVERIFY(!visibleAtSignal);
    QVERIFY(combo.view()->isVisible());
    QCOMPARE(combo.view()->model()->rowCount(), 2);
    combo.hidePopup();
    QCOMPARE(hides.size(), 1);
}

QUILLON_GUI_TEST_MAIN(TestCombos)
#include "tst_Combos.moc"
