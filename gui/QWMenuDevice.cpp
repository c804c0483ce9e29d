#include "QWMenuDevice.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QSignalBlocker>

#include <type_traits>

#include "AuthorPicture.h"
#include "LatencyFigures.h"
#include "MidiLearnText.h"
#include "QWMenuDeviceLayout.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/Midi.h"
#include "core/midi/ObjectMidi.h"
#include "gui/widgets/MessageBox.h"
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

const QString DEFAULT_MAPPING = QStringLiteral("Conf_Midi_Z2.ncc");
const QString DEFAULT_CONTROLLER = QStringLiteral("Traktor Kontrol Z2");
constexpr int TEMPO_MIN = 50;
constexpr int TEMPO_MAX = 200;
// The left threshold runs 0 to 10 and is shown by an inverted slider of value 10 minus the threshold.
constexpr int LEFT_MAX = 10;

Singleton* registry() {
    return Singleton::instance();
}

QString flagText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QWMenuDevice::QWMenuDevice(const QString& name, const QString& picture, QWidget* parent)
    : QWidget(parent), m_close(new QBPushDark(QStringLiteral("close.png"), this)), m_picture(picture) {
    setObjectName(name);

    auto* author = new QBIconPush(QStringLiteral("LogoQuillon.png"), this);
    connect(author, &QBIconPush::s_push, this, &QWMenuDevice::changeIcon);
    connect(this, &QWMenuDevice::s_UpdateIcon, author, &QBIconPush::loadAuthorImage);
    m_name = new QLineEdit(this);
    updateName();
    connect(m_name, &QLineEdit::textChanged, this, &QWMenuDevice::saveName);
    buildDeviceControls();
    buildSliders();
    buildBufferControls();
    buildGraphOptions();
    QWMenuDeviceLayout::build(*this, author);
}

void QWMenuDevice::buildDeviceControls() {
    m_timecode = bigCombo();
    const QMetaEnum formats = QMetaEnum::fromType<ModelTimecode::EnumTimecode>();
    for (int i = 0; i < formats.keyCount(); ++i)
        m_timecode->addItem(QString::fromLatin1(formats.key(i)));
    updateTimecode();
    connect(m_timecode, &QCustomComboBox::s_ShowPopup, this, &QWMenuDevice::updateTimecode);
    connect(m_timecode, &QComboBox::currentTextChanged, this, &QWMenuDevice::saveTimecode);

    // Each list is filled and set to the stored text before its save is connected: building stores nothing.
    const auto deviceCombo = [this](void (QWMenuDevice::*update)()) {
        QCustomComboBox* combo = bigCombo();
        connect(combo, &QCustomComboBox::s_ShowPopup, this, update);
        return combo;
    };
    m_inputA = deviceCombo(&QWMenuDevice::updateInput_A);
    m_inputB = deviceCombo(&QWMenuDevice::updateInput_B);
    m_inputMaster = deviceCombo(&QWMenuDevice::updateInput_Master);
    m_inputMidi = deviceCombo(&QWMenuDevice::updateInput_Midi);
    updateInput_A();
    updateInput_B();
    updateInput_Master();
    updateInput_Midi();

    m_learnLine = new QLineEdit(this);
    m_learnLine->setEnabled(false);
    initCrossfaderLearn();
    m_learn = new QBMidiLearn(this);

    m_cutOff = new QCheckBox(QStringLiteral("Deck A/B: Generate a cut-off sound"), this);
    m_cutOff->setChecked(setting()->paramGenerateCutOffSound(false));
    connect(m_cutOff, &QCheckBox::stateChanged, this, &QWMenuDevice::saveGenerateCutOffSound);

    m_outputPlayback = deviceCombo(&QWMenuDevice::updateOutput_Playback);
    updateOutput_Playback();
    connect(m_inputA, &QComboBox::currentIndexChanged, this, &QWMenuDevice::saveInput_A);
    connect(m_inputB, &QComboBox::currentIndexChanged, this, &QWMenuDevice::saveInput_B);
    connect(m_inputMaster, &QComboBox::currentIndexChanged, this, &QWMenuDevice::saveInput_Master);
    connect(m_inputMidi, &QComboBox::currentIndexChanged, this, &QWMenuDevice::saveInput_Midi);
    connect(m_outputPlayback, &QComboBox::currentIndexChanged, this, &QWMenuDevice::saveOutput_Playback);
}

