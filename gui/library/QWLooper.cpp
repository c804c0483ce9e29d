#include "QWLooper.h"

#include <QDebug>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "core/Constant.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Phrasing.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/library/LibrarySet.h"
#include "core/library/PackageExport.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBPush.h"

namespace {

// Time between stopping the running set and starting the next, so the stop chain has finished.
constexpr int START_DELAY_MS = 100;

} // namespace

QWLooper::QWLooper(const QUuid& id, const QString& tabName, const QLooper& looper, QWidget* parent)
    : QWidget(parent), m_id(id), m_tabName(tabName), m_looper(looper),
      m_playPause(new QB2Push(QStringLiteral("play-button.png"), QStringLiteral("pause-button.png"), this)),
      m_delete(new QBPush(QStringLiteral("delete.png"), this)),
      m_share(new QBPush(QStringLiteral("share.png"), this)) {
    setObjectName(id.toString());
    setFixedHeight(110);
    buildLayout();
    connect(m_playPause, &QB2Push::s_push, this, &QWLooper::refreshPlayStop);
    connect(m_delete, &QBPush::s_push, this, &QWLooper::deleteLooperFile);
    connect(m_share, &QBPush::s_push, this, &QWLooper::shareLooperFile);
    updatePlayStopIcon();
    m_playPause->unchecked();
    m_playPause->hide();
    m_delete->hide();
    m_share->hide();
}

