#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

#include "core/Model.h"

class QBIconPush;
class QBMidiLearn;
class QBPushDark;
class QCheckBox;
class QComboBoxDisplayFrequency;
class QComboBoxInputBuffer;
class QComboBoxOutputBuffer;
class QComboBoxProcessingBuffer;
class QCustomComboBox;
class QCustomSlider;
class QLabel;
class QLineEdit;
class Setting;

// The Setting page: every user setting on the tabs "DEVICE", "DISPLAY" and "PERFORMANCE". Each control
// stores its value in config.ini the moment the user changes it; there is no apply step. Some also act
// on the running system at once (full-DVS mode, crossfader control, volumes, tempo, graph options, buffer
// settings). GUI thread only; the learned MIDI control arrives from the MIDI thread as a queued call.
class QWMenuDevice : public QWidget {
    Q_OBJECT

public:
    QWMenuDevice(const QString& name, const QString& picture, QWidget* parent = nullptr);

    // The controls the controller window wires, and locks for the length of a run.
    QBPushDark* closeButton() const { return m_close; }
    QBMidiLearn* learnButton() const { return m_learn; }
    QCustomComboBox* timecodeCombo() const { return m_timecode; }
    QCustomComboBox* inputACombo() const { return m_inputA; }
    QCustomComboBox* inputBCombo() const { return m_inputB; }
    QCustomComboBox* inputRecordingCombo() const { return m_inputMaster; }
    QCustomComboBox* inputMidiCombo() const { return m_inputMidi; }
    QCustomComboBox* outputPlaybackCombo() const { return m_outputPlayback; }
    QComboBoxInputBuffer* inputBufferComboA() const { return m_inputBufferA; }
    QComboBoxInputBuffer* inputBufferComboB() const { return m_inputBufferB; }
    QCustomSlider* tempoSlider() const { return m_tempo; }
    QCustomSlider* curveSizeSlider() const { return m_curveOnSize; }
    QCheckBox* cutOffCheckBox() const { return m_cutOff; }

    // The device texts the catalogue lists now; the MIDI inputs after an empty entry (no MIDI input).
    QStringList listInDevices() const;
    QStringList listOutDevices() const;
    QStringList listInMidi() const;

public slots:
    void updateName();
    void saveName();

    // Selects the stored format; a stored name that is no format shows and stores the first one, so the
    // receiver always has a decoder.
    void updateTimecode();
    void saveTimecode();
    // Full-DVS (absolute) mode exactly for the two Serato formats.
    void timecodeMode();

    // Refill the list from what is present now, keeping the stored choice, with the combo's signals
    // blocked: opening a list stores nothing and rebuilds no device.
    void updateInput_A();
    void updateInput_B();
    void updateInput_Master();
    void updateInput_Midi();
    void updateOutput_Playback();
    void saveInput_A();
    void saveInput_B();
    void saveInput_Master();
    void saveInput_Midi();
    void saveOutput_Playback();

    // The control the MIDI worker learned: stored, installed as the crossfader, shown.
    void updateCrossfaderValue(int channel, int controller);
    void updateCrossfaderLeft(int value);
    void updateCrossfaderRight(int value);
    void saveCrossfaderLeft();
    void saveCrossfaderRight();

    void updateCurveOnSize(int value);
    void saveCurveOnSize();
    // The tempo the user plays at, kept within the slider's 50 to 200.
    void updateFactorSpeed(int tempo);

    void updateVolumeLooper(int value);
    void updateVolumeDeck(int value);
    void updateVolumeRecord(int value);
    void updateVolumeMetronum(int value);
    void saveVolumeLooper();
    void saveVolumeDeck();
    void saveVolumeRecord();
    void saveVolumeMetronum();
    // One step up or down, or silence, on one of the four volumes; other channels are ignored.
    void volumeUp(ModelVolume::EnumVolume channel);
    void volumeDown(ModelVolume::EnumVolume channel);
    void volumeNoSound(ModelVolume::EnumVolume channel);

    void saveGenerateCutOffSound();
    void saveGraphMainCurve();
    void saveGraphGrid();
    void saveGraphCurveCrossFaderOff();
    void saveGraphCurveNoSound();
    void saveGraphShiniMode();
    void saveGraphVinylPosition();
    void saveGraphDirectSound();
    void saveGraphLogo();

