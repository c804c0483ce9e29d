#pragma once

#include <QObject>
#include <QSettings>
#include <QString>

#include <atomic>
#include <memory>

#include "AtomicShared.h"
#include "QDeviceRegEx.h"
#include "QMidiRegEx.h"

// The store of user settings over Input/config.ini, group "device". Writes the default file when
// none exists (an existing file is never rewritten or completed), then holds every key in a cache.
//
// Each getter takes a reload flag: true rereads the key from the file into the cache (only the
// constructor and the key's own setter pass it), false returns the cache without touching the file.
// Setters run on the GUI thread; getters with reload false are also called from the audio threads
// and the MIDI thread. So numbers and flags are cached as atomics, and texts and parsed device
// choices as immutable shared values swapped in whole: a reader keeps the value it took alive.
class Setting : public QObject {
    Q_OBJECT

public:
    Setting();
    ~Setting() override;

    std::shared_ptr<const QDeviceRegEx> paramInput_A(bool reload);
    std::shared_ptr<const QDeviceRegEx> paramInput_B(bool reload);
    std::shared_ptr<const QDeviceRegEx> paramInput_Master(bool reload);
    std::shared_ptr<const QMidiRegEx> paramInput_Midi(bool reload);
    // "channel/controller", empty when no crossfader control was learned.
    QString paramLearn_Midi(bool reload);
    std::shared_ptr<const QDeviceRegEx> paramOutput_Playback(bool reload);
    int paramCrossfaderLeft(bool reload);
    int paramCrossfaderRight(bool reload);
    QString paramName(bool reload);
    // The key name of a ModelTimecode::EnumTimecode value.
    QString paramTimecode(bool reload);
    double paramVinylDeltaPositionA(bool reload);
    double paramVinylDeltaPositionB(bool reload);
    int paramCurveOnSize(bool reload);
    double paramVolumeLooper(bool reload);
    // One volume for both decks.
    double paramVolumeDeck(bool reload);
    // One volume for both recorded sounds.
    double paramVolumeRecord(bool reload);
    double paramVolumeMetronum(bool reload);
    QString paramInputBufferA(bool reload);
    QString paramInputBufferB(bool reload);
    QString paramProcessingBufferA(bool reload);
    QString paramProcessingBufferB(bool reload);
    QString paramOutputBuffer(bool reload);
    QString paramDisplayFrequency(bool reload);
    bool paramGenerateCutOffSound(bool reload);
    bool paramGraphMainCurve(bool reload);
    bool paramGraphGrid(bool reload);
    bool paramGraphCurveCrossFaderOff(bool reload);
    bool paramGraphCurveNoSound(bool reload);
    bool paramGraphShiniMode(bool reload);
    bool paramGraphVinylPosition(bool reload);
    bool paramGraphDirectSound(bool reload);
    bool paramGraphLogo(bool reload);

