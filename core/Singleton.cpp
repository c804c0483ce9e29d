#include "Singleton.h"

#include <cmath>

#include "Autoresize.h"
#include "InstCurve.h"
#include "Mode.h"
#include "PathFile.h"
#include "Performance.h"
#include "Phrasing.h"
#include "QDeviceRegEx.h"
#include "QSample.h"
#include "RecordingLooperTraining.h"
#include "Setting.h"
#include "SettingMixer.h"
#include "Time.h"
#include "Timecode.h"
#include "Vinyl.h"
#include "WavPhrasing.h"
#include "core/audio/DeviceCatalogue.h"
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
    // Used as the configuration keeps it, so this run and the next absolute one share the zero.
    // Just below a turn that is 360 (a tiny negative remainder plus 360 is 360 already): the same
    // angle as 0, and a stored 360 would put every target of the next run a whole turn off.
    delta = Setting::storedAngle(delta);
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

QStringList Singleton::devicesAudio(ModelAudioDeviceInfo::EnumAudioDeviceInfo direction) const {
    return DeviceCatalogue::list(DeviceCatalogue::portAudioDevices(), direction, *m_settingMixer);
}

std::shared_ptr<const QSample> Singleton::sample(const std::shared_ptr<const QDeviceRegEx>& stored,
                                                 ModelAudioDeviceInfo::EnumAudioDeviceInfo direction,
                                                 ModelGraph::EnumGraph tag) const {
    if (!stored || stored->text().isEmpty() || !devicesAudio(direction).contains(stored->text()))
        return nullptr;
    return std::make_shared<const QSample>(tag, stored->id(), stored->name(), stored->samplerate(),
                                           stored->channels(), stored->pos());
}

std::shared_ptr<const QSample> Singleton::sampleA() {
    std::shared_ptr<const QSample> made =
        sample(m_setting->paramInput_A(false), ModelAudioDeviceInfo::AUDIO_INPUT, ModelGraph::INPUT_A);
    if (made)
        m_pathFile->setFilenameSound_a(made->filename());
    return made;
}

std::shared_ptr<const QSample> Singleton::sampleB() {
    std::shared_ptr<const QSample> made =
        sample(m_setting->paramInput_B(false), ModelAudioDeviceInfo::AUDIO_INPUT, ModelGraph::INPUT_B);
    if (made)
        m_pathFile->setFilenameSound_b(made->filename());
    return made;
}

std::shared_ptr<const QSample> Singleton::sampleMaster() {
    std::shared_ptr<const QSample> made =
        sample(m_setting->paramInput_Master(false), ModelAudioDeviceInfo::AUDIO_INPUT, ModelGraph::MASTER);
    if (made)
        m_pathFile->setFilenameSound_master(made->filename());
    return made;
}

std::shared_ptr<const QSample> Singleton::samplePlayback() {
    return sample(m_setting->paramOutput_Playback(false), ModelAudioDeviceInfo::AUDIO_OUTPUT,
                  ModelGraph::PLAYBACK);
}
