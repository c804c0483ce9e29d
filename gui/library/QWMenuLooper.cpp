#include "QWMenuLooper.h"

#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayoutItem>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ImportLooper.h"
#include "QWLooper.h"
#include "core/Constant.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/library/LibrarySet.h"
#include "core/library/PackageImport.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/QBPushDark.h"

const QString QWMenuLooper::NON_COMPLIANT = QStringLiteral("Non-compliant file !");

QWMenuLooper::QWMenuLooper(const QString& name, const QString& icon, QWidget* parent)
    : QWidget(parent), m_close(new QBPushDark(QStringLiteral("close.png"), this)),
      m_import(new QBPushDark(QStringLiteral("addition.png"), this)),
      m_add(new QBPushDark(QStringLiteral("add-song.png"), this)), m_importLooper(new ImportLooper),
      m_icon(icon) {
    setObjectName(name);
    m_loopers = LibrarySet::scan(name);
    drawPanel();
}

QWMenuLooper::~QWMenuLooper() = default;

QString QWMenuLooper::alreadyImportedText(const QString& title, const QString& author, int bpm) {
    return QStringLiteral("File already imported !\n  %1\n  %2\n  %3").arg(title, author, QString::number(bpm));
}

QLooper QWMenuLooper::exportQLTToLooper(const QString& path, bool checkHash) const {
    return LibrarySet::readTrainingFile(path, objectName(), checkHash);
}

bool QWMenuLooper::compare(const QLooper& a, const QLooper& b) {
    return LibrarySet::sameSet(a, b);
}

void QWMenuLooper::drawPanel() {
    auto* header = new QHBoxLayout;
    header->setSpacing(0);
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(m_import);
    if (objectName() == Constant::Directory::LOOPER)
        header->addWidget(m_add);
    else
        m_add->hide();
    header->addStretch();
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("dark"));
    icon->setPixmap(Path::joinResourceIcon(m_icon).scaled(20, 20, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    header->addWidget(icon);
    header->addSpacing(25);
    auto* caption = new QLabel(objectName(), this);
    caption->setObjectName(QStringLiteral("dark"));
    header->addWidget(caption);
    header->addStretch();
    header->addWidget(m_close, 0, Qt::AlignRight);
    auto* headerFrame = new QFrame(this);
    headerFrame->setObjectName(QStringLiteral("frameheader"));
    headerFrame->setContentsMargins(0, 0, 0, 0);
    headerFrame->setLayout(header);

    m_rowsLayout = new QVBoxLayout;
    m_rowsLayout->setSpacing(0);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setAlignment(Qt::AlignTop);
    auto* core = new QFrame;
    core->setObjectName(QStringLiteral("framecore"));
    core->setLayout(m_rowsLayout);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(core);
    for (const QLooper& looper : m_loopers)
        addWidget(looper);

    auto* panel = new QVBoxLayout(this);
    panel->setSpacing(0);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(headerFrame);
    panel->addWidget(scroll);
}

void QWMenuLooper::addWidget(const QLooper& looper) {
    const QUuid id = LibrarySet::isDefaultSet(looper) ? Constant::Default::UUID : QUuid::createUuid();
    auto* row = new QWLooper(id, objectName(), looper);
    connect(row, &QWLooper::s_deleteLooper, this, &QWMenuLooper::deleteQWLooper);
    m_rowsLayout->addWidget(row);
}

void QWMenuLooper::addWidgetAndLooper(const QLooper& looper) {
    m_loopers.append(looper);
    addWidget(looper);
}

QList<QWLooper*> QWMenuLooper::rows() const {
    QList<QWLooper*> list;
    for (int i = 0; i < m_rowsLayout->count(); ++i) {
        if (auto* row = qobject_cast<QWLooper*>(m_rowsLayout->itemAt(i)->widget()))
            list.append(row);
    }
    return list;
}

void QWMenuLooper::deleteQWLooper(const QUuid& id) {
    for (int i = 0; i < m_rowsLayout->count(); ++i) {
        auto* row = qobject_cast<QWLooper*>(m_rowsLayout->itemAt(i)->widget());
        if (!row || row->id() != id)
            continue;
        delete m_rowsLayout->takeAt(i);
        row->hide();
        row->deleteLater();
        for (qsizetype k = 0; k < m_loopers.size(); ++k) {
            if (compare(m_loopers[k], row->looper())) {
                m_loopers.removeAt(k);
                break;
            }
        }
        return;
    }
}

int QWMenuLooper::activeIndex(const QList<QWLooper*>& rows) const {
    const RecordingLooperTraining* open = Singleton::instance()->instanceLooperTraining();
    if (open->tabNameActivated() != objectName())
        return -1;
    const QString id = open->idActivated().toString();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i]->objectName() == id)
            return int(i);
    }
    return -1;
}

void QWMenuLooper::play() {
    const QList<QWLooper*> list = rows();
    const int active = activeIndex(list);
    if (active < 0)
        return;
    list[active]->refreshPlayStop();
    emit s_RefreshLooper(list[active]->looper());
}

void QWMenuLooper::step(int delta) {
    const QList<QWLooper*> list = rows();
    const int active = activeIndex(list);
    if (active < 0)
        return;
    QWLooper* target = list[(active + delta + list.size()) % list.size()];
    target->refreshPlayStop();
    if (!Singleton::instance()->instanceMode()->modeTraining())
        emit s_RefreshLooper(target->looper());
}

void QWMenuLooper::previous() {
    step(-1);
}

void QWMenuLooper::next() {
    step(1);
}

void QWMenuLooper::manageIconPlayPause(const QUuid& id, const QString& name) {
    const bool training = Singleton::instance()->instanceMode()->modeTraining();
    const QString idText = id.toString();
    for (QWLooper* row : rows()) {
        if (name == objectName() && row->objectName() == idText) {
            if (training) {
                row->play();
                emit s_RefreshLooper(row->looper());
            } else {
                row->stop();
            }
        } else {
            row->stop();
        }
    }
}

void QWMenuLooper::refresh() {
    for (QWLooper* row : rows()) {
        if (row->is_playing())
            row->play();
        else
            row->stop();
    }
}

void QWMenuLooper::addNewLooper() {
    m_importLooper->initShow();
}

void QWMenuLooper::addQLZToWidgetAndLooper() {
    const QString path = QFileDialog::getOpenFileName(nullptr, QStringLiteral("Import ") + objectName(), QString(),
                                                      Constant::Extension::EXTENSION_ZIP_FILTERS);
    if (!path.isEmpty())
        importPackage(path);
}

void QWMenuLooper::importPackage(const QString& path) {
    const PackageImport::Result result = PackageImport::import(path, objectName(), m_loopers);
    switch (result.status) {
    case PackageImport::Status::Imported:
        addWidgetAndLooper(result.looper);
        break;
    case PackageImport::Status::NonCompliant:
        MessageBox::information(NON_COMPLIANT);
        break;
    case PackageImport::Status::AlreadyImported:
        // One box per record it matches; the set's own when only its folder is there already.
        for (const QLooper& looper : result.duplicates.isEmpty() ? QList<QLooper>{result.looper} : result.duplicates)
            MessageBox::information(alreadyImportedText(looper.title(), looper.author(), looper.bpm()));
        break;
    case PackageImport::Status::WriteFailed:
        MessageBox::information(QStringLiteral("The package could not be written into the library:\n  %1")
                                    .arg(Path::joinHome(objectName())));
        break;
    }
}
