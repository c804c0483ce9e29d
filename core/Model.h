#pragma once

#include <QMetaEnum>
#include <QObject>
#include <QString>

// The system's enumerations. Each lives in a namespace named Model + topic and is
// registered with the meta-object system, so its key names convert to and from text
// (configuration values, folder names and library tabs depend on those spellings).

namespace ModelGraph {
Q_NAMESPACE
enum EnumGraph {
    GRID = 0,
    GRID_FIRST_METRONOM = 1,
    CURRENT = 2,
    INPUT_A = 3,
    INPUT_B = 4,
    WAV_DIRECT = 5,
    INPUT_1 = 6,
    INPUT_2 = 7,
    MASTER = 8,
    PLAYBACK = 9,
    AXE = 10,
    LABEL = 11,
    TAG = 12,
    TAG_NUMBER = 13,
    NOT_USED = 14
};
Q_ENUM_NS(EnumGraph)
} // namespace ModelGraph

namespace ModelActivatedMode {
Q_NAMESPACE
// 5 is not used.
enum EnumActivatedMode { Recording = 0, Looper = 1, Training = 2, Color = 3, Setting = 4, Undefined = 6 };
Q_ENUM_NS(EnumActivatedMode)
} // namespace ModelActivatedMode

namespace ModelDisplay {
Q_NAMESPACE
enum EnumDisplay { NORMAL, PHRASING, DRUMMING, UNDEFINED };
Q_ENUM_NS(EnumDisplay)
} // namespace ModelDisplay

namespace ModelInput {
Q_NAMESPACE
enum EnumInput { TEXT_A, TEXT_B, TEXT_A_B, UNDEFINED };
Q_ENUM_NS(EnumInput)
} // namespace ModelInput

namespace ModelCrossFader {
Q_NAMESPACE
enum EnumCrossFader { RIGHT, LEFT, MIDDLE };
Q_ENUM_NS(EnumCrossFader)
} // namespace ModelCrossFader

namespace ModelRotation {
Q_NAMESPACE
enum EnumRotation { FORWARD, BACK, UNDEFINED };
Q_ENUM_NS(EnumRotation)
} // namespace ModelRotation

namespace ModelPhase {
Q_NAMESPACE
enum EnumPhase { RISING, DESCENDING, UNDEFINED };
Q_ENUM_NS(EnumPhase)
} // namespace ModelPhase

namespace ModelVolume {
Q_NAMESPACE
enum EnumVolume { LOOPER, DECK_A_B, RECORD_A_B, METRONUM, Undefined };
Q_ENUM_NS(EnumVolume)
} // namespace ModelVolume

namespace ModelAudioDeviceInfo {
Q_NAMESPACE
enum EnumAudioDeviceInfo { AUDIO_INPUT, AUDIO_OUTPUT, Undefined };
Q_ENUM_NS(EnumAudioDeviceInfo)
} // namespace ModelAudioDeviceInfo

namespace ModelError {
Q_NAMESPACE
enum EnumError { INFO, DEBUG, WARNING };
Q_ENUM_NS(EnumError)
} // namespace ModelError

namespace ModelTimecode {
Q_NAMESPACE
enum EnumTimecode { generic_V2, serato_sideA_FullDVS, serato_sideB_FullDVS, traktor_sideA, traktor_sideB };
Q_ENUM_NS(EnumTimecode)
} // namespace ModelTimecode

namespace ModelItem {
Q_NAMESPACE
enum EnumGroup { controls, pages, page };
Q_ENUM_NS(EnumGroup)
enum EnumItem { button, wheel, knob, led, pedal, footswitch, touchstrip };
Q_ENUM_NS(EnumItem)
enum EnumSubItem { controller, channel, min, max, on, off };
Q_ENUM_NS(EnumSubItem)
} // namespace ModelItem

namespace ModelMode {
Q_NAMESPACE
enum EnumMode { Basic, Shift, NO_TESTED };
Q_ENUM_NS(EnumMode)
} // namespace ModelMode

namespace Model {

// The slot of a per-input pair: 1 for INPUT_B, 0 for every other graph value.
constexpr int inputIndex(ModelGraph::EnumGraph graph) {
    return graph == ModelGraph::INPUT_B ? 1 : 0;
}

// The key name of an enumeration value ("INPUT_A"); empty for a value without a key.
template <typename Enum> QString toText(Enum value) {
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(static_cast<int>(value)));
}

// The value whose key name is `text`, compared case-sensitively; `ok` tells whether one matched.
template <typename Enum> Enum fromText(const QString& text, bool* ok = nullptr) {
    bool found = false;
    const int value = QMetaEnum::fromType<Enum>().keyToValue(text.toLatin1().constData(), &found);
    if (ok)
        *ok = found;
    return static_cast<Enum>(found ? value : 0);
}

} // namespace Model
