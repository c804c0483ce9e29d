#include "QBPushMenu.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "QWRotationLabel.h"
#include "WidgetLook.h"
#include "core/Mode.h"
#include "core/Singleton.h"

QBPushMenu::QBPushMenu(ModelActivatedMode::EnumActivatedMode mode, const QString& picture, QWidget* parent)
    : QPushButton(parent), m_mode(mode), m_picture(picture) {
    setObjectName(QStringLiteral("dark"));
    setFixedSize(35, 50);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignHCenter);
    layout->addWidget(new QWRotationLabel(Model::toText(mode), this));
    QLabel* label = WidgetLook::pictureLabel(picture, Qt::FastTransformation, this);
    label->setObjectName(QStringLiteral("dark"));
    label->setFixedHeight(50);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
}

void QBPushMenu::clearFocusState() {
    if (!Singleton::instance()->instanceMode()->modeMenuFocus())
        setFixedSize(35, 50);
}

bool QBPushMenu::event(QEvent* event) {
    Mode* mode = Singleton::instance()->instanceMode();
    if (event->type() == QEvent::Enter) {
        mode->modeMenuFocus_on();
        setFixedSize(35, 150);
    } else if (event->type() == QEvent::Leave) {
        mode->modeMenuFocus_off();
        emit s_MenuNoFocus();
    }
    return QWidget::event(event);
}

void QBPushMenu::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit s_Push(m_mode);
    QWidget::mousePressEvent(event);
}
