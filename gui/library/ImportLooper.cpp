#include "ImportLooper.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "QWMenuLooper.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/Header.h"
#include "core/ManageWAV.h"
#include "core/Path.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/QBIconPush.h"
#include "gui/widgets/QBPush.h"
#include "gui/widgets/QCustomSlider.h"

namespace {

constexpr int START_BPM = 88;
// Copies of one loop under numbered names; far beyond any real use.
constexpr int MAX_COPIES = 1000;

bool sameContent(const QString& a, const QString& b) {
    QFile left(a);
    QFile right(b);
    if (left.size() != right.size() || !left.open(QIODevice::ReadOnly) || !right.open(QIODevice::ReadOnly))
        return false;
    while (!left.atEnd()) {
        if (left.read(1 << 16) != right.read(1 << 16))
            return false;
    }
    return true;
}

// The folder's entry whose name equals `name` ignoring case (a case-insensitive disk holds one of them).
QString entryNamed(const QDir& folder, const QString& name) {
    for (const QString& entry : folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

ImportLooper::ImportLooper(QWidget* parent)
    : QDialog(parent), m_close(new QBPush(QStringLiteral("close.png"), this)),
      m_save(new QBPush(QStringLiteral("save.png"), this)), m_import(new QBPush(QStringLiteral("import.png"), this)),
      m_title(new QLineEdit(this)), m_author(new QLineEdit(this)), m_looper(new QLineEdit(this)),
      m_bpm(new QCustomSlider(Qt::Horizontal, this)), m_bpmLabel(new QLabel(this)), m_offset(new QSpinBox(this)),
      m_authorButton(new QBIconPush(QStringLiteral("LogoQuillon.png"), this)) {
    m_looper->setReadOnly(true);
    m_bpm->setRange(50, 200);
    m_offset->setRange(0, 96000);
    buildLayout();
    connect(m_save, &QBPush::s_push, this, &ImportLooper::save);
    connect(m_close, &QBPush::s_push, this, &ImportLooper::accept);
    connect(m_bpm, &QSlider::valueChanged, this, &ImportLooper::updateBpmLabel);
    connect(m_import, &QBPush::s_push, this, &ImportLooper::openLooperFile);
    connect(m_authorButton, &QBIconPush::s_push, this, &ImportLooper::selectAuthorIcon);
    connect(this, &ImportLooper::s_UpdateIcon, m_authorButton, &QBIconPush::loadAuthorImageWithPath);

    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setStyleSheet(Function::loadStyleFromFile(Path::joinCss(QStringLiteral("style.css"))));
    setFixedWidth(600);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void ImportLooper::buildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);

    auto* header = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Add New Looper"), this);
    caption->setObjectName(QStringLiteral("title"));
    header->addWidget(caption, 1);
    header->addWidget(m_close);
    layout->addLayout(header);
    layout->addSpacing(25);
    layout->addWidget(m_authorButton, 0, Qt::AlignLeft);
    layout->addWidget(new QLabel(QStringLiteral("Title"), this));
    layout->addWidget(m_title);
    layout->addWidget(new QLabel(QStringLiteral("Author"), this));
    layout->addWidget(m_author);
    layout->addWidget(new QLabel(QStringLiteral("Looper"), this));
    auto* looperRow = new QHBoxLayout;
    looperRow->setSpacing(0);
    looperRow->addWidget(m_looper, 1);
    looperRow->addSpacing(25);
    looperRow->addWidget(m_import);
    layout->addLayout(looperRow);
    layout->addWidget(new QLabel(QStringLiteral("Start Offset of Looper (48000=1s)"), this));
    layout->addWidget(m_offset);
    layout->addWidget(new QLabel(QStringLiteral("BPM"), this));
    auto* bpmRow = new QHBoxLayout;
    bpmRow->setSpacing(0);
    bpmRow->addWidget(m_bpm, 1);
    bpmRow->addSpacing(25);
    bpmRow->addWidget(m_bpmLabel, 0, Qt::AlignRight);
    layout->addLayout(bpmRow);
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch();
    saveRow->addWidget(m_save, 0, Qt::AlignRight);
    layout->addLayout(saveRow);
    layout->addStretch();
}

void ImportLooper::initShow() {
    m_title->clear();
    m_author->clear();
    m_looper->clear();
    m_bpm->setValue(START_BPM);
    m_offset->setValue(0);
    m_picturePath.clear();
    emit s_UpdateIcon(QString());
    updateBpmLabel();
    show();
}

void ImportLooper::updateBpmLabel() {
    m_bpmLabel->setText(QString::number(m_bpm->value()));
}

void ImportLooper::openLooperFile() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open Looper"), QString(),
                                                      Constant::Extension::EXTENSION_SOUND_FILTERS, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    if (path.toLower().endsWith(Constant::Extension::WAV))
        m_looper->setText(path);
    else
        qWarning() << "Selected file is not a WAV file:" << path;
}

void ImportLooper::selectAuthorIcon() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Select Author Image"), QString(),
                                                      Constant::Extension::EXTENSION_PICTURE_FILTERS, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    m_picturePath = path;
    emit s_UpdateIcon(path);
}

