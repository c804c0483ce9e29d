#include "QWMenuColor.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

#include "QWColor.h"
#include "core/Constant.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Phrasing.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/QBPushDark.h"

namespace {

ModelGraph::EnumGraph deckOf(int deck) {
    return deck ? ModelGraph::INPUT_B : ModelGraph::INPUT_A;
}

} // namespace

QWMenuColor::QWMenuColor(const QString& name, const QString& iconName, QWidget* parent)
    : QWidget(parent), m_close(new QBPushDark(QStringLiteral("close.png"), this)),
      m_add(new QBPushDark(QStringLiteral("addition.png"), this)), m_iconName(iconName) {
    setObjectName(name);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("dark"));
    const QPixmap picture = Path::joinResourceIcon(iconName);
    if (!picture.isNull())
        icon->setPixmap(picture.scaled(20, 20, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* title = new QLabel(name, this);
    title->setObjectName(QStringLiteral("dark"));
    auto* header = new QHBoxLayout;
    header->setSpacing(0);
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(m_add);
    header->addStretch();
    header->addWidget(icon);
    header->addSpacing(25);
    header->addWidget(title);
    header->addStretch();
    header->addWidget(m_close, 0, Qt::AlignRight);
    auto* headerFrame = new QFrame(this);
    headerFrame->setObjectName(QStringLiteral("frameheader"));
    headerFrame->setContentsMargins(0, 0, 0, 0);
    headerFrame->setLayout(header);

    m_rows = new QVBoxLayout;
    m_rows->setSpacing(0);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setAlignment(Qt::AlignTop);
    auto* core = new QFrame;
    core->setObjectName(QStringLiteral("framecore"));
    core->setLayout(m_rows);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(core);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(headerFrame);
    layout->addWidget(scroll);

    connect(m_add, &QBPushDark::s_push, this, &QWMenuColor::addQLPToWidgetAndManagePhrasing);
    loadList();
}

QWMenuColor::~QWMenuColor() = default;

std::unique_ptr<ManagePhrasing> QWMenuColor::exportQLPToManagePhrasing(const QString& path) {
    return ManagePhrasing::readQLPFile(path);
}

QList<QWColor*> QWMenuColor::rows() const {
    QList<QWColor*> list;
    for (int i = 0; i < m_rows->count(); ++i) {
        if (auto* row = qobject_cast<QWColor*>(m_rows->itemAt(i)->widget()))
            list.append(row);
    }
    return list;
}

QWColor* QWMenuColor::row(const QUuid& id) const {
    for (QWColor* row : rows()) {
        if (row->id() == id)
            return row;
    }
    return nullptr;
}

void QWMenuColor::loadList() {
    qDeleteAll(m_listPhrasing);
    m_listPhrasing.clear();
    const QDir folder(Path::joinHome(objectName()));
    folder.mkpath(QStringLiteral("."));
    // Name filters ignore letter case, so ".QLP" files are listed too; hidden ones are listed because
    // earlier versions saved a typed name such as "../x" as ".._x.qlp".
    const QStringList names = folder.entryList({QStringLiteral("*") + Constant::Extension::QLP},
                                               QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString& name : names) {
        if (std::unique_ptr<ManagePhrasing> set = exportQLPToManagePhrasing(folder.path() + '/' + name)) {
            set->setParent(this);
            m_listPhrasing.append(set.release());
        }
    }
    // The shipped default file comes first, so it is the one that takes the default id even when
    // another file calls itself "Default color".
    std::stable_partition(m_listPhrasing.begin(), m_listPhrasing.end(), [](const ManagePhrasing* set) {
        return QFileInfo(set->path()).fileName() ==
               Constant::Default::PHRASING_DEFAULT + Constant::Extension::QLP;
    });
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (ManagePhrasing* set : std::as_const(m_listPhrasing))
        addWidget(set);
    refreshDisplay();
}

void QWMenuColor::addWidget(ManagePhrasing* set) {
    // Only one row stands for the default colour file, whatever other files call themselves.
    const bool isDefault =
        set->title() == Constant::Default::PHRASING_DEFAULT && !row(Constant::Default::UUID);
    auto* row = new QWColor(isDefault ? Constant::Default::UUID : QUuid::createUuid(), objectName(), set);
    connect(row, &QWColor::s_deleteColor, this, &QWMenuColor::deleteQWColor);
    connect(row, &QWColor::s_refreshCheck, this, &QWMenuColor::refreshDisplay);
    m_rows->addWidget(row);
}

void QWMenuColor::append(std::unique_ptr<ManagePhrasing> set) {
    set->setParent(this);
    m_listPhrasing.append(set.get());
    addWidget(set.release());
}

void QWMenuColor::displayMessageBox(const QString& text) {
    MessageBox::information(text, this);
}

void QWMenuColor::addQLPToWidgetAndManagePhrasing() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Import ") + objectName(), QString(),
        Constant::Extension::EXTENSION_PHRASING_FILTERS, nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        importQLPFileWithCopy(path);
}