void QWMenuDevice::buildSliders() {
    Setting* stored = setting();
    const std::array<double, 4> volumes = {stored->paramVolumeLooper(false), stored->paramVolumeDeck(false),
                                           stored->paramVolumeRecord(false),
                                           stored->paramVolumeMetronum(false)};
    const std::array<void (QWMenuDevice::*)(int), 4> volumeUpdates = {
        &QWMenuDevice::updateVolumeLooper, &QWMenuDevice::updateVolumeDeck, &QWMenuDevice::updateVolumeRecord,
        &QWMenuDevice::updateVolumeMetronum};
    for (size_t i = 0; i < m_volume.size(); ++i) {
        m_volume[i] = slider(Qt::Vertical, 0, 100, qRound(volumes[i]));
        m_volume[i]->setObjectName(QStringLiteral("volume"));
        connect(m_volume[i], &QSlider::valueChanged, this, volumeUpdates[i]);
    }

    m_curveOnSizeValue = new QLabel(this);
    m_curveOnSize = slider(Qt::Horizontal, 4, 20, stored->paramCurveOnSize(false));
    connect(m_curveOnSize, &QSlider::valueChanged, this, &QWMenuDevice::updateCurveOnSize);
    updateCurveOnSize(m_curveOnSize->value());

    m_tempoValue = new QLabel(this);
    m_tempo = slider(Qt::Horizontal, TEMPO_MIN, TEMPO_MAX, TEMPO_MIN);
    m_tempo->setEnabled(true);
    connect(m_tempo, &QSlider::valueChanged, this, &QWMenuDevice::updateFactorSpeed);
    updateFactorSpeed(int(registry()->instanceLooperTraining()->bpm()));

    m_crossFaderLeftValue = new QLabel(this);
    m_crossFaderLeft = slider(Qt::Horizontal, 0, LEFT_MAX, LEFT_MAX - stored->paramCrossfaderLeft(false));
    m_crossFaderLeft->setInvertedAppearance(true);
    connect(m_crossFaderLeft, &QSlider::valueChanged, this, &QWMenuDevice::updateCrossfaderLeft);
    updateCrossfaderLeft(m_crossFaderLeft->value());
    m_crossFaderRightValue = new QLabel(this);
    m_crossFaderRight = slider(Qt::Horizontal, 117, 127, stored->paramCrossfaderRight(false));
    connect(m_crossFaderRight, &QSlider::valueChanged, this, &QWMenuDevice::updateCrossfaderRight);
    updateCrossfaderRight(m_crossFaderRight->value());
}

