#include "Mode.h"

Mode::Mode(QObject* parent) : QObject(parent) {}

void Mode::setModeDisplay(ModelDisplay::EnumDisplay display) {
    m_modeDisplay = display;
    emit s_ModeDisplayChanged();
}

void Mode::modeTraining_on() {
    set(m_training, true);
    emit s_RunApp();
}

void Mode::modeTraining_off() {
    set(m_training, false);
    emit s_StopApp();
}

void Mode::modeRecorder_on() {
    set(m_recorder, true);
    emit s_RecorderModeStatus(true);
}

void Mode::modeRecorder_off() {
    set(m_recorder, false);
    emit s_RecorderModeStatus(false);
}

void Mode::modeColor_on() {
    set(m_color, true);
    emit s_ModeColor_On();
}

void Mode::modeColor_off() {
    set(m_color, false);
    emit s_ModeColor_Off();
}

void Mode::modeGenerateSound_on() {
    set(m_generateSound, true);
    emit s_ModeGenerateSound(true);
}

void Mode::modeGenerateSound_off() {
    set(m_generateSound, false);
    emit s_ModeGenerateSound(false);
}

void Mode::modeMenuRefresh(const QUuid& id, const QString& name) {
    emit s_RefreshMenu(id, name);
}
