#include "QCSelectDisplayMode.h"

#include <QIcon>
#include <QWheelEvent>

#include "core/Mode.h"
#include "core/Path.h"
#include "core/Singleton.h"

QCSelectDisplayMode::QCSelectDisplayMode(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("selectdisplaymode"));
    addItem(QIcon(Path::joinResourceIcon(QStringLiteral("music-sound-wave-line.png"))),
            QStringLiteral("Normal"));
    addItem(QIcon(Path::joinResourceIcon(QStringLiteral("phrasing.png"))), QStringLiteral("Phrasing"));
    addItem(QIcon(Path::joinResourceIcon(QStringLiteral("drumming.png"))), QStringLiteral("Drumming"));
    connect(this, &QComboBox::currentIndexChanged, this, &QCSelectDisplayMode::save);
    save(currentIndex());
}

void QCSelectDisplayMode::save(int index) {
    // -1 while the list is emptied: no display mode.
    if (index < ModelDisplay::NORMAL || index > ModelDisplay::DRUMMING)
        return;
    Singleton::instance()->instanceMode()->setModeDisplay(static_cast<ModelDisplay::EnumDisplay>(index));
    emit s_Indexchanged();
}

void QCSelectDisplayMode::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