    void saveInputBufferA();
    void saveInputBufferB();
    void saveProcessingBufferA();
    void saveProcessingBufferB();
    void saveOutputBuffer();
    void saveDisplayFrequency();

    void calculOverall();
    // Lets the user choose a new author picture.
    void changeIcon();

signals:
    void s_UpdateCrossFader();
    void s_UpdateIcon();
    void s_UpdateVolume();
    void s_HideShowOptionGraph();
    void s_UpdateFactorSpeed();

private:
    friend class QWMenuDeviceLayout;

    // The controls, built in the order the other parts rely on, each set from config.ini before its save
    // is connected.
    void buildDeviceControls();
    void buildSliders();
    void buildBufferControls();
    void buildGraphOptions();
    static Setting* setting();
    QCustomComboBox* bigCombo();
    QCustomSlider* slider(Qt::Orientation orientation, int minimum, int maximum, int value);
    QCheckBox* checkBox(const QString& caption, bool checked, void (QWMenuDevice::*save)());
    void refill(QCustomComboBox* combo, const QStringList& entries, const QString& stored);
    void initCrossfaderLearn();
    void showLearnText();
    // None for a channel other than the four volumes.
    QCustomSlider* volumeSlider(ModelVolume::EnumVolume channel) const;
    void saveVolume(ModelVolume::EnumVolume channel, void (Setting::*store)(const QString&));
    void saveGraph(QCheckBox* box, void (Setting::*store)(const QString&));

    QBPushDark* m_close;
    QBMidiLearn* m_learn = nullptr;
    QCustomComboBox* m_timecode = nullptr;
    QCustomComboBox* m_inputA = nullptr;
    QCustomComboBox* m_inputB = nullptr;
    QCustomComboBox* m_inputMaster = nullptr;
    QCustomComboBox* m_inputMidi = nullptr;
    QCustomComboBox* m_outputPlayback = nullptr;
    QComboBoxInputBuffer* m_inputBufferA = nullptr;
    QComboBoxProcessingBuffer* m_processingBufferA = nullptr;
    QComboBoxInputBuffer* m_inputBufferB = nullptr;
    QComboBoxProcessingBuffer* m_processingBufferB = nullptr;
    QComboBoxOutputBuffer* m_outputBuffer = nullptr;
    QComboBoxDisplayFrequency* m_displayFrequency = nullptr;
    QCustomSlider* m_curveOnSize = nullptr;
    QCustomSlider* m_tempo = nullptr;
    QCheckBox* m_cutOff = nullptr;
    QCheckBox* m_graphMainCurve = nullptr;
    QCheckBox* m_graphGrid = nullptr;
    QCheckBox* m_graphCurveCrossFaderOff = nullptr;
    QCheckBox* m_graphCurveNoSound = nullptr;
    QCheckBox* m_graphShiniMode = nullptr;
    QCheckBox* m_graphVinylPosition = nullptr;
    QCheckBox* m_graphDirectSound = nullptr;
    QCheckBox* m_graphLogo = nullptr;
    QString m_picture;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_learnLine = nullptr;
    QCustomSlider* m_crossFaderLeft = nullptr;
    QLabel* m_crossFaderLeftValue = nullptr;
    QCustomSlider* m_crossFaderRight = nullptr;
    QLabel* m_crossFaderRightValue = nullptr;
    QLabel* m_curveOnSizeValue = nullptr;
    QLabel* m_tempoValue = nullptr;
    QLabel* m_latencyInputA = nullptr;
    QLabel* m_latencyInputB = nullptr;
    QLabel* m_latencyProcessingA = nullptr;
    QLabel* m_latencyProcessingB = nullptr;
    QLabel* m_latencyOutputA = nullptr;
    QLabel* m_latencyOutputB = nullptr;
    QLabel* m_latencyOverallA = nullptr;
    QLabel* m_latencyOverallB = nullptr;
    // In the order of ModelVolume::EnumVolume: looper, decks, recorded sounds, metronome.
    std::array<QCustomSlider*, 4> m_volume{};
};
