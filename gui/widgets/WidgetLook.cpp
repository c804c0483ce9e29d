#include "WidgetLook.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>
#include <QPixmap>

#include "core/Path.h"

void WidgetLook::showPicture(QAbstractButton* button, const QString& picture, const QSize& iconSize) {
    button->setIcon(QIcon(Path::joinResourceIcon(picture)));
    button->setIconSize(iconSize);
}

QLabel* WidgetLook::pictureLabel(const QString& picture, Qt::TransformationMode mode, QWidget* parent) {
    auto* label = new QLabel(parent);
    const QPixmap pixmap = Path::joinResourceIcon(picture);
    if (!pixmap.isNull())
        label->setPixmap(pixmap.scaled(25, 25, Qt::KeepAspectRatio, mode));
    return label;
}
