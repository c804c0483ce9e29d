#pragma once

#include <QObject>
#include <QString>
#include <QUuid>

#include <atomic>

#include "Model.h"

// The application mode flags, the graph display mode, the input selection and the tempo the grid
// shows. The flags are switched on the GUI thread and some are read by the audio callbacks
// (start synchronisation, recorder, mix, reverse), so each is an independent relaxed atomic.
// Every _on/_off slot sets its flag unconditionally; the signalling pairs emit every time, even
// when the flag did not change, because the run and stop chains rely on each emission.
class Mode : public QObject {
    Q_OBJECT

public:
    explicit Mode(QObject* parent = nullptr);

    bool modeColor() const { return m_color.load(std::memory_order_relaxed); }
    bool modeMenu() const { return m_menu.load(std::memory_order_relaxed); }
    bool modeCurrentTimerAutoresize() const {
        return m_currentTimerAutoresize.load(std::memory_order_relaxed);
    }
    bool modeAutoresize() const { return m_autoresize.load(std::memory_order_relaxed); }
    bool modeSelectArea() const { return m_selectArea.load(std::memory_order_relaxed); }
    bool modeReverse() const { return m_reverse.load(std::memory_order_relaxed); }
    bool modeHold() const { return m_hold.load(std::memory_order_relaxed); }
    bool modeRecorder() const { return m_recorder.load(std::memory_order_relaxed); }
    bool modeRun() const { return m_run.load(std::memory_order_relaxed); }
    bool modeFullDVS() const { return m_fullDVS.load(std::memory_order_relaxed); }
    bool modeTraining() const { return m_training.load(std::memory_order_relaxed); }
    bool modeTrainingLock() const { return m_trainingLock.load(std::memory_order_relaxed); }
    bool modeMix() const { return m_mix.load(std::memory_order_relaxed); }
    bool modeMetronom() const { return m_metronom.load(std::memory_order_relaxed); }
    bool modeGenerateSound() const { return m_generateSound.load(std::memory_order_relaxed); }
    bool modeMenuFocus() const { return m_menuFocus.load(std::memory_order_relaxed); }
    bool modeGraphicScrollStop() const { return m_graphicScrollStop.load(std::memory_order_relaxed); }
    bool modeStartSynchronized() const { return m_startSynchronized.load(std::memory_order_relaxed); }

    // GUI thread only.
    ModelDisplay::EnumDisplay modeDisplay() const { return m_modeDisplay; }
    void setModeDisplay(ModelDisplay::EnumDisplay display);
    ModelInput::EnumInput inputText() const { return m_inputText; }
    void setInputText(ModelInput::EnumInput input) { m_inputText = input; }
    double displayBPM() const { return m_displayBPM; }
    void setDisplayBPM(double bpm) { m_displayBPM = bpm; }

public slots:
    void modeColor_on();
    void modeColor_off();
    void modeMenu_on() { set(m_menu, true); }
    void modeMenu_off() { set(m_menu, false); }
    void modeCurrentTimerAutoresize_on() { set(m_currentTimerAutoresize, true); }
    void modeCurrentTimerAutoresize_off() { set(m_currentTimerAutoresize, false); }
    void modeAutoresize_on() { set(m_autoresize, true); }
    void modeAutoresize_off() { set(m_autoresize, false); }
    void modeSelectArea_on() { set(m_selectArea, true); }
    void modeSelectArea_off() { set(m_selectArea, false); }
    void modeReverse_on() { set(m_reverse, true); }
    void modeReverse_off() { set(m_reverse, false); }
    void modeHold_on() { set(m_hold, true); }
    void modeHold_off() { set(m_hold, false); }
    void modeRecorder_on();
    void modeRecorder_off();
    void modeRun_on() { set(m_run, true); }
    void modeRun_off() { set(m_run, false); }
    void modeFullDVS_on() { set(m_fullDVS, true); }
    void modeFullDVS_off() { set(m_fullDVS, false); }
    void modeTraining_on();
    void modeTraining_off();
    void modeTrainingLock_on() { set(m_trainingLock, true); }
    void modeTrainingLock_off() { set(m_trainingLock, false); }
    void modeMix_on() { set(m_mix, true); }
    void modeMix_off() { set(m_mix, false); }
    void modeMetronom_on() { set(m_metronom, true); }
    void modeMetronom_off() { set(m_metronom, false); }
    void modeGenerateSound_on();
    void modeGenerateSound_off();
    void modeMenuFocus_on() { set(m_menuFocus, true); }
    void modeMenuFocus_off() { set(m_menuFocus, false); }
    void modeGraphicScrollStop_on() { set(m_graphicScrollStop, true); }
    void modeGraphicScrollStop_off() { set(m_graphicScrollStop, false); }
    void modeStartSynchronized_on() { set(m_startSynchronized, true); }
    void modeStartSynchronized_off() { set(m_startSynchronized, false); }

    // Asks the library panel to refresh one entry.
    void modeMenuRefresh(const QUuid& id, const QString& name);

signals:
    void s_RunApp();
    void s_StopApp();
    void s_RefreshMenu(const QUuid& id, const QString& name);
    void s_RecorderModeStatus(bool on);
    void s_ModeColor_On();
    void s_ModeColor_Off();
    void s_ModeGenerateSound(bool on);
    void s_ModeDisplayChanged();

private:
    static void set(std::atomic<bool>& flag, bool on) { flag.store(on, std::memory_order_relaxed); }

    std::atomic<bool> m_color{false};
    std::atomic<bool> m_menu{false};
    std::atomic<bool> m_currentTimerAutoresize{false};
    std::atomic<bool> m_autoresize{false};
    std::atomic<bool> m_selectArea{false};
    std::atomic<bool> m_reverse{false};
    std::atomic<bool> m_hold{false};
    std::atomic<bool> m_recorder{false};
    std::atomic<bool> m_run{false};
    std::atomic<bool> m_fullDVS{false};
    std::atomic<bool> m_training{false};
    std::atomic<bool> m_trainingLock{false};
    std::atomic<bool> m_mix{false};
    std::atomic<bool> m_metronom{false};
    std::atomic<bool> m_generateSound{false};
    std::atomic<bool> m_menuFocus{false};
    std::atomic<bool> m_graphicScrollStop{false};
    std::atomic<bool> m_startSynchronized{false};
    ModelDisplay::EnumDisplay m_modeDisplay = ModelDisplay::NORMAL;
    ModelInput::EnumInput m_inputText = ModelInput::UNDEFINED;
    double m_displayBPM = 0.0;
};
