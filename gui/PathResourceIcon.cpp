#include "core/Path.h"

#include <QPixmap>

QPixmap Path::joinResourceIcon(const QString& name) {
    return QPixmap(QStringLiteral(":/Icon/gui/icon/") + name);
}