void QWMenuDevice::buildBufferControls() {
    Setting* stored = setting();
    // The combos pass their start values into the buffer settings as they are built; only a later choice
    // of the user is stored.
    using G = ModelGraph::EnumGraph;
    m_inputBufferA = new QComboBoxInputBuffer(G::INPUT_A, stored->paramInputBufferA(false), this);
    m_processingBufferA =
        new QComboBoxProcessingBuffer(G::INPUT_A, stored->paramProcessingBufferA(false), this);
    m_inputBufferB = new QComboBoxInputBuffer(G::INPUT_B, stored->paramInputBufferB(false), this);
    m_processingBufferB =
        new QComboBoxProcessingBuffer(G::INPUT_B, stored->paramProcessingBufferB(false), this);
    m_outputBuffer = new QComboBoxOutputBuffer(stored->paramOutputBuffer(false), this);
    m_processingBufferA->setEnabled(false);
    m_processingBufferB->setEnabled(false);
    m_outputBuffer->setEnabled(false);
    const auto onChange = [this](auto* combo, void (QWMenuDevice::*save)()) {
        connect(combo, &std::remove_pointer_t<decltype(combo)>::s_Textchanged, this, save);
        connect(combo, &std::remove_pointer_t<decltype(combo)>::s_Textchanged, this,
                &QWMenuDevice::calculOverall);
    };
    onChange(m_inputBufferA, &QWMenuDevice::saveInputBufferA);
    onChange(m_processingBufferA, &QWMenuDevice::saveProcessingBufferA);
    onChange(m_inputBufferB, &QWMenuDevice::saveInputBufferB);
    onChange(m_processingBufferB, &QWMenuDevice::saveProcessingBufferB);
    onChange(m_outputBuffer, &QWMenuDevice::saveOutputBuffer);
    for (QLabel** label : {&m_latencyInputA, &m_latencyInputB, &m_latencyProcessingA, &m_latencyProcessingB,
                           &m_latencyOutputA, &m_latencyOutputB, &m_latencyOverallA, &m_latencyOverallB})
        *label = new QLabel(this);
    Performance* performance = registry()->instancePerformance();
    connect(performance, &Performance::s_InputSample, this, &QWMenuDevice::calculOverall);
    connect(performance, &Performance::s_OutputSample, this, &QWMenuDevice::calculOverall);
    calculOverall();

    m_displayFrequency = new QComboBoxDisplayFrequency(stored->paramDisplayFrequency(false), this);
    connect(m_displayFrequency, &QComboBoxDisplayFrequency::s_Textchanged, this,
            &QWMenuDevice::saveDisplayFrequency);
}

void QWMenuDevice::buildGraphOptions() {
    Setting* stored = setting();
    using namespace Constant::ContextMenu;
    m_graphMainCurve =
        checkBox(MAIN_CURVE, stored->paramGraphMainCurve(false), &QWMenuDevice::saveGraphMainCurve);
    m_graphGrid = checkBox(GRID, stored->paramGraphGrid(false), &QWMenuDevice::saveGraphGrid);
    m_graphCurveCrossFaderOff = checkBox(CURVE_CROSSFADER_OFF, stored->paramGraphCurveCrossFaderOff(false),
                                         &QWMenuDevice::saveGraphCurveCrossFaderOff);
    m_graphCurveNoSound =
        checkBox(CURVE_NO_SOUND, stored->paramGraphCurveNoSound(false), &QWMenuDevice::saveGraphCurveNoSound);
    m_graphShiniMode =
        checkBox(SHINI_MODE, stored->paramGraphShiniMode(false), &QWMenuDevice::saveGraphShiniMode);
    m_graphVinylPosition = checkBox(VINYL_POSITION, stored->paramGraphVinylPosition(false),
                                    &QWMenuDevice::saveGraphVinylPosition);
    m_graphDirectSound =
        checkBox(DIRECT_WAVE, stored->paramGraphDirectSound(false), &QWMenuDevice::saveGraphDirectSound);
    m_graphLogo = checkBox(LOGO, stored->paramGraphLogo(false), &QWMenuDevice::saveGraphLogo);
}

Setting* QWMenuDevice::setting() {
    return registry()->instanceSetting();
}

QCustomComboBox* QWMenuDevice::bigCombo() {
    auto* combo = new QCustomComboBox;
    combo->setParent(this);
    combo->setObjectName(QStringLiteral("big"));
    return combo;
}

QCustomSlider* QWMenuDevice::slider(Qt::Orientation orientation, int minimum, int maximum, int value) {
    auto* slider = new QCustomSlider(orientation, this);
    slider->setRange(minimum, maximum);
    slider->setValue(value);
    return slider;
}

QCheckBox* QWMenuDevice::checkBox(const QString& caption, bool checked, void (QWMenuDevice::*save)()) {
    auto* box = new QCheckBox(caption, this);
    box->setChecked(checked);
    connect(box, &QCheckBox::stateChanged, this, save);
    return box;
}

