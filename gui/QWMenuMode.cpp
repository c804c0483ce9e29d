#include "QWMenuMode.h"

#include <QTimer>
#include <QVBoxLayout>

#include "gui/widgets/QBPushMenu.h"
#include "gui/widgets/QBPushMenuNoLabel.h"

namespace {

constexpr int NO_FOCUS_DELAY_MS = 500;

} // namespace

QWMenuMode::QWMenuMode(QWidget* parent)
    : QWidget(parent),
      m_option(new QBPushMenuNoLabel(QStringLiteral("option.png"), this)),
      m_recording(new QBPushMenu(ModelActivatedMode::Recording, QStringLiteral("record.png"), this)),
      m_looper(new QBPushMenu(ModelActivatedMode::Looper, QStringLiteral("musical-disc-and-dj-hand.png"), this)),
      m_color(new QBPushMenu(ModelActivatedMode::Color, QStringLiteral("colorMode.png"), this)),
      m_setting(new QBPushMenu(ModelActivatedMode::Setting, QStringLiteral("setting.png"), this)),
      m_listPushMenu({m_recording, m_looper, m_color, m_setting}) {
    // Recording and Looper sit under the option entry; Color and Setting at the bottom.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 1, 0);
    layout->addWidget(m_option);
    for (QBPushMenu* entry : m_listPushMenu) {
        if (entry == m_color)
            layout->addStretch(3);
        layout->addWidget(entry);
    }
}

void QWMenuMode::controllerSubMode(ModelActivatedMode::EnumActivatedMode mode) {
    if (mode == m_currentMode) {
        disableSubMenu();
        return;
    }
    switch (mode) {
    case ModelActivatedMode::Recording:
        emit s_ModeRecording_Enable();
        break;
    case ModelActivatedMode::Looper:
        emit s_ModeLooper_Enable();
        break;
    case ModelActivatedMode::Training:
        emit s_ModeTraining_Enable();
        break;
    case ModelActivatedMode::Color:
        emit s_ModeColor_Enable();
        break;
    case ModelActivatedMode::Setting:
        emit s_ModeDevice_Enable();
        break;
    case ModelActivatedMode::Undefined:
        break;
    }
    m_currentMode = mode;
    emit s_Mode_Enable();
}

void QWMenuMode::disableSubMenu() {
    m_currentMode = ModelActivatedMode::Undefined;
    emit s_Mode_Disable();
}

void QWMenuMode::enableSubMenu() {
    emit s_Mode_Enable();
}

void QWMenuMode::controllerMenuNoFocus() {
    QTimer::singleShot(NO_FOCUS_DELAY_MS, Qt::PreciseTimer, this, &QWMenuMode::noFocus);
}

void QWMenuMode::noFocus() {
    for (QBPushMenu* entry : m_listPushMenu)
        entry->clearFocusState();
}
