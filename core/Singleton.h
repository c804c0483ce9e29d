#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

#include "Model.h"

class Autoresize;
class InstCurve;
class Midi;
class Mode;
class PathFile;
class Performance;
class Phrasing;
class QDeviceRegEx;
class QSample;
class RecordingLooperTraining;
class Setting;
class SettingMixer;
class Time;
class Timecode;
class Vinyl;
class WavPhrasing;

// The process-wide registry of the shared state objects. Created on first use (on the GUI thread,
// before any audio or MIDI thread starts) and destroyed at process exit; it owns every object it
// hands out, and nothing else creates or deletes them.
class Singleton : public QObject {
    Q_OBJECT

public:
    // Thread-safe; creates the registry on the first call.
    static Singleton* instance();

    ~Singleton() override;

    Mode* instanceMode() const { return m_mode.get(); }
    Performance* instancePerformance() const { return m_performance.get(); }
    Setting* instanceSetting() const { return m_setting.get(); }
    SettingMixer* instanceSettingMixer() const { return m_settingMixer.get(); }
    Midi* instanceMidi() const { return m_midi.get(); }
    Time* instanceTime() const { return m_time.get(); }
    WavPhrasing* instanceWavPhrasing() const { return m_wavPhrasing.get(); }
    Timecode* instanceTimecode() const { return m_timecode.get(); }
    Vinyl* instanceVinyl() const { return m_vinyl.get(); }
    PathFile* instancePathFile() const { return m_pathFile.get(); }
    Autoresize* instanceAutoresize() const { return m_autoresize.get(); }
    Phrasing* instancePhrasing() const { return m_phrasing.get(); }
    RecordingLooperTraining* instanceLooperTraining() const { return m_looperTraining.get(); }
    InstCurve* instanceCurve() const { return m_curve.get(); }

    // The catalogue of the audio devices of `direction` present now (see DeviceCatalogue), labelled
    // from the mixer channel map. Asks PortAudio afresh on every call. GUI thread.
    QStringList devicesAudio(ModelAudioDeviceInfo::EnumAudioDeviceInfo direction) const;
    // A new descriptor for the stored device choice of the input or output; null when nothing is stored
    // or the stored text is no longer in the catalogue (the device is gone, or its index, rate or channel
    // count changed). The recording inputs' descriptors also name the input's WAV file in PathFile.
    // GUI thread.
    std::shared_ptr<const QSample> sampleA();
    std::shared_ptr<const QSample> sampleB();
    std::shared_ptr<const QSample> sampleMaster();
    std::shared_ptr<const QSample> samplePlayback();

public slots:
    // Makes the present platter angle of the input its zero; in absolute mode also saves it so the
    // next absolute run starts from it. GUI thread.
    void calculVinylDeltaPositionA();
    void calculVinylDeltaPositionB();

private:
    Singleton();
    void calculVinylDeltaPosition(bool inputB);
    std::shared_ptr<const QSample> sample(const std::shared_ptr<const QDeviceRegEx>& stored,
                                          ModelAudioDeviceInfo::EnumAudioDeviceInfo direction,
                                          ModelGraph::EnumGraph tag) const;

    // Created in this order: Setting writes the default config.ini after Mode and Performance exist.
    std::unique_ptr<Mode> m_mode;
    std::unique_ptr<Performance> m_performance;
    std::unique_ptr<Setting> m_setting;
    std::unique_ptr<SettingMixer> m_settingMixer;
    std::unique_ptr<Midi> m_midi;
    std::unique_ptr<Time> m_time;
    std::unique_ptr<WavPhrasing> m_wavPhrasing;
    std::unique_ptr<Timecode> m_timecode;
    std::unique_ptr<Vinyl> m_vinyl;
    std::unique_ptr<PathFile> m_pathFile;
    std::unique_ptr<Autoresize> m_autoresize;
    std::unique_ptr<Phrasing> m_phrasing;
    std::unique_ptr<RecordingLooperTraining> m_looperTraining;
    std::unique_ptr<InstCurve> m_curve;
};
