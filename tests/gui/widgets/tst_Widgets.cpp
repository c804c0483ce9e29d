#include <QAbstractItemView>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

#include "Artifacts.h"
#include "GuiTest.h"
#include "TestFiles.h"
#include "core/Constant.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/Singleton.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QB2PushDark.h"
#include "gui/widgets/QBIconPush.h"
#include "gui/widgets/QBMidiLearn.h"
#include "gui/widgets/QBPush.h"
#include "gui/widgets/QBPushDark.h"
#include "gui/widgets/QBPushMenu.h"
#include "gui/widgets/QBPushMenuNoLabel.h"
#include "gui/widgets/QBSelectInput.h"
#include "gui/widgets/QBToggle.h"
#include "gui/widgets/QBToggleCircular.h"
#include "gui/widgets/QCSelectDisplayMode.h"
#include "gui/widgets/QComboBoxBpm.h"
#include "gui/widgets/QComboBoxDisplayFrequency.h"
#include "gui/widgets/QComboBoxInputBuffer.h"
#include "gui/widgets/QComboBoxOutputBuffer.h"
#include "gui/widgets/QComboBoxProcessingBuffer.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QCustomSlider.h"
#include "gui/widgets/QDLed.h"
#include "gui/widgets/QWRotationLabel.h"

