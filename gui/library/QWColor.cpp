#include "QWColor.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "QWPainterPhrasing.h"
#include "QWPainterRec.h"
#include "core/Constant.h"
#include "core/ManagePhrasing.h"
#include "core/Phrasing.h"
#include "core/Singleton.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBPush.h"
#include "gui/widgets/WidgetLook.h"

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent) {
    // Texts come from colour files: never read as markup.
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

QWColor::QWColor(const QUuid& id, const QString& tabName, ManagePhrasing* phrasing, QWidget* parent)
    : QWidget(parent), m_toggle{new QB2Push(QStringLiteral("uncheckA.png"), QStringLiteral("A.png"), this),
                                new QB2Push(QStringLiteral("uncheckB.png"), QStringLiteral("B.png"), this)},
      m_id(id), m_tabName(tabName), m_phrasing(phrasing),
      m_title(plainLabel(phrasing->title().toUpper(), this)),
      m_delete(new QBPush(QStringLiteral("delete.png"), this)),
      m_share(new QBPush(QStringLiteral("share.png"), this)),
      m_preview(new QWPainterPhrasing(phrasing, this)) {
    setObjectName(id.toString());
    setFixedHeight(110);

    connect(m_toggle[0], &QB2Push::s_push, this, &QWColor::refreshCheckA);
    uncheckA();
    connect(m_toggle[1], &QB2Push::s_push, this, &QWColor::refreshCheckB);
    uncheckB();

    connect(m_delete, &QBPush::s_push, this, &QWColor::delete_PhrasingFile);
    connect(m_share, &QBPush::s_push, this, &QWColor::share_PhrasingFile);
    m_delete->hide();
    m_share->hide();
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(0);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setAlignment(Qt::AlignTop);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_share);

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setAlignment(Qt::AlignLeft);
    grid->setColumnMinimumWidth(1, 50);
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(3, 60);
    grid->setColumnMinimumWidth(4, 60);
    grid->addWidget(m_preview, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addLayout(buttons, 0, 1, 2, 1, Qt::AlignCenter);
    grid->addWidget(m_title, 0, 2);
    grid->addWidget(swatches(), 1, 2);
    grid->addWidget(m_toggle[0], 0, 3, 2, 1, Qt::AlignCenter);
    grid->addWidget(m_toggle[1], 0, 4, 2, 1, Qt::AlignCenter);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frameborder"));
    frame->setLayout(grid);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(5);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
}

ManagePhrasing* QWColor::phrasing() const {
    return m_phrasing;
}

// Three areas per line: a swatch, then its label.
QWidget* QWColor::swatches() {
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setAlignment(Qt::AlignTop);
    for (int column = 0; column < 6; column += 2) {
        grid->setColumnMinimumWidth(column, 50);
        grid->setColumnStretch(column + 1, 1);
    }
    const QList<QPhrasing>& areas = m_phrasing->listPhrasing();
    for (qsizetype i = 0; i < areas.size(); ++i) {
        const int row = int(i / 3);
        const int column = int(2 * (i % 3));
        grid->addWidget(new QWPainterRec(WidgetLook::colorOf(areas[i].color())), row, column);
        QLabel* label = plainLabel(areas[i].label(), nullptr);
        label->setObjectName(QStringLiteral("color"));
        grid->addWidget(label, row, column + 1);
    }
    auto* frame = new QFrame;
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setLayout(grid);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(frame);
    return scroll;
}

void QWColor::check(int deck) {
    m_toggle[deck]->setChecked(true);
    m_checked[deck] = true;
    m_toggle[deck]->show();
    // A row that was hovered with its delete button shown may just have become a deck's.
    showDeleteIcon();
}

void QWColor::uncheck(int deck) {
    m_toggle[deck]->setChecked(false);
    m_checked[deck] = false;
    if (m_hovered)
        showDeleteIcon();
    else
        m_toggle[deck]->hide();
}

void QWColor::showDeleteIcon() {
    m_delete->setVisible(m_hovered && m_id != Constant::Default::UUID && !m_checked[0] && !m_checked[1]);
}

void QWColor::refreshCheck(int deck) {
    Phrasing* phrasing = Singleton::instance()->instancePhrasing();
    if (!m_checked[deck]) {
        uncheck(deck);
        phrasing->setIdPhrasingActivated(deckOf(deck), m_id);
    } else {
        // A second press hands the deck back to the default colour file.
        m_toggle[deck]->setChecked(true);
        m_toggle[deck]->show();
        phrasing->setIdPhrasingActivated(deckOf(deck), Constant::Default::UUID);
    }
    emit s_refreshCheck();
}

void QWColor::enterEvent(QEnterEvent*) {
    m_hovered = true;
    showDeleteIcon();
    m_share->show();
    m_toggle[0]->show();
    m_toggle[1]->show();
}

void QWColor::leaveEvent(QEvent*) {
    m_hovered = false;
    m_delete->hide();
    m_share->hide();
    m_toggle[0]->setVisible(m_checked[0]);
    m_toggle[1]->setVisible(m_checked[1]);
}

QString QWColor::deleteQuestion() const {
    QString text = QStringLiteral("Delete files Permanently? \n");
    for (const QPhrasing& area : m_phrasing->listPhrasing()) {
        const Constant::Color::Rgba color = area.color();
        // One arg call: a label holding "%1" is not filled in.
        text += QStringLiteral("  \"%1\" RGB(%2,%3,%4) from %5 to %6\n")
                    .arg(area.label(), QString::number(color.red), QString::number(color.green),
                         QString::number(color.blue), QString::number(area.angleStart(), 'g', 6),
                         QString::number(area.angleEnd(), 'g', 6));
    }
    return text;
}

void QWColor::delete_PhrasingFile() {
    if (!m_phrasing)
        return;
    // The box runs its own event loop, in which this row may go away: it has no parent, and the row
    // is looked at again only through a guard.
    const QPointer<QWColor> self(this);
    if (!MessageBox::question(deleteQuestion()) || !self || !m_phrasing)
        return;
    const QString path = m_phrasing->path();
    if (!QFile::remove(path) && QFile::exists(path)) {
        MessageBox::information(QStringLiteral("File could not be deleted !"));
        return;
    }
    emit s_deleteColor(m_id);
}

void QWColor::share_PhrasingFile() {
    if (!m_phrasing)
        return;
    const QString source = m_phrasing->path();
    QFileDialog dialog(nullptr, QStringLiteral("Select a directory to save ") + m_tabName);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setNameFilter(Constant::Extension::EXTENSION_PHRASING_FILTERS);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().size() != 1)
        return;
    // QFile::copy never replaces an existing file.
    QFile::copy(source, QDir(dialog.selectedFiles().first()).filePath(QFileInfo(source).fileName()));
}