    // Each setter stores the value as text, writes the file at once and reloads the key's cache.
    void setParamInput_A(const QString& value);
    void setParamInput_B(const QString& value);
    void setParamInput_Master(const QString& value);
    void setParamInput_Midi(const QString& value);
    void setParamLearn_Midi(unsigned int channel, unsigned int controller);
    void setParamOutput_Playback(const QString& value);
    void setParamCrossfaderLeft(const QString& value);
    void setParamCrossfaderRight(const QString& value);
    void setParamName(const QString& value);
    void setParamTimecode(const QString& value);
    // Stored with 6 significant digits.
    void setParamVinylDeltaPositionA(double value);
    // The angle a vinylDeltaPosition key reads back after storing `degrees`.
    static double storedAngle(double degrees);
    void setParamVinylDeltaPositionB(double value);
    void setParamCurveOnSize(const QString& value);
    void setParamVolumeLooper(const QString& value);
    void setParamVolumeDeck(const QString& value);
    void setParamVolumeRecord(const QString& value);
    void setParamVolumeMetronum(const QString& value);
    void setParamInputBufferA(const QString& value);
    void setParamInputBufferB(const QString& value);
    void setParamProcessingBufferA(const QString& value);
    void setParamProcessingBufferB(const QString& value);
    void setParamOutputBuffer(const QString& value);
    void setParamDisplayFrequency(const QString& value);
    void setParamGenerateCutOffSound(const QString& value);
    void setParamGraphMainCurve(const QString& value);
    void setParamGraphGrid(const QString& value);
    void setParamGraphCurveCrossFaderOff(const QString& value);
    void setParamGraphCurveNoSound(const QString& value);
    void setParamGraphShiniMode(const QString& value);
    void setParamGraphVinylPosition(const QString& value);
    void setParamGraphDirectSound(const QString& value);
    void setParamGraphLogo(const QString& value);

private:
    // The keys in the order of the file's template.
    enum Key {
        InputA,
        InputB,
        InputMaster,
        InputMidi,
        LearnMidi,
        OutputPlayback,
        CrossFaderLeft,
        CrossFaderRight,
        Name,
        Timecode,
        VinylDeltaPositionA,
        VinylDeltaPositionB,
        CurveOnSize,
        VolumeLooper,
        VolumeDeck,
        VolumeRecord,
        VolumeMetronum,
        InputBufferA,
        InputBufferB,
        ProcessingBufferA,
        ProcessingBufferB,
        OutputBuffer,
        DisplayFrequency,
        OptionGenerateCutOffSound,
        GraphMainCurve,
        GraphGrid,
        GraphCurveCrossFaderOff,
        GraphCurveNoSound,
        GraphShiniMode,
        GraphVinylPosition,
        GraphDirectSound,
        GraphLogo,
        KeyCount
    };

    static QString keyName(Key key);
    QString keyPath(Key key) const;

    bool writeDefaultFile() const;
    void loadAll();

    // The key's value as the file holds it; empty when absent.
    QString readText(Key key) const;
    void write(Key key, const QString& value);

    template <typename T> std::shared_ptr<const T> shared(Key key, AtomicShared<T>& cache, bool reload);
    int integer(Key key, std::atomic<int>& cache, bool reload);
    double real(Key key, std::atomic<double>& cache, bool reload);
    bool flag(Key key, std::atomic<bool>& cache, bool reload);

    const QString m_fileName = QStringLiteral("config.ini");
    const QString m_group = QStringLiteral("device");

    AtomicShared<QDeviceRegEx> m_inputA;
    AtomicShared<QDeviceRegEx> m_inputB;
    AtomicShared<QDeviceRegEx> m_inputMaster;
    AtomicShared<QMidiRegEx> m_inputMidi;
    AtomicShared<QString> m_learnMidi;
    AtomicShared<QDeviceRegEx> m_outputPlayback;
    std::atomic<int> m_crossFaderLeft{0};
    std::atomic<int> m_crossFaderRight{0};
    AtomicShared<QString> m_name;
    AtomicShared<QString> m_timecode;
    std::atomic<double> m_vinylDeltaPositionA{0.0};
    std::atomic<double> m_vinylDeltaPositionB{0.0};
    std::atomic<int> m_curveOnSize{0};
    std::atomic<double> m_volumeLooper{0.0};
    std::atomic<double> m_volumeDeck{0.0};
    std::atomic<double> m_volumeRecord{0.0};
    std::atomic<double> m_volumeMetronum{0.0};
    AtomicShared<QString> m_inputBufferA;
    AtomicShared<QString> m_inputBufferB;
    AtomicShared<QString> m_processingBufferA;
    AtomicShared<QString> m_processingBufferB;
    AtomicShared<QString> m_outputBuffer;
    AtomicShared<QString> m_displayFrequency;
    std::atomic<bool> m_optionGenerateCutOffSound{false};
    std::atomic<bool> m_graphMainCurve{false};
    std::atomic<bool> m_graphGrid{false};
    std::atomic<bool> m_graphCurveCrossFaderOff{false};
    std::atomic<bool> m_graphCurveNoSound{false};
    std::atomic<bool> m_graphShiniMode{false};
    std::atomic<bool> m_graphVinylPosition{false};
    std::atomic<bool> m_graphDirectSound{false};
    std::atomic<bool> m_graphLogo{false};

    QString m_path;
    std::unique_ptr<QSettings> m_settings;
};
