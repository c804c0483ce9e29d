#include "QBIconPush.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include "core/Constant.h"
#include "core/Path.h"

QBIconPush::QBIconPush(const QString& defaultPicture, QWidget* parent)
    : QWidget(parent), m_defaultPicture(defaultPicture), m_label(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_label, 0, Qt::AlignCenter);
    loadAuthorImage();
}

void QBIconPush::loadAuthorImage() {
    loadAuthorImageWithPath(Path::joinInput(Constant::Default::AUTHOR_FILE));
}

void QBIconPush::loadAuthorImageWithPath(const QString& path) {
    QPixmap picture;
    if (QFileInfo::exists(path))
        picture.load(path);
    // A file that is not a picture (a package can carry anything) shows the default, not a blank.
    if (picture.isNull())
        picture.load(Path::joinResourceImage(m_defaultPicture));
    m_label->setPixmap(
        picture.isNull() ? picture : picture.scaled(200, 100, Qt::KeepAspectRatio, Qt::FastTransformation));
}

void QBIconPush::mousePressEvent(QMouseEvent*) {
    emit s_push();
}
