#pragma once

#include <QString>
#include <QUuid>

#include <cstdint>

#include "Model.h"

// Named constants shared by every subsystem. Texts are implicitly shared strings
// backed by static data; colours are compile-time values that the drawing code
// turns into QColor.

namespace Constant {

namespace SettingMixer {
inline const QString KEY_INPUT_A = QStringLiteral("inputA");
inline const QString KEY_INPUT_B = QStringLiteral("inputB");
inline const QString KEY_INPUT_MASTER = QStringLiteral("inputMaster");
inline const QString KEY_OUTPUT_A = QStringLiteral("outputA");
inline const QString KEY_OUTPUT_B = QStringLiteral("outputB");
inline const QString KEY_OUTPUT_MASTER = QStringLiteral("outputMaster");
inline const QString KEY_OUTPUT_HEADPHONE = QStringLiteral("outputHeadphone");
} // namespace SettingMixer

namespace ContextMenu {
inline const QString HIDE_SHOW = QStringLiteral("Show / Hide");
inline const QString MAIN_CURVE = QStringLiteral("Main Curve");
inline const QString GRID = QStringLiteral("Grid");
inline const QString CURVE_CROSSFADER_OFF = QStringLiteral("Curve of CrossFader Off");
inline const QString CURVE_NO_SOUND = QStringLiteral("Curve of No Sound");
inline const QString SHINI_MODE = QStringLiteral("Draw Open/Close arrows (Shini Mode)");
inline const QString VINYL_POSITION = QStringLiteral("Vinyl Position");
inline const QString DIRECT_WAVE = QStringLiteral("Direct Wave");
inline const QString LOGO = QStringLiteral("Logo");
} // namespace ContextMenu

namespace Date {
inline const QString FORMAT = QStringLiteral("yyyyMMdd-hhmmss,zzz");
} // namespace Date

namespace Midi {
inline const QString MIDI_CROSSFADER = QStringLiteral("XFader");
} // namespace Midi

namespace Directory {
inline const QString APP_DATA = QStringLiteral("AppData");
inline const QString INPUT = QStringLiteral("Input");
inline const QString RECORDING = QStringLiteral("Recording");
inline const QString COLOR = QStringLiteral("Color");
inline const QString SCRATCH_TOOLS = QStringLiteral("Scratch Tools");
inline const QString LOOPER = QStringLiteral("Looper");
inline const QString CSS = QStringLiteral("Css");
} // namespace Directory

namespace Extension {
inline const QString WAV = QStringLiteral(".wav");
inline const QString QLT = QStringLiteral(".qlt");
inline const QString QLW = QStringLiteral(".qlw");
inline const QString QLZ = QStringLiteral(".qlz");
inline const QString QLP = QStringLiteral(".qlp");
inline const QString EXTENSION_SOUND_FILTERS = QStringLiteral("Wav Files (*.wav);;All files (*.*)");
inline const QString EXTENSION_ZIP_FILTERS = QStringLiteral("Quillon Zip (*.qlz);;All files (*.*)");
inline const QString EXTENSION_PICTURE_FILTERS =
    QStringLiteral("Image PNG (*.png);; Image JPG (*.jpg);;All files (*.*)");
inline const QString EXTENSION_PHRASING_FILTERS = QStringLiteral("Quillon Phrasing (*.qlp);;All files (*.*)");
} // namespace Extension

namespace Default {
inline const QString PHRASING_DEFAULT = QStringLiteral("Default color");
inline const QString AUTHOR_FILE = QStringLiteral("author.png");
inline const QString AUTHOR = QStringLiteral("T4rMo");
inline const QString TITLE = QStringLiteral("Regular Training");
// Empty, not null: a link built from it has an empty target.
inline const QString URL = QStringLiteral("");
inline const QString TAB = Directory::LOOPER;
// Marks the built-in training row and colour file, and means "no choice" for the active set and phrasing.
inline const QUuid UUID = QUuid::fromString(QStringLiteral("{00000001-0002-0003-0004-000000000005}"));
inline constexpr ModelActivatedMode::EnumActivatedMode MODE = ModelActivatedMode::Looper;
} // namespace Default

namespace XmlPhrasing {
inline const QString PHRASING = QStringLiteral("Phrasing");
inline const QString SECTION = QStringLiteral("Section");
inline const QString NAME = QStringLiteral("name");
inline const QString SCRATCH_TOOLS = QStringLiteral("scratchTools");
inline const QString LABEL = QStringLiteral("label");
inline const QString COLOR = QStringLiteral("color");
inline const QString ANGLE_START = QStringLiteral("angleStart");
inline const QString ANGLE_END = QStringLiteral("angleEnd");
} // namespace XmlPhrasing

namespace Color {

// 8-bit red, green, blue and alpha. The core has no GUI module, so colours are
// plain values here; the drawing code converts them.
struct Rgba {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t alpha = 255;
    friend constexpr bool operator==(const Rgba&, const Rgba&) = default;
};

// The twelve members of the phrasing-area palette, in the order areas take them.
inline constexpr Rgba COLOR_RED_1{208, 0, 24};
inline constexpr Rgba COLOR_RED_2{220, 64, 82};
inline constexpr Rgba COLOR_RED_3{232, 128, 139};
inline constexpr Rgba COLOR_YELLOW_1{254, 194, 0};
inline constexpr Rgba COLOR_YELLOW_2{254, 209, 64};
inline constexpr Rgba COLOR_YELLOW_3{255, 225, 128};
inline constexpr Rgba COLOR_BLUE_1{1, 194, 193};
inline constexpr Rgba COLOR_BLUE_2{65, 209, 209};
inline constexpr Rgba COLOR_BLUE_3{128, 225, 224};
inline constexpr Rgba COLOR_ORANGE_1{255, 123, 0};
inline constexpr Rgba COLOR_ORANGE_2{255, 156, 64};
inline constexpr Rgba COLOR_ORANGE_3{255, 189, 128};

inline constexpr Rgba COLOR_BLACK_43{43, 43, 43};
inline constexpr Rgba COLOR_BLACK_43_ALPHA_100{43, 43, 43, 100};
inline constexpr Rgba COLOR_BLACK_43_ALPHA_150{43, 43, 43, 150};
inline constexpr Rgba COLOR_BLACK_53{53, 53, 53};
inline constexpr Rgba COLOR_GREEN_255{0, 255, 0};
inline constexpr Rgba COLOR_GREEN_255_ALPHA_100{0, 255, 0, 100};
inline constexpr Rgba COLOR_GREEN_255_ALPHA_150{0, 255, 0, 150};
inline constexpr Rgba COLOR_GREEN_105{0, 105, 0};
// Cyan: the colour of input B.
inline constexpr Rgba COLOR_BLUE_255{0, 255, 255};
inline constexpr Rgba COLOR_BLUE_255_ALPHA_100{0, 255, 255, 100};
inline constexpr Rgba COLOR_BLUE_255_ALPHA_150{0, 255, 255, 150};
inline constexpr Rgba COLOR_BLUE_105{0, 105, 105};
inline constexpr Rgba COLOR_NO_SOUND{175, 176, 177};
inline constexpr Rgba COLOR_WHITE_175{175, 176, 177};
inline constexpr Rgba COLOR_WHITE_95{95, 96, 97};
inline constexpr Rgba COLOR_RED_255{255, 0, 0};

} // namespace Color

} // namespace Constant
