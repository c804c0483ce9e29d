#include "Setting.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>

#include <array>
#include <cmath>

#include "Path.h"
#include "FileIO.h"
#include "PlainIniFormat.h"

namespace {

struct KeyEntry {
    const char* name;
    const char* byDefault; // the value the template writes
};

// In the order of Setting::Key.
constexpr std::array<KeyEntry, 32> KEYS{{
    {"inputA", ""},
    {"inputB", ""},
    {"inputMaster", ""},
    {"inputMidi", ""},
    {"learnMidi", ""},
    {"outputPlayback", ""},
    {"crossFaderLeft", "0"},
    {"crossFaderRight", "127"},
    {"name", "Quillon"},
    {"timecode", "generic_V2"},
    {"vinylDeltaPositionA", "0"},
    {"vinylDeltaPositionB", "0"},
    {"curveOnSize", "8"},
    {"volumeLooper", "50"},
    // One key each, with a slash in its name; once QSettings rewrites the file it holds volumeDeckA\B.
    {"volumeDeckA/B", "0"},
    {"volumeRecordA/B", "50"},
    {"volumeMetronum", "50"},
    {"inputBufferA", ""},
    {"inputBufferB", ""},
    {"processingBufferA", ""},
    {"processingBufferB", ""},
    {"outputBuffer", ""},
    {"displayFrequency", ""},
    {"OptionGenerateCutOffSound", "0"},
    {"GraphMainCurve", "1"},
    {"GraphGrid", "1"},
    {"GraphCurveCrossFaderOff", "1"},
    {"GraphCurveNoSound", "1"},
    {"GraphShiniMode", "0"},
    {"GraphVinylPosition", "1"},
    {"GraphDirectSound", "1"},
    {"GraphLogo", "1"},
}};

// The calibration angles: 6 significant digits.
QString angleText(double degrees) {
    return QString::number(degrees, 'g', 6);
}

} // namespace

Setting::Setting() : m_path(Path::joinInput(m_fileName)) {
    static_assert(KEYS.size() == KeyCount);
    if (!QFile::exists(m_path) && !writeDefaultFile())
        qWarning() << "Could not write the default settings file" << m_path;
    m_settings = std::make_unique<QSettings>(m_path, PlainIniFormat::format());
    loadAll();
}

Setting::~Setting() = default;

QString Setting::keyName(Key key) {
    return QString::fromLatin1(KEYS[key].name);
}

QString Setting::keyPath(Key key) const {
    return QStringLiteral("%1/%2").arg(m_group, keyName(key));
}

