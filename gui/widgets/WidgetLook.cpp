#include "WidgetLook.h"

#include <QAbstractButton>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "core/Path.h"

namespace {

// How much of a disabled picture shows through over the dark ground.
constexpr double DISABLED_OPACITY = 0.35;

// The picture in grey, mostly faded into the ground behind it. The toolkit's own disabled picture
// keeps a white icon within a few levels of white on the dark theme, so it would look pressable.
QPixmap disabledPicture(const QPixmap& picture) {
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, int(qAlpha(line[x]) * DISABLED_OPACITY));
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

void WidgetLook::showPicture(QAbstractButton* button, const QString& picture, const QSize& iconSize) {
    const QPixmap pixmap = Path::joinResourceIcon(picture);
    QIcon icon(pixmap);
    if (!pixmap.isNull())
        icon.addPixmap(disabledPicture(pixmap), QIcon::Disabled);
    button->setIcon(icon);
    button->setIconSize(iconSize);
}

QLabel* WidgetLook::pictureLabel(const QString& picture, Qt::TransformationMode mode, QWidget* parent) {
    auto* label = new QLabel(parent);
    const QPixmap pixmap = Path::joinResourceIcon(picture);
    if (!pixmap.isNull())
        label->setPixmap(pixmap.scaled(25, 25, Qt::KeepAspectRatio, mode));
    return label;
}
