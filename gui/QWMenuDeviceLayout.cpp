#include "QWMenuDeviceLayout.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "QWMenuDevice.h"
#include "core/Constant.h"
#include "core/Path.h"
#include "gui/widgets/QBIconPush.h"
#include "gui/widgets/QBMidiLearn.h"
#include "gui/widgets/QBPushDark.h"
#include "gui/widgets/QComboBoxDisplayFrequency.h"
#include "gui/widgets/QComboBoxInputBuffer.h"
#include "gui/widgets/QComboBoxOutputBuffer.h"
#include "gui/widgets/QComboBoxProcessingBuffer.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QCustomSlider.h"

namespace {

// Between the groups of a page, and the indent of options.
constexpr int GAP = 25;

QLabel* label(const QString& text) {
    return new QLabel(text);
}

QHBoxLayout* indented(QLayout* content) {
    auto* row = new QHBoxLayout;
    row->addSpacing(GAP);
    row->addLayout(content);
    return row;
}

} // namespace

void QWMenuDeviceLayout::build(QWMenuDevice& panel, QBIconPush* author) {
    auto* tabs = new QTabWidget(&panel);
    tabs->addTab(deviceTab(panel, author), QStringLiteral("DEVICE"));
    tabs->addTab(displayTab(panel), QStringLiteral("DISPLAY"));
    tabs->addTab(performanceTab(panel), QStringLiteral("PERFORMANCE"));

    auto* layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header(panel));
    layout->addWidget(tabs, 1);
}

QWidget* QWMenuDeviceLayout::header(QWMenuDevice& panel) {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("frameheader"));
    frame->setContentsMargins(0, 0, 0, 0);
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("dark"));
    const QPixmap icon = Path::joinResourceIcon(panel.m_picture);
    if (!icon.isNull())
        picture->setPixmap(icon.scaled(20, 20, Qt::KeepAspectRatio));
    auto* title = new QLabel(panel.objectName());
    title->setObjectName(QStringLiteral("dark"));

    auto* row = new QHBoxLayout(frame);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(picture);
    row->addSpacing(GAP);
    row->addWidget(title);
    row->addStretch();
    row->addWidget(panel.m_close, 0, Qt::AlignRight);
    return frame;
}

QWidget* QWMenuDeviceLayout::page(QVBoxLayout*& box) {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("framecore"));
    frame->setContentsMargins(0, 0, 0, 0);
    box = new QVBoxLayout(frame);
    box->setSpacing(5);
    const QMargins margins = box->contentsMargins();
    box->setContentsMargins(margins.left(), margins.top(), margins.right(), 5);
    box->setAlignment(Qt::AlignTop);
    box->addSpacing(GAP);

    auto* area = new QScrollArea;
    area->setContentsMargins(0, 0, 0, 0);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    area->setWidget(frame);
    return area;
}

void QWMenuDeviceLayout::addCaptioned(QVBoxLayout* box, const QString& caption, QWidget* control) {
    box->addWidget(label(caption));
    box->addWidget(control);
}

void QWMenuDeviceLayout::addCaptioned(QVBoxLayout* box, const QString& caption, QLayout* controls) {
    box->addWidget(label(caption));
    box->addLayout(controls);
}

QBoxLayout* QWMenuDeviceLayout::sliderRow(QWidget* slider, QWidget* value) {
    auto* row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addSpacing(GAP);
    row->addWidget(value, 0, Qt::AlignRight);
    return row;
}

QWidget* QWMenuDeviceLayout::deviceTab(QWMenuDevice& panel, QBIconPush* author) {
    QVBoxLayout* box = nullptr;
    QWidget* tab = page(box);

    auto* identity = new QGridLayout;
    identity->setSpacing(15);
    identity->setContentsMargins(0, 0, 0, 0);
    identity->addWidget(author, 0, 0, 2, 1);
    identity->addWidget(label(QStringLiteral("Name")), 0, 1);
    identity->addWidget(panel.m_name, 1, 1);
    box->addLayout(identity);
    box->addSpacing(GAP);

    addCaptioned(box, QStringLiteral("Timecode"), panel.m_timecode);
    box->addSpacing(GAP);

    addCaptioned(box, QStringLiteral("Input A"), panel.m_inputA);
    addCaptioned(box, QStringLiteral("Input B"), panel.m_inputB);
    addCaptioned(box, QStringLiteral("Input Recording"), panel.m_inputMaster);
    box->addSpacing(GAP);

    addCaptioned(box, QStringLiteral("Input Midi"), panel.m_inputMidi);
    auto* learn = new QHBoxLayout;
    learn->addWidget(panel.m_learn, 1);
    learn->addSpacing(GAP);
    learn->addWidget(panel.m_learnLine, 2);
    addCaptioned(box, QStringLiteral("CrossFader Configuration"), learn);
    auto* thresholds = new QHBoxLayout;
    thresholds->addWidget(panel.m_crossFaderLeftValue, 0, Qt::AlignLeft);
    thresholds->addSpacing(GAP);
    thresholds->addWidget(panel.m_crossFaderLeft, 1);
    thresholds->addWidget(panel.m_crossFaderRight, 1);
    thresholds->addSpacing(GAP);
    thresholds->addWidget(panel.m_crossFaderRightValue, 0, Qt::AlignRight);
    addCaptioned(box, QStringLiteral("Left/Right Crossfader Values"), thresholds);
    box->addSpacing(GAP);

    addCaptioned(box, QStringLiteral("Output Playback"), panel.m_outputPlayback);
    auto* volumes = new QGridLayout;
    volumes->setSpacing(10);
    const QStringList captions = {QStringLiteral("Looper"), QStringLiteral("Deck A/B"),
                                  QStringLiteral("Record A/B"), QStringLiteral("Metronum")};
    for (int i = 0; i < captions.size(); ++i) {
        volumes->addWidget(label(captions.at(i)), 0, i, Qt::AlignCenter);
        volumes->addWidget(panel.m_volume[i], 1, i, Qt::AlignHCenter);
    }
    addCaptioned(box, QStringLiteral("Volume"), volumes);
    box->addSpacing(GAP);

    auto* option = new QVBoxLayout;
    option->addWidget(panel.m_cutOff);
    addCaptioned(box, QStringLiteral("Option"), indented(option));
    box->addStretch();
    return tab;
}

