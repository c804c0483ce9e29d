#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QSize>
#include <QString>

#include "core/Constant.h"

class QLabel;
class QWidget;

// The picture handling that the buttons share. Pictures come from the embedded icons; a missing one
// gives an empty picture and is not reported.
namespace WidgetLook {

inline QColor colorOf(Constant::Color::Rgba color) {
    return QColor(color.red, color.green, color.blue, color.alpha);
}

// Shows the icon `picture` on the button at `iconSize`.
void showPicture(QAbstractButton* button, const QString& picture, const QSize& iconSize);
// A label showing `picture` scaled into 25x25, keeping its aspect ratio.
QLabel* pictureLabel(const QString& picture, Qt::TransformationMode mode, QWidget* parent);

// Announces every change of the button's checked state, whatever caused it, by its s_Toogle_on or
// s_Toogle_off.
template <class Toggle> void announceToggles(Toggle* toggle) {
    QObject::connect(toggle, &QAbstractButton::toggled, toggle, [toggle](bool on) {
        if (on)
            emit toggle->s_Toogle_on();
        else
            emit toggle->s_Toogle_off();
    });
}

} // namespace WidgetLook