QStringList QWMenuDevice::listInDevices() const {
    return registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT);
}

QStringList QWMenuDevice::listOutDevices() const {
    return registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_OUTPUT);
}

QStringList QWMenuDevice::listInMidi() const {
    return QStringList{QString()} + Function::devicesMidiIn();
}

void QWMenuDevice::updateName() {
    m_name->setText(setting()->paramName(false));
}

void QWMenuDevice::saveName() {
    setting()->setParamName(m_name->text());
}

void QWMenuDevice::updateTimecode() {
    const QString stored = setting()->paramTimecode(false);
    const int index = m_timecode->findText(stored);
    {
        const QSignalBlocker blocker(m_timecode);
        m_timecode->setCurrentIndex(qMax(0, index));
    }
    if (index < 0)
        setting()->setParamTimecode(m_timecode->currentText());
    timecodeMode();
}

void QWMenuDevice::saveTimecode() {
    setting()->setParamTimecode(m_timecode->currentText());
    timecodeMode();
}

void QWMenuDevice::timecodeMode() {
    const QString format = m_timecode->currentText();
    Mode* mode = registry()->instanceMode();
    if (format == QLatin1String("serato_sideA_FullDVS") || format == QLatin1String("serato_sideB_FullDVS"))
        mode->modeFullDVS_on();
    else
        mode->modeFullDVS_off();
}

void QWMenuDevice::refill(QCustomComboBox* combo, const QStringList& entries, const QString& stored) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(qMax(0, entries.indexOf(stored)));
}

void QWMenuDevice::updateInput_A() {
    refill(m_inputA, listInDevices(), setting()->paramInput_A(false)->text());
}

void QWMenuDevice::updateInput_B() {
    refill(m_inputB, listInDevices(), setting()->paramInput_B(false)->text());
}

void QWMenuDevice::updateInput_Master() {
    refill(m_inputMaster, listInDevices(), setting()->paramInput_Master(false)->text());
}

void QWMenuDevice::updateInput_Midi() {
    refill(m_inputMidi, listInMidi(), setting()->paramInput_Midi(false)->text());
}

void QWMenuDevice::updateOutput_Playback() {
    refill(m_outputPlayback, listOutDevices(), setting()->paramOutput_Playback(false)->text());
}

void QWMenuDevice::saveInput_A() {
    setting()->setParamInput_A(m_inputA->currentText());
}

void QWMenuDevice::saveInput_B() {
    setting()->setParamInput_B(m_inputB->currentText());
}

void QWMenuDevice::saveInput_Master() {
    setting()->setParamInput_Master(m_inputMaster->currentText());
}

void QWMenuDevice::saveInput_Midi() {
    setting()->setParamInput_Midi(m_inputMidi->currentText());
}

void QWMenuDevice::saveOutput_Playback() {
    setting()->setParamOutput_Playback(m_outputPlayback->currentText());
}

void QWMenuDevice::initCrossfaderLearn() {
    Midi* midi = registry()->instanceMidi();
    const QString learned = setting()->paramLearn_Midi(false);
    if (!learned.isEmpty()) {
        const ObjectMidi control(MidiLearnText::paramMidiItem(learned, 0),
                                 MidiLearnText::paramMidiItem(learned, 1), ModelMode::Basic);
        midi->setCrossFader(&control);
    } else {
        // Nothing learned yet: the shipped controller mapping names the crossfader.
        midi->loadConfigListMidiItems(Path::joinInput(DEFAULT_MAPPING), DEFAULT_CONTROLLER);
        if (const ObjectMidi* control =
                midi->objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Basic)) {
            setting()->setParamLearn_Midi(control->channel(), control->controller());
            midi->setCrossFader(control);
        }
    }
    showLearnText();
}

void QWMenuDevice::showLearnText() {
    m_learnLine->setText(MidiLearnText::concatMidiItems(setting()->paramLearn_Midi(false)));
}