QWidget* QWMenuDeviceLayout::displayTab(QWMenuDevice& panel) {
    QVBoxLayout* box = nullptr;
    QWidget* tab = page(box);

    addCaptioned(box, QStringLiteral("Curve Size"), sliderRow(panel.m_curveOnSize, panel.m_curveOnSizeValue));
    box->addSpacing(GAP);
    addCaptioned(box, QStringLiteral("BPM"), sliderRow(panel.m_tempo, panel.m_tempoValue));
    box->addSpacing(GAP);

    auto* options = new QVBoxLayout;
    options->addSpacing(GAP);
    options->addWidget(label(QStringLiteral("Graph")));
    for (QCheckBox* graph :
         {panel.m_graphGrid, panel.m_graphVinylPosition, panel.m_graphLogo, panel.m_graphDirectSound})
        options->addWidget(graph);
    options->addSpacing(GAP);
    options->addWidget(label(QStringLiteral("Curve")));
    for (QCheckBox* curve : {panel.m_graphCurveCrossFaderOff, panel.m_graphCurveNoSound,
                             panel.m_graphShiniMode, panel.m_graphMainCurve})
        options->addWidget(curve);
    addCaptioned(box, Constant::ContextMenu::HIDE_SHOW, indented(options));
    box->addStretch();
    return tab;
}

QWidget* QWMenuDeviceLayout::performanceTab(QWMenuDevice& panel) {
    QVBoxLayout* box = nullptr;
    QWidget* tab = page(box);

    addCaptioned(box, QStringLiteral("Display Frequency"), panel.m_displayFrequency);
    box->addSpacing(GAP);

    auto* grid = new QGridLayout;
    grid->setSpacing(10);
    const auto put = [grid](QWidget* widget, int row, int column) {
        grid->addWidget(widget, row, column, Qt::AlignCenter);
    };
    // One road a row group: what it is, the buffers, then the delays that add up to the overall latency.
    const auto road = [&](int top, QWidget* inputBuffer, QWidget* processing, QLabel* input,
                          QLabel* processed, QLabel* output, QLabel* overall) {
        put(inputBuffer, top + 1, 0);
        put(processing, top + 1, 2);
        put(input, top + 2, 0);
        put(label(QStringLiteral("+")), top + 2, 1);
        put(processed, top + 2, 2);
        put(label(QStringLiteral("+")), top + 2, 3);
        put(output, top + 2, 4);
        put(label(QStringLiteral("=")), top + 2, 5);
        put(overall, top + 2, 6);
    };
    put(label(QStringLiteral("Input Buffer A")), 0, 0);
    put(label(QStringLiteral("Processing A")), 0, 2);
    put(label(QStringLiteral("Output Buffer")), 0, 4);
    put(label(QStringLiteral("Overall")), 0, 6);
    put(panel.m_outputBuffer, 1, 4);
    road(0, panel.m_inputBufferA, panel.m_processingBufferA, panel.m_latencyInputA,
         panel.m_latencyProcessingA, panel.m_latencyOutputA, panel.m_latencyOverallA);
    grid->setRowMinimumHeight(3, GAP);
    put(label(QStringLiteral("Input Buffer B")), 4, 0);
    put(label(QStringLiteral("Processing B")), 4, 2);
    road(4, panel.m_inputBufferB, panel.m_processingBufferB, panel.m_latencyInputB,
         panel.m_latencyProcessingB, panel.m_latencyOutputB, panel.m_latencyOverallB);
    addCaptioned(box, QStringLiteral("Latency"), grid);
    box->addStretch();
    return tab;
}
