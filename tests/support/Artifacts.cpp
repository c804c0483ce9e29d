#include "Artifacts.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

QString Artifacts::folder() {
    return QStringLiteral(QUILLON_ARTIFACTS_DIR);
}

QString Artifacts::save(const QImage& image, const QString& name) {
    if (!QDir().mkpath(folder()))
        return QString();
    const QString path = folder() + "/" + name + ".png";
    return image.save(path, "PNG") ? path : QString();
}

QString Artifacts::save(QWidget* widget, const QString& name) {
    if (!widget)
        return QString();
    widget->ensurePolished();
    return save(widget->grab().toImage(), name);
}
