#include "Singleton.h"

#include <cmath>

#include "Autoresize.h"
#include "InstCurve.h"
#include "Mode.h"
#include "PathFile.h"
#include "Performance.h"
#include "Phrasing.h"
#include "RecordingLooperTraining.h"
#include "Setting.h"
#include "SettingMixer.h"
#include "Time.h"
#include "Timecode.h"
#include "Vinyl.h"
#include "WavPhrasing.h"
#include "core/midi/Midi.h"

Singleton* Singleton::instance() {
    static Singleton registry;
    return &registry;
}

Singleton::Singleton()
    : m_mode(std::make_unique<Mode>()), m_performance(std::make_unique<Performance>()),
      m_setting(std::make_unique<Setting>()), m_settingMixer(std::make_unique<SettingMixer>()),
      m_midi(std::make_unique<Midi>()), m_time(std::make_unique<Time>()),
      m_wavPhrasing(std::make_unique<WavPhrasing>()), m_timecode(std::make_unique<Timecode>()),
      m_vinyl(std::make_unique<Vinyl>()), m_pathFile(std::make_unique<PathFile>()),
      m_autoresize(std::make_unique<Autoresize>()), m_phrasing(std::make_unique<Phrasing>()),
      m_looperTraining(std::make_unique<RecordingLooperTraining>()), m_curve(std::make_unique<InstCurve>()) {}

// In creation order, not the reverse order members would take.
Singleton::~Singleton() {
    m_mode.reset();
    m_performance.reset();
    m_setting.reset();
    m_settingMixer.reset();
    m_midi.reset();
    m_time.reset();
    m_wavPhrasing.reset();
    m_timecode.reset();
    m_vinyl.reset();
    m_pathFile.reset();
    m_autoresize.reset();
    m_phrasing.reset();
    m_looperTraining.reset();
    m_curve.reset();
}

void Singleton::calculVinylDeltaPositionA() {
    calculVinylDeltaPosition(false);
}

void Singleton::calculVinylDeltaPositionB() {
    calculVinylDeltaPosition(true);
}

void Singleton::calculVinylDeltaPosition(bool inputB) {
    const ModelGraph::EnumGraph graph = inputB ? ModelGraph::INPUT_B : ModelGraph::INPUT_A;
    const double angle = m_vinyl->vinylPosition(graph);
    // A broken angle would be saved and shift every later absolute run.
    if (!std::isfinite(angle))
        return;
    double delta = std::fmod(angle, 360.0);
    if (delta < 0.0)
        delta += 360.0;
    // A tiny negative remainder plus 360 rounds to 360, which is the same angle as 0.
    if (delta >= 360.0)
        delta = 0.0;
    m_vinyl->setCalculVinylDeltaPosition(graph, delta);
    if (!m_mode->modeFullDVS())
        return;
    if (inputB)
        m_setting->setParamVinylDeltaPositionB(m_vinyl->vinylDeltaPosition(graph));
    else
        m_setting->setParamVinylDeltaPositionA(m_vinyl->vinylDeltaPosition(graph));
}