void QWMenuDevice::updateCrossfaderValue(int channel, int controller) {
    setting()->setParamLearn_Midi(channel, controller);
    const ObjectMidi control(channel, controller, ModelMode::Basic);
    registry()->instanceMidi()->setCrossFader(&control);
    showLearnText();
    emit s_UpdateCrossFader();
}

void QWMenuDevice::updateCrossfaderLeft(int value) {
    m_crossFaderLeftValue->setText(QString::number(LEFT_MAX - value));
    saveCrossfaderLeft();
}

void QWMenuDevice::updateCrossfaderRight(int value) {
    m_crossFaderRightValue->setText(QString::number(value));
    saveCrossfaderRight();
}

void QWMenuDevice::saveCrossfaderLeft() {
    setting()->setParamCrossfaderLeft(QString::number(LEFT_MAX - m_crossFaderLeft->value()));
}

void QWMenuDevice::saveCrossfaderRight() {
    setting()->setParamCrossfaderRight(QString::number(m_crossFaderRight->value()));
}

void QWMenuDevice::updateCurveOnSize(int value) {
    m_curveOnSizeValue->setText(QString::number(value));
    saveCurveOnSize();
}

void QWMenuDevice::saveCurveOnSize() {
    setting()->setParamCurveOnSize(QString::number(m_curveOnSize->value()));
}

void QWMenuDevice::updateFactorSpeed(int tempo) {
    // A set that carries no usable tempo (0, or beyond the slider) must not stall the count-in and
    // metronome, which divide by the played tempo.
    const int played = qBound(TEMPO_MIN, tempo, TEMPO_MAX);
    registry()->instanceLooperTraining()->setFactorSpeed(played);
    {
        const QSignalBlocker blocker(m_tempo);
        m_tempo->setValue(played);
    }
    m_tempoValue->setText(QString::number(played));
    emit s_UpdateFactorSpeed();
}

void QWMenuDevice::updateVolumeLooper(int) {
    saveVolumeLooper();
    emit s_UpdateVolume();
}

void QWMenuDevice::updateVolumeDeck(int) {
    saveVolumeDeck();
    emit s_UpdateVolume();
}

void QWMenuDevice::updateVolumeRecord(int) {
    saveVolumeRecord();
    emit s_UpdateVolume();
}

void QWMenuDevice::updateVolumeMetronum(int) {
    saveVolumeMetronum();
    emit s_UpdateVolume();
}

void QWMenuDevice::saveVolume(ModelVolume::EnumVolume channel, void (Setting::*store)(const QString&)) {
    (setting()->*store)(QString::number(m_volume[channel]->value()));
}

void QWMenuDevice::saveVolumeLooper() {
    saveVolume(ModelVolume::LOOPER, &Setting::setParamVolumeLooper);
}

void QWMenuDevice::saveVolumeDeck() {
    saveVolume(ModelVolume::DECK_A_B, &Setting::setParamVolumeDeck);
}

void QWMenuDevice::saveVolumeRecord() {
    saveVolume(ModelVolume::RECORD_A_B, &Setting::setParamVolumeRecord);
}

void QWMenuDevice::saveVolumeMetronum() {
    saveVolume(ModelVolume::METRONUM, &Setting::setParamVolumeMetronum);
}

QCustomSlider* QWMenuDevice::volumeSlider(ModelVolume::EnumVolume channel) const {
    return channel >= 0 && size_t(channel) < m_volume.size() ? m_volume[channel] : nullptr;
}

// The slider bounds the value and reports only a real change, which stores it and tells the player.
void QWMenuDevice::volumeUp(ModelVolume::EnumVolume channel) {
    if (QCustomSlider* volume = volumeSlider(channel))
        volume->setValue(volume->value() + 1);
}

void QWMenuDevice::volumeDown(ModelVolume::EnumVolume channel) {
    if (QCustomSlider* volume = volumeSlider(channel))
        volume->setValue(volume->value() - 1);
}

