#include "SaveColorPhrasing.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

#include "core/Function.h"
#include "core/Path.h"
#include "gui/widgets/QBPush.h"

SaveColorPhrasing::SaveColorPhrasing(ModelGraph::EnumGraph deck, QWidget* parent)
    : QDialog(parent), m_close(new QBPush(QStringLiteral("close.png"), this)), m_name(new QLineEdit(this)),
      m_save(new QBPush(QStringLiteral("save.png"), this)), m_deck(deck) {
    setStyleSheet(Function::loadStyleFromFile(Path::joinCss(QStringLiteral("style.css"))));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setModal(true);

    auto* caption =
        new QLabel(QStringLiteral("Save configuration of phrasing colors: ") +
                       (deck == ModelGraph::INPUT_B ? QStringLiteral("Input B") : QStringLiteral("Input A")),
                   this);
    caption->setObjectName(QStringLiteral("title"));
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(caption, 1);
    header->addWidget(m_close);
    auto* nameRow = new QHBoxLayout;
    nameRow->setContentsMargins(0, 0, 0, 0);
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(header);
    layout->addSpacing(25);
    layout->addWidget(new QLabel(QStringLiteral("Filename"), this));
    layout->addLayout(nameRow);
    layout->addStretch();

    connect(m_save, &QBPush::s_push, this, &SaveColorPhrasing::save);
    // Return in the name field saves, as the button does.
    connect(m_name, &QLineEdit::returnPressed, this, &SaveColorPhrasing::save);
    connect(m_close, &QBPush::s_push, this, &QDialog::accept);
    show();
}

void SaveColorPhrasing::save() {
    const QString name = m_name->text();
    if (name.isEmpty())
        return;
    // A receiver may close and release the dialog.
    const QPointer<SaveColorPhrasing> self(this);
    emit s_filename(name);
    if (self)
        accept();
}