QString QWLooper::linkText(const QString& url, const QString& author) {
    const QUrl link(url, QUrl::TolerantMode);
    const QString scheme = link.scheme().toLower();
    if (!link.isValid() || link.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return author.toHtmlEscaped();
    return QStringLiteral("<a href=\"%1\" style=\"color:#0976b8; \">%2</a>")
        .arg(link.toString(QUrl::FullyEncoded).toHtmlEscaped(), author.toHtmlEscaped());
}

void QWLooper::buildLayout() {
    auto* picture = new QLabel(this);
    const QString picturePath = m_looper.path_picture().isEmpty()
                                    ? Path::joinResourceImage(QStringLiteral("LogoQuillon.png"))
                                    : m_looper.path_picture();
    QPixmap pixmap;
    if (pixmap.load(picturePath))
        picture->setPixmap(pixmap.scaled(100, 200, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        qWarning("Failed to load author image: %s", qUtf8Printable(picturePath));

    // Titles and authors come from files other people made: never read as markup.
    auto* title = new QLabel(m_looper.title(), this);
    title->setTextFormat(Qt::PlainText);
    auto* link = new QLabel(linkText(m_looper.url(), m_looper.author()), this);
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse |
                                  Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(true);
    auto* bpm = new QLabel(QStringLiteral("%1 bpm").arg(m_looper.bpm()), this);
    bpm->setObjectName(QStringLiteral("bpm"));
    bpm->setFixedWidth(120);
    bpm->setAlignment(Qt::AlignCenter);

    auto* actions = new QVBoxLayout;
    actions->setSpacing(0);
    actions->setContentsMargins(0, 0, 0, 0);
    actions->setAlignment(Qt::AlignTop);
    actions->addWidget(m_delete);
    actions->addWidget(m_share);

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setAlignment(Qt::AlignLeft);
    grid->setColumnMinimumWidth(1, 50);
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(3, 50);
    grid->setColumnMinimumWidth(4, 100);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addLayout(actions, 0, 1, 2, 1, Qt::AlignHCenter);
    grid->addWidget(title, 0, 2, 1, 2);
    grid->addWidget(link, 1, 2);
    grid->addWidget(bpm, 1, 3);
    grid->addWidget(m_playPause, 0, 4, 2, 1, Qt::AlignCenter);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frameborder"));
    frame->setLayout(grid);
    auto* row = new QHBoxLayout(this);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(frame);
}

void QWLooper::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    showDeleteShareIcons();
    m_playPause->show();
    QWidget::enterEvent(event);
}

void QWLooper::leaveEvent(QEvent* event) {
    m_hovered = false;
    m_delete->hide();
    m_share->hide();
    m_playPause->setVisible(m_playing);
    QWidget::leaveEvent(event);
}

void QWLooper::showDeleteShareIcons() {
    m_share->show();
    m_delete->setVisible(!m_playing && !LibrarySet::isDefaultSet(m_looper));
}

void QWLooper::updatePlayStopIcon() {
    if (Singleton::instance()->instanceMode()->modeRecorder())
        m_playPause->changePicture(QStringLiteral("play_record-button.png"),
                                   QStringLiteral("pause_record-button.png"));
    else
        m_playPause->changePicture(QStringLiteral("play-button.png"), QStringLiteral("pause-button.png"));
}

void QWLooper::play() {
    updatePlayStopIcon();
    m_playPause->checked();
    m_playing = true;
    m_playPause->show();
    m_delete->hide();
    m_share->hide();
}

void QWLooper::stop() {
    updatePlayStopIcon();
    m_playPause->unchecked();
    m_playing = false;
    if (m_hovered)
        showDeleteShareIcons();
    else
        m_playPause->hide();
}

void QWLooper::refreshPlayStop() {
    Mode* mode = Singleton::instance()->instanceMode();
    const bool active = m_id == Singleton::instance()->instanceLooperTraining()->idActivated();
    // The lock spans the start delay and the count-in. A press on the counting row during the
    // count-in (training already on) stops it; any other press then would be a second start.
    if (mode->modeTrainingLock() && !(active && mode->modeTraining()))
        return;
    if (active && mode->modeTraining()) {
        mode->modeTraining_off();
        mode->modeMenuRefresh(m_id, m_tabName);
        return;
    }
    if (mode->modeTraining())
        mode->modeTraining_off();
    // Released by the run control once the new run's sounds start.
    mode->modeTrainingLock_on();
    QTimer::singleShot(START_DELAY_MS, this, &QWLooper::run_ModeTraining);
}

void QWLooper::run_ModeTraining() {
    RecordingLooperTraining* open = Singleton::instance()->instanceLooperTraining();
    open->setVersion(m_looper.version());
    open->setMode(m_looper.mode());
    open->setApp(m_looper.app());
    open->setTitle(m_looper.title());
    open->setAuthor(m_looper.author());
    open->setUrl(m_looper.url());
    open->setBpm(double(m_looper.bpm()));
    open->setOffset(double(m_looper.offset()));
    open->setPathSound_Looper(m_looper.path_sound_looper());
    open->setPathSound_A(m_looper.path_sound_a());
    open->setPathSound_B(m_looper.path_sound_b());
    open->setPathCurve_1(m_looper.path_curve_1());
    open->setPathCurve_2(m_looper.path_curve_2());
    // A looper plays over the colour files the user chose; trainings and recordings bring their own.
    if (m_looper.mode() == ModelActivatedMode::Recording || m_looper.mode() == ModelActivatedMode::Training) {
        Singleton::instance()->instancePhrasing()->initIdPhrasingActivated();
        open->setPathColor_A(m_looper.path_color_a());
        open->setPathColor_B(m_looper.path_color_b());
    }
    open->setIdActivated(m_id);
    open->setNameActivated(m_tabName);
    Mode* mode = Singleton::instance()->instanceMode();
    mode->modeTraining_on();
    mode->modeMenuRefresh(m_id, m_tabName);
}

QStringList QWLooper::listFiles() const {
    return LibrarySet::files(m_looper);
}

void QWLooper::deleteLooperFile() {
    const QString question = QStringLiteral("Delete files Permanently?\n  %1\n  %2\n  %3 bpm")
                                 .arg(m_looper.title(), m_looper.author(), QString::number(m_looper.bpm()));
    if (!MessageBox::question(question))
        return;
    LibrarySet::remove(m_looper);
    emit s_deleteLooper(m_id);
}

void QWLooper::shareLooperFile() {
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr, QStringLiteral("Select a directory to save %1").arg(m_tabName), QString(),
        QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty())
        shareTo(folder);
}

bool QWLooper::shareTo(const QString& folder) {
    const QString path = PackageExport::packagePath(folder, m_tabName, m_looper);
    if (PackageExport::write(path, m_looper))
        return true;
    MessageBox::information(QStringLiteral("Failed to compress files to:\n  %1").arg(path));
    return false;
}