void QWMenuColor::importQLPFileWithCopy(const QString& path) {
    std::unique_ptr<ManagePhrasing> set = exportQLPToManagePhrasing(path);
    if (!set) {
        displayMessageBox(QStringLiteral("Non-compliant file !"));
        return;
    }
    const QString target = Path::joinColor(QFileInfo(path).fileName());
    if (QFileInfo::exists(target)) {
        displayMessageBox(QStringLiteral("File already imported !"));
        return;
    }
    if (!QFile::copy(path, target)) {
        displayMessageBox(QStringLiteral("File could not be copied !"));
        return;
    }
    set->setPath(target);
    append(std::move(set));
}

void QWMenuColor::importQLPFileWithoutCopy(const QString& path) {
    if (std::unique_ptr<ManagePhrasing> set = exportQLPToManagePhrasing(path))
        append(std::move(set));
}

void QWMenuColor::deleteQWColor(const QUuid& id) {
    QWColor* target = row(id);
    if (!target)
        return;
    Phrasing* phrasing = Singleton::instance()->instancePhrasing();
    for (int deck = 0; deck < 2; ++deck) {
        if (phrasing->idPhrasingActivated(deckOf(deck)) == id)
            phrasing->setIdPhrasingActivated(deckOf(deck), Constant::Default::UUID);
    }
    ManagePhrasing* set = target->phrasing();
    m_listPhrasing.removeOne(set);
    delete m_rows->takeAt(m_rows->indexOf(target));
    // This may run inside the row's own slot: both go once control is back in the event loop, the
    // row (whose preview paints the set) first.
    target->hide();
    target->deleteLater();
    if (set)
        set->deleteLater();
    refreshDisplay();
}

void QWMenuColor::refreshDisplay() {
    Phrasing* phrasing = Singleton::instance()->instancePhrasing();
    bool anyChecked = false;
    for (QWColor* row : rows()) {
        for (int deck = 0; deck < 2; ++deck) {
            if (row->id() == phrasing->idPhrasingActivated(deckOf(deck))) {
                deck ? row->checkB() : row->checkA();
                applyDeck(deck, row);
                anyChecked = true;
            } else {
                deck ? row->uncheckB() : row->uncheckA();
            }
        }
    }
    Mode* mode = Singleton::instance()->instanceMode();
    const bool defaults = phrasing->idPhrasingActivated(ModelGraph::INPUT_A) == Constant::Default::UUID &&
                          phrasing->idPhrasingActivated(ModelGraph::INPUT_B) == Constant::Default::UUID;
    if (anyChecked || !defaults)
        mode->modeColor_on();
    else
        mode->modeColor_off();
    emit s_refreshDisplay();
}

// Training and Recording sets bring their own colour files; the row then only marks the deck.
void QWMenuColor::applyDeck(int deck, const QWColor* row) {
    Singleton* registry = Singleton::instance();
    Phrasing* phrasing = registry->instancePhrasing();
    WavPhrasing* sound = registry->instanceWavPhrasing();
    RecordingLooperTraining* open = registry->instanceLooperTraining();
    const ModelGraph::EnumGraph graph = deckOf(deck);
    const ModelActivatedMode::EnumActivatedMode mode = open->mode();
    if (mode == ModelActivatedMode::Recording || mode == ModelActivatedMode::Training) {
        const QString& path = deck ? open->pathColor_B() : open->pathColor_A();
        std::unique_ptr<ManagePhrasing>& held = m_openSetColor[deck];
        if (!held || held->path() != path)
            held = exportQLPToManagePhrasing(path);
        phrasing->setListPhrasing(graph, held ? held->listPhrasing() : QList<QPhrasing>());
        sound->setWavPhrasing(graph, held ? held->wav() : nullptr);
        return;
    }
    m_openSetColor[deck].reset();
    const ManagePhrasing* set = row->phrasing();
    if (!set)
        return;
    phrasing->setListPhrasing(graph, set->listPhrasing());
    sound->setWavPhrasing(graph, set->wav());
    const QString name = QFileInfo(set->path()).fileName();
    if (deck)
        open->setPathColor_B(name);
    else
        open->setPathColor_A(name);
}