namespace {

std::unique_ptr<QPushButton> makeButton(const QString& kind) {
    if (kind == "QBPush")
        return std::make_unique<QBPush>("next.png");
    if (kind == "QBPushDark")
        return std::make_unique<QBPushDark>("close.png");
    if (kind == "QB2Push")
        return std::make_unique<QB2Push>("play-button.png", "pause-button.png");
    if (kind == "QB2PushDark")
        return std::make_unique<QB2PushDark>("play-button.png", "pause-button.png");
    if (kind == "QBToggle")
        return std::make_unique<QBToggle>("record.png");
    if (kind == "QBToggleCircular")
        return std::make_unique<QBToggleCircular>("hold.png");
    if (kind == "QBMidiLearn")
        return std::make_unique<QBMidiLearn>();
    return std::make_unique<QBPushMenuNoLabel>("option.png");
}

// Whether the button shows the embedded picture `name` (trivially true for a picture the resources lack).
bool shows(const QAbstractButton* button, const QString& name) {
    const QSize size = button->iconSize();
    return button->icon().pixmap(size).toImage() ==
           QIcon(Path::joinResourceIcon(name)).pixmap(size).toImage();
}

Performance* performance() {
    return Singleton::instance()->instancePerformance();
}

Mode* mode() {
    return Singleton::instance()->instanceMode();
}

QByteArray readConfig() {
    return TestFiles::read(Path::joinInput("config.ini"));
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

enum State { Normal, Checked, Hovered, Disabled };

// One widget of each class in the given state.
QList<QWidget*> widgetsIn(State state) {
    QList<QWidget*> widgets;
    for (const char* kind :
         {"QBPush", "QBPushDark", "QB2Push", "QB2PushDark", "QBToggle", "QBToggleCircular", "QBMidiLearn"})
        widgets << makeButton(kind).release();
    auto* selector = new QBSelectInput;
    auto* led = new QDLed("metronom.png");
    auto* menu = new QBPushMenu(ModelActivatedMode::Looper, "musical-disc-and-dj-hand.png");
    QComboBox* bpm = make("bpm", "").combo.release();
    QComboBox* display = make("mode", "").combo.release();
    auto* custom = new QCustomComboBox;
    custom->setObjectName("big");
    custom->addItems({"generic_V2", "serato_2a"});
    auto* slider = new QCustomSlider(Qt::Horizontal);
    slider->setRange(50, 200);
    slider->setFixedWidth(120);
    auto* volume = new QCustomSlider(Qt::Vertical);
    volume->setObjectName("volume");
    widgets << selector << led << menu << makeButton("QBPushMenuNoLabel").release() << bpm << display
            << custom << slider << volume;
    for (const auto& [kind, start] :
         {std::pair{"display", ""}, {"inputA", "256"}, {"output", ""}, {"processingA", ""}})
        widgets << make(kind, start).combo.release();
    slider->setValue(state == Checked ? 160 : 90);
    volume->setValue(state == Checked ? 90 : 50);
    if (state == Checked) {
        for (QWidget* widget : widgets) {
            if (auto* button = qobject_cast<QPushButton*>(widget); button && button->isCheckable())
                button->setChecked(true);
        }
        static_cast<QB2Push*>(widgets[2])->checked(); // a flag of its own, not Qt's checked state
        static_cast<QB2PushDark*>(widgets[3])->checked();
        selector->toggleState();
        led->trigger();
        bpm->setCurrentText("32");
        display->setCurrentIndex(2);
    }
    if (state == Hovered)
        GuiTest::hover(menu, true);
    for (QWidget* widget : widgets)
        widget->setEnabled(widget->isEnabled() && state != Disabled);
    return widgets;
}

} // namespace

// The tool-bar, panel and side-menu buttons: which presses act, what they announce, and what they keep;
// the setting combos: the value each shows is the value the shared state holds, from construction on;
// then every button, toggle, lamp, menu entry, combo and slider under the application's style sheet.
class TestWidgets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Singleton::instance(); // writes the default config.ini
    }

    void press_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("button"); // 0: mouseClick()
        QTest::addColumn<int>("pushes");
        QTest::newRow("push left") << "QBPush" << true << int(Qt::LeftButton) << 1;
        QTest::newRow("push right") << "QBPush" << true << int(Qt::RightButton) << 0;
        QTest::newRow("push disabled left") << "QBPush" << false << int(Qt::LeftButton) << 0;
        QTest::newRow("push disabled mouseClick") << "QBPush" << false << 0 << 0;
        QTest::newRow("push mouseClick") << "QBPush" << true << 0 << 1;
        QTest::newRow("dark left") << "QBPushDark" << true << int(Qt::LeftButton) << 1;
        QTest::newRow("dark disabled mouseClick") << "QBPushDark" << false << 0 << 0;
        QTest::newRow("2push right") << "QB2Push" << true << int(Qt::RightButton) << 1;
        QTest::newRow("2push mouseClick") << "QB2Push" << true << 0 << 1;
        QTest::newRow("2push dark left") << "QB2PushDark" << true << int(Qt::LeftButton) << 1;
        QTest::newRow("menu icon right") << "QBPushMenuNoLabel" << true << int(Qt::RightButton) << 1;
    }

    void press() {
        QFETCH(QString, kind);
        QFETCH(bool, enabled);
        QFETCH(int, button);
        for (bool checked : {false, true}) {
            std::unique_ptr<QPushButton> widget = makeButton(kind);
            auto* twoPictures = qobject_cast<QB2Push*>(widget.get());
            if (twoPictures)
                twoPictures->setChecked(checked);
            widget->setEnabled(enabled);
            QSignalSpy pushes(widget.get(), SIGNAL(s_push()));
            QSignalSpy clicks(widget.get(), &QAbstractButton::clicked);
            if (button == 0) {
                QVERIFY(QMetaObject::invokeMethod(widget.get(), "mouseClick"));
            } else {
                QTest::mousePress(widget.get(), Qt::MouseButton(button));
                QCOMPARE(widget->isDown(), false);
                QTest::mouseRelease(widget.get(), Qt::MouseButton(button));
            }
            QTEST(int(pushes.size()), "pushes");
            QCOMPARE(clicks.size(), 0);
            if (twoPictures) {
                QCOMPARE(twoPictures->isChecked(), checked);
                QVERIFY(shows(twoPictures, checked ? "pause-button.png" : "play-button.png"));
            }
        }
    }

    void toggle_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("startChecked");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("ons");
        QTest::addColumn<int>("offs");
        for (const char* kind : {"QBToggle", "QBToggleCircular", "QBMidiLearn"}) {
            const QString k = kind;
            QTest::addRow("%s toggle_on when on", kind) << k << true << true << "toggle_on" << true << 0 << 0;
            QTest::addRow("%s toggle_on when off", kind)
                << k << false << true << "toggle_on" << true << 1 << 0;
            QTest::addRow("%s toggle_off when on", kind)
                << k << true << true << "toggle_off" << false << 0 << 1;
            QTest::addRow("%s left press when on", kind) << k << true << true << "left" << false << 0 << 1;
            QTest::addRow("%s left press when off", kind) << k << false << true << "left" << true << 1 << 0;
            QTest::addRow("%s right press", kind) << k << false << true << "right" << false << 0 << 0;
        }
        const QString toggle = "QBToggle", offIfEnabled = "toggleOffIfEnabled";
        QTest::newRow("toggleOffIfEnabled disabled")
            << toggle << true << false << offIfEnabled << true << 0 << 0;
        QTest::newRow("toggleOffIfEnabled enabled")
            << toggle << true << true << offIfEnabled << false << 0 << 1;
    }

    void toggle() {
        QFETCH(QString, kind);
        QFETCH(bool, startChecked);
        QFETCH(bool, enabled);
        QFETCH(QString, action);
        std::unique_ptr<QPushButton> widget = makeButton(kind);
        QCOMPARE(widget->isChecked(), false);
        widget->setChecked(startChecked);
        widget->setEnabled(enabled);
        QSignalSpy ons(widget.get(), SIGNAL(s_Toogle_on()));
        QSignalSpy offs(widget.get(), SIGNAL(s_Toogle_off()));
        if (action == "left" || action == "right")
            QTest::mouseClick(widget.get(), action == "left" ? Qt::LeftButton : Qt::RightButton);
        else
            QVERIFY(QMetaObject::invokeMethod(widget.get(), action.toLatin1().constData()));
        QTEST(widget->isChecked(), "checked");
        QTEST(int(ons.size()), "ons");
        QTEST(int(offs.size()), "offs");
    }

    void selectInputCycles() {
        Mode* mode = Singleton::instance()->instanceMode();
        mode->setInputText(ModelInput::UNDEFINED);
        QBSelectInput selector;
        QCOMPARE(mode->inputText(), ModelInput::TEXT_A);
        QSignalSpy values(&selector, &QBSelectInput::s_toogle_value);
        const std::pair<ModelInput::EnumInput, const char*> expected[] = {
            {ModelInput::TEXT_A_B, "switch_a_b_text.png"},
            {ModelInput::TEXT_B, "switch_b_text.png"},
            {ModelInput::TEXT_A_B, "switch_a_b_text.png"},
            {ModelInput::TEXT_A, "switch_a_text.png"}};
        for (const auto& [input, picture] : expected) {
            QTest::mouseClick(&selector, Qt::LeftButton);
            QCOMPARE(values.takeFirst().at(0).value<ModelInput::EnumInput>(), input);
            QCOMPARE(selector.currentInputText(), input);
            QCOMPARE(mode->inputText(), input);
            QVERIFY(shows(&selector, picture));
        }
        QTest::mouseClick(&selector, Qt::RightButton);
        selector.disabled();
        QTest::mouseClick(&selector, Qt::LeftButton);
        QCOMPARE(values.size(), 0);
        selector.refreshState();
        QCOMPARE(values.takeFirst().at(0).value<ModelInput::EnumInput>(), ModelInput::TEXT_A);
    }

    void ledGoesDark() {
        QDLed led("metronom.png");
        QVERIFY(!led.isEnabled());
        // Dark when a 200 ms timer started after the trigger fires. Timers that are due together fire in
        // the order they fall due, so this holds however late a busy machine gets to them.
        const auto darkAtTwiceTheLight = [&led] {
            QTimer later;
            later.setSingleShot(true);
            later.setTimerType(Qt::PreciseTimer);
            bool dark = false;
            connect(&later, &QTimer::timeout, &led, [&] { dark = !led.isEnabled(); });
            QSignalSpy fired(&later, &QTimer::timeout);
            later.start(200);
            return fired.wait(60'000) && dark;
        };
        led.trigger();
        QVERIFY(led.isEnabled());
        QTest::qWait(60);
        led.trigger();
        QVERIFY(darkAtTwiceTheLight());
        led.trigger();
        QVERIFY(led.isEnabled());
        QVERIFY(darkAtTwiceTheLight());
    }

    void authorPicture_data() {
        QTest::addColumn<QByteArray>("format"); // empty: no file; "text": not a picture
        QTest::addColumn<QSize>("fileSize");
        QTest::newRow("wide picture") << QByteArray("PNG") << QSize(400, 100);
        QTest::newRow("tall picture") << QByteArray("JPG") << QSize(50, 200);
        QTest::newRow("no file") << QByteArray() << QSize();
        QTest::newRow("not a picture") << QByteArray("text") << QSize();
    }

    void authorPicture() {
        QFETCH(QByteArray, format);
        QFETCH(QSize, fileSize);
        const QString path = Path::joinInput(Constant::Default::AUTHOR_FILE);
        QFile::remove(path);
        if (format == "text") {
            QVERIFY(TestFiles::write(path, "PK\x03\x04 not a picture"));
        } else if (!format.isEmpty()) {
            QImage image(fileSize, QImage::Format_RGB32);
            image.fill(Qt::red);
            QVERIFY(image.save(path, format.constData()));
        }
        // No file, or no picture in it: the default picture (empty while the resources lack it).
        const QSize shown =
            fileSize.isValid() ? fileSize : QPixmap(Path::joinResourceImage("LogoQuillon.png")).size();
        QBIconPush author("LogoQuillon.png");
        QCOMPARE(author.findChild<QLabel*>()->pixmap().size(),
                 shown.isEmpty() ? QSize(0, 0) : shown.scaled(200, 100, Qt::KeepAspectRatio));
        QSignalSpy pushes(&author, &QBIconPush::s_push);
        QTest::mouseClick(&author, Qt::RightButton);
        QCOMPARE(pushes.size(), 1);
        QFile::remove(path);
    }

    void startValue_data() {
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

    void startValue() {
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

    void choice_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("pick"); // an entry text, or "save:<text>" for a direct call of save
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("announced");
        const auto row = [](const char* name, const char* kind, const char* pick, double value,
                            int announced) {
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

    void choice() {
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

    void wheelChangesNothing_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"display", "inputA", "output", "processingB", "bpm", "mode", "custom", "slider"})
            QTest::newRow(kind) << QString(kind);
    }

    void wheelChangesNothing() {
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
            QWheelEvent wheel(at, at, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(control.get(), &wheel);
            // Ignored, so the application hands it on to the parent (a scroll area scrolls the page).
            QVERIFY(!wheel.isAccepted());
        }
        QCOMPARE(shown(), before);
    }

    void listRefillsBeforeItOpens() {
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

    void gallery() {
        GuiTest::applyAppearance();
        QWidget panel;
        panel.setAutoFillBackground(true);
        auto* grid = new QGridLayout(&panel);
        grid->setSpacing(8);
        const char* states[] = {"normal", "checked", "hovered", "disabled"};
        QWidget* hoveredMenu = nullptr;
        for (int row = 0; row < 4; ++row) {
            grid->addWidget(new QLabel(states[row]), row, 0);
            const QList<QWidget*> widgets = widgetsIn(State(row));
            for (int column = 0; column < widgets.size(); ++column)
                grid->addWidget(widgets[column], row, column + 1, Qt::AlignTop);
            if (row == Hovered)
                hoveredMenu = widgets[9];
        }
        grid->addWidget(new QBIconPush("LogoQuillon.png"), 4, 1, 1, 6, Qt::AlignLeft);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        // Each widget of the hovered row as if the pointer rested on it (buttons track it on moves).
        for (int column = 1; column < grid->columnCount(); ++column) {
            QWidget* widget = grid->itemAtPosition(Hovered, column)->widget();
            widget->setAttribute(Qt::WA_UnderMouse);
            const QPointF centre = QRectF(widget->rect()).center();
            QMouseEvent move(QEvent::MouseMove, centre, widget->mapToGlobal(centre), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &move);
        }
        QVERIFY(!Artifacts::save(&panel, "widgets").isEmpty());

        // A checked toggle wears the accent, an unchecked one does not; learning is red.
        const QImage picture = panel.grab().toImage();
        const auto probe = [&](int row, int index) {
            return picture.pixelColor(grid->itemAtPosition(row, index + 1)->widget()->geometry().topLeft() +
                                      QPoint(8, 25));
        };
        const auto tinted = [](const QColor& c) {
            return c.green() > c.red() + 20 && c.blue() > c.red() + 20;
        };
        QVERIFY2(tinted(probe(Checked, 4)) && !tinted(probe(Normal, 4)),
                 "a checked toggle looks like an unchecked one");
        QVERIFY(probe(Checked, 6).red() > 150 && probe(Checked, 6).green() < 120);

        // Disabled: a white picture fades well towards the ground, and the sliders lose the accent
        // (the horizontal one left of its handle, the fader below it).
        const auto brightest = [&](int row, int index) {
            const QRect area = grid->itemAtPosition(row, index + 1)->widget()->geometry();
            int most = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    most = qMax(most, qGray(picture.pixel(x, y)));
            return most;
        };
        for (int index : {0, 1, 2, 3, 5})
            QVERIFY2(brightest(Normal, index) - brightest(Disabled, index) > 80, qPrintable(QString::number(index)));
        const auto fill = [&](int row, int index) {
            const QRect area = grid->itemAtPosition(row, index + 1)->widget()->geometry();
            return index == 14 ? picture.pixelColor(area.left() + 4, area.center().y())
                               : picture.pixelColor(area.center().x(), area.bottom() - 4);
        };
        for (int index : {14, 15}) {
            QVERIFY(tinted(fill(Normal, index)));
            QVERIFY2(!tinted(fill(Disabled, index)), qPrintable(fill(Disabled, index).name()));
        }

        // The hovered side-menu entry shows its caption, painted upwards in the space above its picture.
        QCOMPARE(hoveredMenu->size(), QSize(35, 150));
        auto* caption = hoveredMenu->findChild<QWRotationLabel*>();
        QCOMPARE(caption->caption(), QString("Looper"));
        const QImage image = caption->grab().toImage();
        const QRgb background = image.pixel(1, 1);
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += image.pixel(x, y) != background;
        QVERIFY(ink > 20);
    }
};

QUILLON_GUI_TEST_MAIN(TestWidgets)
#include "tst_Widgets.moc"
