#pragma once

#include <QList>

class ColorFileSaver;
class ManagePhrasing;
class QShortcut;
class QWGridTool;
class QWMenuDevice;
class QWidget;

// The main view's keyboard: transport, calibration, the decks' colour areas and the four volumes.
// Each key is a shortcut of the whole window, so it acts wherever the focus is, except in a text
// field, which keeps the keys it uses for typing.
namespace ViewShortcuts {

struct Targets {
    QWGridTool* toolBar;
    // The painters' editing sets of deck A and deck B, and their savers.
    ManagePhrasing* phrasingA;
    ManagePhrasing* phrasingB;
    ColorFileSaver* saverA;
    ColorFileSaver* saverB;
    QWMenuDevice* settings;
};

// Creates the shortcuts on `view`, which owns them; returns them in table order.
QList<QShortcut*> install(QWidget* view, const Targets& targets);

} // namespace ViewShortcuts