QString ImportLooper::placeSound(const QString& source, const QString& folder, bool* copied) {
    *copied = false;
    const QDir dir(folder);
    const QFileInfo info(source);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QStringList base{info.completeBaseName()};
    for (int n = 1; n <= MAX_COPIES; ++n) {
        const QString name = Function::safeFileName(
            n == 1 ? QStringLiteral("%1") + suffix : QStringLiteral("%1_") + QString::number(n) + suffix, base);
        const QString existing = entryNamed(dir, name);
        if (existing.isEmpty()) {
            const QString target = dir.filePath(name);
            if (!QFile::copy(source, target))
                return QString();
            *copied = true;
            return target;
        }
        // The same loop again (another set at another tempo, say) shares the file.
        if (sameContent(source, dir.filePath(existing)))
            return dir.filePath(existing);
    }
    return QString();
}

void ImportLooper::save() {
    const QString title = m_title->text();
    const QString author = m_author->text();
    const QString source = m_looper->text();
    if (title.isEmpty() || author.isEmpty() || source.isEmpty())
        return;
    const int bpm = m_bpm->value();
    const int offset = m_offset->value();

    bool usable = false;
    const QString holds = ManageWAV::describeWAVFile(source, &usable);
    if (!usable) {
        MessageBox::information(QStringLiteral("Not a 16-bit PCM WAV file with sound:\n  %1\n  It holds %2.")
                                    .arg(QFileInfo(source).fileName(), holds));
        return;
    }
    // The author and title are the user's text; the path never leaves the author's folder.
    const QString folder = Path::joinLooper(Function::safeFileName(QStringLiteral("%1"), {author}));
    const QString headerPath =
        folder + QLatin1Char('/') +
        Function::safeFileName(QStringLiteral("%1_%2_") + QString::number(bpm) + Constant::Extension::QLT,
                               {author, title});
    if (QFileInfo::exists(headerPath)) {
        MessageBox::information(QWMenuLooper::alreadyImportedText(title, author, bpm));
        return;
    }

    const bool folderCreated = !QFileInfo::exists(folder);
    QStringList created;
    const auto fail = [&]() {
        for (const QString& path : created)
            QFile::remove(path);
        if (folderCreated)
            QDir().rmdir(folder);
        MessageBox::information(QStringLiteral("The looper could not be saved in:\n  %1").arg(folder));
    };
    if (folderCreated && !QDir().mkpath(folder))
        return fail();
    bool copied = false;
    const QString sound = placeSound(source, folder, &copied);
    if (sound.isEmpty())
        return fail();
    if (copied)
        created.append(sound);
    const QString picture = folder + QLatin1Char('/') + Constant::Default::AUTHOR_FILE;
    // An author's picture already in the folder stays: it is every set of that author's.
    if (QFileInfo(m_picturePath).isFile() && !QFileInfo::exists(picture)) {
        if (!QFile::copy(m_picturePath, picture))
            return fail();
        created.append(picture);
    }
    const QLooper stored(QString(), 1, ModelActivatedMode::Looper, 0, title, author, QString(), QString(), bpm,
                         QFileInfo(sound).fileName(), offset, QString(), QString(), QString(), QString(),
                         QString(), QString());
    if (!Header::exportHeaderToQLTFile(headerPath, &stored))
        return fail();

    emit s_NewLooper(QLooper(headerPath, 1, ModelActivatedMode::Looper, 0, title, author, QString(),
                             QFileInfo::exists(picture) ? picture : QString(), bpm, sound, offset, QString(),
                             QString(), QString(), QString(), QString(), QString()));
    hide();
}