void QWMenuDevice::volumeNoSound(ModelVolume::EnumVolume channel) {
    if (QCustomSlider* volume = volumeSlider(channel))
        volume->setValue(0);
}

void QWMenuDevice::saveGenerateCutOffSound() {
    setting()->setParamGenerateCutOffSound(flagText(m_cutOff));
}

void QWMenuDevice::saveGraph(QCheckBox* box, void (Setting::*store)(const QString&)) {
    (setting()->*store)(flagText(box));
    emit s_HideShowOptionGraph();
}

void QWMenuDevice::saveGraphMainCurve() {
    saveGraph(m_graphMainCurve, &Setting::setParamGraphMainCurve);
}

void QWMenuDevice::saveGraphGrid() {
    saveGraph(m_graphGrid, &Setting::setParamGraphGrid);
}

void QWMenuDevice::saveGraphCurveCrossFaderOff() {
    saveGraph(m_graphCurveCrossFaderOff, &Setting::setParamGraphCurveCrossFaderOff);
}

void QWMenuDevice::saveGraphCurveNoSound() {
    saveGraph(m_graphCurveNoSound, &Setting::setParamGraphCurveNoSound);
}

void QWMenuDevice::saveGraphShiniMode() {
    saveGraph(m_graphShiniMode, &Setting::setParamGraphShiniMode);
}

void QWMenuDevice::saveGraphVinylPosition() {
    saveGraph(m_graphVinylPosition, &Setting::setParamGraphVinylPosition);
}

void QWMenuDevice::saveGraphDirectSound() {
    saveGraph(m_graphDirectSound, &Setting::setParamGraphDirectSound);
}

void QWMenuDevice::saveGraphLogo() {
    saveGraph(m_graphLogo, &Setting::setParamGraphLogo);
}

void QWMenuDevice::saveInputBufferA() {
    setting()->setParamInputBufferA(m_inputBufferA->currentText());
}

void QWMenuDevice::saveInputBufferB() {
    setting()->setParamInputBufferB(m_inputBufferB->currentText());
}

void QWMenuDevice::saveProcessingBufferA() {
    setting()->setParamProcessingBufferA(m_processingBufferA->currentText());
}

void QWMenuDevice::saveProcessingBufferB() {
    setting()->setParamProcessingBufferB(m_processingBufferB->currentText());
}

void QWMenuDevice::saveOutputBuffer() {
    setting()->setParamOutputBuffer(m_outputBuffer->currentText());
}

void QWMenuDevice::saveDisplayFrequency() {
    setting()->setParamDisplayFrequency(m_displayFrequency->currentText());
}

void QWMenuDevice::calculOverall() {
    const LatencyFigures figures = LatencyFigures::of(*registry()->instancePerformance());
    m_latencyInputA->setText(LatencyFigures::text(figures.inputA));
    m_latencyInputB->setText(LatencyFigures::text(figures.inputB));
    m_latencyProcessingA->setText(LatencyFigures::text(figures.processingA));
    m_latencyProcessingB->setText(LatencyFigures::text(figures.processingB));
    m_latencyOutputA->setText(LatencyFigures::text(figures.output));
    m_latencyOutputB->setText(LatencyFigures::text(figures.output));
    m_latencyOverallA->setText(LatencyFigures::text(figures.overallA()));
    m_latencyOverallB->setText(LatencyFigures::text(figures.overallB()));
}

void QWMenuDevice::changeIcon() {
    QFileDialog dialog(this, QStringLiteral("Select Your Blaze"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(Constant::Extension::EXTENSION_PICTURE_FILTERS);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().size() != 1)
        return;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (!QFileInfo(chosen).isFile())
        return;
    // Anything else would replace the picture with one that cannot be shown.
    if (!QImageReader(chosen).canRead()) {
        MessageBox::information(QStringLiteral("Non-compliant file !"), this);
        return;
    }
    if (AuthorPicture::replace(chosen))
        emit s_UpdateIcon();
}
