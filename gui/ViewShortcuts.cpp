#include "ViewShortcuts.h"

#include <QKeySequence>
#include <QShortcut>

#include <functional>

#include "core/ManagePhrasing.h"
#include "core/Singleton.h"
#include "gui/QWGridTool.h"
#include "gui/QWMenuDevice.h"
#include "gui/library/ColorFileSaver.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBPush.h"

namespace {

struct Row {
    QKeyCombination key;
    // The action runs with this object as context: it ends with it.
    QObject* target;
    std::function<void()> action;
};

// One letter's three volume keys: up, Shift down, Ctrl silent.
void volumeRows(QList<Row>& rows, Qt::Key key, QWMenuDevice* settings, ModelVolume::EnumVolume channel) {
    rows.append({QKeyCombination(key), settings, [=] { settings->volumeUp(channel); }});
    rows.append({Qt::SHIFT | key, settings, [=] { settings->volumeDown(channel); }});
    rows.append({Qt::CTRL | key, settings, [=] { settings->volumeNoSound(channel); }});
}

// One deck's five area keys: add, Shift start here, Ctrl+Shift fill the gap, delete, Shift clear.
void areaRows(QList<Row>& rows, Qt::Key add, Qt::Key remove, ManagePhrasing* set) {
    rows.append({QKeyCombination(add), set, [=] { set->addArea(); }});
    rows.append({Qt::SHIFT | add, set, [=] { set->defineAngleStart(); }});
    rows.append({Qt::CTRL | Qt::SHIFT | add, set, [=] { set->addAreaOnAllEmptyArea(); }});
    rows.append({QKeyCombination(remove), set, [=] { set->deleteArea(); }});
    rows.append({Qt::SHIFT | remove, set, [=] { set->initAreas(); }});
}

QList<Row> table(const ViewShortcuts::Targets& t) {
    Singleton* registry = Singleton::instance();
    QB2Push* play = t.toolBar->playButton();
    QBPush* previous = t.toolBar->previousButton();
    QBPush* next = t.toolBar->nextButton();
    QList<Row> rows = {
        {QKeyCombination(Qt::Key_Space), play, [=] { play->mouseClick(); }},
        {QKeyCombination(Qt::Key_Left), previous, [=] { previous->mouseClick(); }},
        {QKeyCombination(Qt::Key_Right), next, [=] { next->mouseClick(); }},
        {QKeyCombination(Qt::Key_Enter), registry, [=] { registry->calculVinylDeltaPositionA(); }},
        {QKeyCombination(Qt::Key_Return), registry, [=] { registry->calculVinylDeltaPositionA(); }},
        {QKeyCombination(Qt::Key_Backspace), registry, [=] { registry->calculVinylDeltaPositionB(); }},
    };
    areaRows(rows, Qt::Key_E, Qt::Key_R, t.phrasingA);
    areaRows(rows, Qt::Key_I, Qt::Key_O, t.phrasingB);
    rows.append({QKeyCombination(Qt::Key_S), t.saverA, [s = t.saverA] { s->saveToColorFileA(); }});
    rows.append({QKeyCombination(Qt::Key_J), t.saverB, [s = t.saverB] { s->saveToColorFileB(); }});
    volumeRows(rows, Qt::Key_C, t.settings, ModelVolume::LOOPER);
    volumeRows(rows, Qt::Key_V, t.settings, ModelVolume::DECK_A_B);
    volumeRows(rows, Qt::Key_B, t.settings, ModelVolume::RECORD_A_B);
    volumeRows(rows, Qt::Key_N, t.settings, ModelVolume::METRONUM);
    return rows;
}

} // namespace

QList<QShortcut*> ViewShortcuts::install(QWidget* view, const Targets& targets) {
    QList<QShortcut*> shortcuts;
    for (const Row& row : table(targets)) {
        auto* shortcut = new QShortcut(QKeySequence(row.key), view);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, row.target, row.action);
        shortcuts.append(shortcut);
    }
    return shortcuts;
}
