#include <QApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QtTest>

#include "Artifacts.h"
#include "GuiTest.h"
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

enum State { Normal, Checked, Hovered, Disabled };

// One widget of each class in the given state.
QList<QWidget*> widgetsIn(State state) {
    QList<QWidget*> widgets;
    auto* push = new QBPush("next.png");
    auto* pushDark = new QBPushDark("close.png");
    auto* twoPush = new QB2Push("play-button.png", "pause-button.png");
    auto* twoPushDark = new QB2PushDark("uncheckA.png", "A.png");
    auto* toggle = new QBToggle("record.png");
    auto* circular = new QBToggleCircular("hold.png");
    auto* learn = new QBMidiLearn;
    auto* selector = new QBSelectInput;
    auto* led = new QDLed("metronom.png");
    auto* menu = new QBPushMenu(ModelActivatedMode::Looper, "musical-disc-and-dj-hand.png");
    auto* menuIcon = new QBPushMenuNoLabel("option.png");
    auto* bpm = new QComboBoxBpm;
    auto* display = new QCSelectDisplayMode;
    auto* custom = new QCustomComboBox;
    custom->setObjectName("big");
    custom->addItems({"generic_V2", "serato_2a"});
    auto* slider = new QCustomSlider(Qt::Horizontal);
    slider->setRange(50, 200);
    slider->setValue(90);
    slider->setFixedWidth(120);
    auto* volume = new QCustomSlider(Qt::Vertical);
    volume->setObjectName("volume");
    volume->setValue(50);
    auto* rate = new QComboBoxDisplayFrequency("");
    auto* input = new QComboBoxInputBuffer(ModelGraph::INPUT_A, "256");
    auto* output = new QComboBoxOutputBuffer("");
    auto* processing = new QComboBoxProcessingBuffer(ModelGraph::INPUT_A, "");
    widgets << push << pushDark << twoPush << twoPushDark << toggle << circular << learn << selector << led
            << menu << menuIcon << bpm << display << custom << slider << volume << rate << input << output
            << processing;
    switch (state) {
    case Normal:
        break;
    case Checked:
        twoPush->checked();
        twoPushDark->checked();
        toggle->toggle_on();
        circular->toggle_on();
        learn->toggle_on();
        selector->toggleState();
        led->trigger();
        bpm->setCurrentText("32");
        display->setCurrentIndex(2);
        slider->setValue(160);
        volume->setValue(90);
        break;
    case Hovered: {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(menu, &enter);
        break;
    }
    case Disabled:
        for (QWidget* widget : widgets)
            widget->setEnabled(false);
        break;
    }
    return widgets;
}

} // namespace

// Every button, toggle, lamp, menu entry, combo and slider, under the application's style sheet.
class TestWidgetGallery : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void gallery();
};

void TestWidgetGallery::initTestCase() {
    applyApplicationLook();
}

void TestWidgetGallery::gallery() {
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
        QMouseEvent move(QEvent::MouseMove, centre, widget->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
    QVERIFY(!Artifacts::save(&panel, "widgets").isEmpty());

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

QUILLON_GUI_TEST_MAIN(TestWidgetGallery)
#include "tst_WidgetGallery.moc"