bool Setting::writeDefaultFile() const {
    QByteArray content = '[' + m_group.toUtf8() + "]\n";
    for (const KeyEntry& entry : KEYS)
        content += QByteArray(" ") + entry.name + '=' + entry.byDefault + '\n';
    QSaveFile file(m_path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && FileIO::commit(file);
}

void Setting::loadAll() {
    paramInput_A(true);
    paramInput_B(true);
    paramInput_Master(true);
    paramInput_Midi(true);
    paramLearn_Midi(true);
    paramOutput_Playback(true);
    paramCrossfaderLeft(true);
    paramCrossfaderRight(true);
    paramName(true);
    paramTimecode(true);
    paramVinylDeltaPositionA(true);
    paramVinylDeltaPositionB(true);
    paramCurveOnSize(true);
    paramVolumeLooper(true);
    paramVolumeDeck(true);
    paramVolumeRecord(true);
    paramVolumeMetronum(true);
    paramInputBufferA(true);
    paramInputBufferB(true);
    paramProcessingBufferA(true);
    paramProcessingBufferB(true);
    paramOutputBuffer(true);
    paramDisplayFrequency(true);
    paramGenerateCutOffSound(true);
    paramGraphMainCurve(true);
    paramGraphGrid(true);
    paramGraphCurveCrossFaderOff(true);
    paramGraphCurveNoSound(true);
    paramGraphShiniMode(true);
    paramGraphVinylPosition(true);
    paramGraphDirectSound(true);
    paramGraphLogo(true);
}

QString Setting::readText(Key key) const {
    const QVariant value = m_settings->value(keyPath(key));
    // An unquoted hand-written value with commas comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void Setting::write(Key key, const QString& value) {
    m_settings->setValue(keyPath(key), value);
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        qWarning() << "Could not write the settings file" << m_path;
}

// GUI thread with reload; any thread without.
template <typename T> std::shared_ptr<const T> Setting::shared(Key key, AtomicShared<T>& cache, bool reload) {
    if (!reload)
        return cache.load();
    auto value = std::make_shared<const T>(readText(key));
    cache.store(value);
    return value;
}

int Setting::integer(Key key, std::atomic<int>& cache, bool reload) {
    if (reload) {
        bool ok = false;
        const int value = readText(key).toInt(&ok);
        cache.store(ok ? value : 0, std::memory_order_relaxed);
    }
    return cache.load(std::memory_order_relaxed);
}

double Setting::real(Key key, std::atomic<double>& cache, bool reload) {
    if (reload) {
        bool ok = false;
        const double value = readText(key).toDouble(&ok);
        cache.store(ok && std::isfinite(value) ? value : 0.0, std::memory_order_relaxed);
    }
    return cache.load(std::memory_order_relaxed);
}

bool Setting::flag(Key key, std::atomic<bool>& cache, bool reload) {
    if (reload) {
        const QString text = readText(key);
        cache.store(!(text.isEmpty() || text == QLatin1String("0") ||
                      text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0),
                    std::memory_order_relaxed);
    }
    return cache.load(std::memory_order_relaxed);
}

// Getters.

std::shared_ptr<const QDeviceRegEx> Setting::paramInput_A(bool reload) {
    return shared(InputA, m_inputA, reload);
}
std::shared_ptr<const QDeviceRegEx> Setting::paramInput_B(bool reload) {
    return shared(InputB, m_inputB, reload);
}
std::shared_ptr<const QDeviceRegEx> Setting::paramInput_Master(bool reload) {
    return shared(InputMaster, m_inputMaster, reload);
}
std::shared_ptr<const QMidiRegEx> Setting::paramInput_Midi(bool reload) {
    return shared(InputMidi, m_inputMidi, reload);
}
QString Setting::paramLearn_Midi(bool reload) {
    return *shared(LearnMidi, m_learnMidi, reload);
}
std::shared_ptr<const QDeviceRegEx> Setting::paramOutput_Playback(bool reload) {
    return shared(OutputPlayback, m_outputPlayback, reload);
}
int Setting::paramCrossfaderLeft(bool reload) {
    return integer(CrossFaderLeft, m_crossFaderLeft, reload);
}
int Setting::paramCrossfaderRight(bool reload) {
    return integer(CrossFaderRight, m_crossFaderRight, reload);
}
QString Setting::paramName(bool reload) {
    return *shared(Name, m_name, reload);
}
QString Setting::paramTimecode(bool reload) {
    return *shared(Timecode, m_timecode, reload);
}
double Setting::paramVinylDeltaPositionA(bool reload) {
    return real(VinylDeltaPositionA, m_vinylDeltaPositionA, reload);
}
double Setting::paramVinylDeltaPositionB(bool reload) {
    return real(VinylDeltaPositionB, m_vinylDeltaPositionB, reload);
}
int Setting::paramCurveOnSize(bool reload) {
    return integer(CurveOnSize, m_curveOnSize, reload);
}
double Setting::paramVolumeLooper(bool reload) {
    return real(VolumeLooper, m_volumeLooper, reload);
}
double Setting::paramVolumeDeck(bool reload) {
    return real(VolumeDeck, m_volumeDeck, reload);
}
double Setting::paramVolumeRecord(bool reload) {
    return real(VolumeRecord, m_volumeRecord, reload);
}
double Setting::paramVolumeMetronum(bool reload) {
    return real(VolumeMetronum, m_volumeMetronum, reload);
}
QString Setting::paramInputBufferA(bool reload) {
    return *shared(InputBufferA, m_inputBufferA, reload);
}
QString Setting::paramInputBufferB(bool reload) {
    return *shared(InputBufferB, m_inputBufferB, reload);
}
QString Setting::paramProcessingBufferA(bool reload) {
    return *shared(ProcessingBufferA, m_processingBufferA, reload);
}
QString Setting::paramProcessingBufferB(bool reload) {
    return *shared(ProcessingBufferB, m_processingBufferB, reload);
}
QString Setting::paramOutputBuffer(bool reload) {
    return *shared(OutputBuffer, m_outputBuffer, reload);
}
QString Setting::paramDisplayFrequency(bool reload) {
    return *shared(DisplayFrequency, m_displayFrequency, reload);
}
bool Setting::paramGenerateCutOffSound(bool reload) {
    return flag(OptionGenerateCutOffSound, m_optionGenerateCutOffSound, reload);
}
bool Setting::paramGraphMainCurve(bool reload) {
    return flag(GraphMainCurve, m_graphMainCurve, reload);
}
bool Setting::paramGraphGrid(bool reload) {
    return flag(GraphGrid, m_graphGrid, reload);
}
bool Setting::paramGraphCurveCrossFaderOff(bool reload) {
    return flag(GraphCurveCrossFaderOff, m_graphCurveCrossFaderOff, reload);
}
bool Setting::paramGraphCurveNoSound(bool reload) {
    return flag(GraphCurveNoSound, m_graphCurveNoSound, reload);
}
bool Setting::paramGraphShiniMode(bool reload) {
    return flag(GraphShiniMode, m_graphShiniMode, reload);
}
bool Setting::paramGraphVinylPosition(bool reload) {
    return flag(GraphVinylPosition, m_graphVinylPosition, reload);
}
bool Setting::paramGraphDirectSound(bool reload) {
    return flag(GraphDirectSound, m_graphDirectSound, reload);
}
bool Setting::paramGraphLogo(bool reload) {
    return flag(GraphLogo, m_graphLogo, reload);
}

// Setters, GUI thread.

void Setting::setParamInput_A(const QString& value) {
    write(InputA, value);
    paramInput_A(true);
}
void Setting::setParamInput_B(const QString& value) {
    write(InputB, value);
    paramInput_B(true);
}
void Setting::setParamInput_Master(const QString& value) {
    write(InputMaster, value);
    paramInput_Master(true);
}
void Setting::setParamInput_Midi(const QString& value) {
    write(InputMidi, value);
    paramInput_Midi(true);
}
void Setting::setParamLearn_Midi(unsigned int channel, unsigned int controller) {
    write(LearnMidi, QStringLiteral("%1/%2").arg(channel).arg(controller));
    paramLearn_Midi(true);
}
void Setting::setParamOutput_Playback(const QString& value) {
    write(OutputPlayback, value);
    paramOutput_Playback(true);
}
void Setting::setParamCrossfaderLeft(const QString& value) {
    write(CrossFaderLeft, value);
    paramCrossfaderLeft(true);
}
void Setting::setParamCrossfaderRight(const QString& value) {
    write(CrossFaderRight, value);
    paramCrossfaderRight(true);
}
void Setting::setParamName(const QString& value) {
    write(Name, value);
    paramName(true);
}
void Setting::setParamTimecode(const QString& value) {
    write(Timecode, value);
    paramTimecode(true);
}
double Setting::storedAngle(double degrees) {
    return angleText(degrees).toDouble();
}

void Setting::setParamVinylDeltaPositionA(double value) {
    write(VinylDeltaPositionA, angleText(value));
    paramVinylDeltaPositionA(true);
}
void Setting::setParamVinylDeltaPositionB(double value) {
    write(VinylDeltaPositionB, angleText(value));
    paramVinylDeltaPositionB(true);
}
void Setting::setParamCurveOnSize(const QString& value) {
    write(CurveOnSize, value);
    paramCurveOnSize(true);
}
void Setting::setParamVolumeLooper(const QString& value) {
    write(VolumeLooper, value);
    paramVolumeLooper(true);
}
void Setting::setParamVolumeDeck(const QString& value) {
    write(VolumeDeck, value);
    paramVolumeDeck(true);
}
void Setting::setParamVolumeRecord(const QString& value) {
    write(VolumeRecord, value);
    paramVolumeRecord(true);
}
void Setting::setParamVolumeMetronum(const QString& value) {
    write(VolumeMetronum, value);
    paramVolumeMetronum(true);
}
void Setting::setParamInputBufferA(const QString& value) {
    write(InputBufferA, value);
    paramInputBufferA(true);
}
void Setting::setParamInputBufferB(const QString& value) {
    write(InputBufferB, value);
    paramInputBufferB(true);
}
void Setting::setParamProcessingBufferA(const QString& value) {
    write(ProcessingBufferA, value);
    paramProcessingBufferA(true);
}
void Setting::setParamProcessingBufferB(const QString& value) {
    write(ProcessingBufferB, value);
    paramProcessingBufferB(true);
}
void Setting::setParamOutputBuffer(const QString& value) {
    write(OutputBuffer, value);
    paramOutputBuffer(true);
}
void Setting::setParamDisplayFrequency(const QString& value) {
    write(DisplayFrequency, value);
    paramDisplayFrequency(true);
}
void Setting::setParamGenerateCutOffSound(const QString& value) {
    write(OptionGenerateCutOffSound, value);
    paramGenerateCutOffSound(true);
}
void Setting::setParamGraphMainCurve(const QString& value) {
    write(GraphMainCurve, value);
    paramGraphMainCurve(true);
}
void Setting::setParamGraphGrid(const QString& value) {
    write(GraphGrid, value);
    paramGraphGrid(true);
}
void Setting::setParamGraphCurveCrossFaderOff(const QString& value) {
    write(GraphCurveCrossFaderOff, value);
    paramGraphCurveCrossFaderOff(true);
}
void Setting::setParamGraphCurveNoSound(const QString& value) {
    write(GraphCurveNoSound, value);
    paramGraphCurveNoSound(true);
}
void Setting::setParamGraphShiniMode(const QString& value) {
    write(GraphShiniMode, value);
    paramGraphShiniMode(true);
}
void Setting::setParamGraphVinylPosition(const QString& value) {
    write(GraphVinylPosition, value);
    paramGraphVinylPosition(true);
}
void Setting::setParamGraphDirectSound(const QString& value) {
    write(GraphDirectSound, value);
    paramGraphDirectSound(true);
}
void Setting::setParamGraphLogo(const QString& value) {
    write(GraphLogo, value);
    paramGraphLogo(true);
}
