#include "QWGridTool.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>

#include "core/Constant.h"
#include "core/QLooper.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBPush.h"
#include "gui/widgets/QBSelectInput.h"
#include "gui/widgets/QBToggle.h"
#include "gui/widgets/QBToggleCircular.h"
#include "gui/widgets/QCSelectDisplayMode.h"
#include "gui/widgets/QComboBoxBpm.h"
#include "gui/widgets/QDLed.h"

namespace {

// The tempo shown before any set is chosen.
constexpr int DEFAULT_BPM = 84;

bool isWebAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

} // namespace

QWGridTool::QWGridTool(QWidget* parent) : QWidget(parent) {
    createWidgets();
    setupLayout();
}

QString QWGridTool::linkText(const QString& url, const QString& author) {
    const QString target = isWebAddress(url) ? QUrl(url).toString(QUrl::FullyEncoded).toHtmlEscaped() : QString();
    return QStringLiteral("<a href=\"%1\" style=\"color:#0976b8; \">%2</a>").arg(target, author.toHtmlEscaped());
}

void QWGridTool::createWidgets() {
    m_record = new QBToggle(QStringLiteral("record.png"), this);
    m_mix = new QBToggle(QStringLiteral("mix.png"), this);
    m_reverse = new QBToggle(QStringLiteral("hamster.png"), this);
    m_inputSelector = new QBSelectInput(this);
    m_metronomeLed = new QDLed(QStringLiteral("metronom.png"), this);
    m_metronome = new QBToggle(QStringLiteral("metronom2.png"), this);
    m_beatCombo = new QComboBoxBpm(this);
    m_displayMode = new QCSelectDisplayMode(this);
    m_previous = new QBPush(QStringLiteral("previous.png"), this);
    m_play = new QB2Push(QStringLiteral("play-button.png"), QStringLiteral("pause-button.png"), this);
    m_next = new QBPush(QStringLiteral("next.png"), this);
    m_hold = new QBToggleCircular(QStringLiteral("hold.png"), this);

    // Titles and tempi come from library files: never read as markup.
    m_title = plainLabel(QString(), this);
    m_link = new QLabel(this);
    m_link->setTextFormat(Qt::RichText);
    m_link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_link->setOpenExternalLinks(true);
    m_modeLabel = plainLabel(QString(), this);
    m_modeLabel->setObjectName(QStringLiteral("border"));
    m_modeLabel->setFixedWidth(120);
    m_modeLabel->setAlignment(Qt::AlignCenter);

    showSet(Constant::Default::TITLE, Constant::Default::URL, Constant::Default::AUTHOR,
            Model::toText(Constant::Default::MODE), DEFAULT_BPM);
}

void QWGridTool::setupLayout() {
    auto* transport = new QGridLayout;
    transport->setContentsMargins(0, 0, 0, 0);
    transport->setSpacing(10);
    transport->setAlignment(Qt::AlignCenter);
    transport->addWidget(m_beatCombo, 0, 1, 2, 1, Qt::AlignCenter);
    transport->addWidget(m_previous, 0, 3, 2, 1, Qt::AlignCenter);
    transport->addWidget(m_play, 0, 5, 2, 1, Qt::AlignCenter);
    transport->addWidget(m_hold, 0, 6, 2, 1, Qt::AlignCenter);
    transport->addWidget(m_next, 0, 7, 2, 1, Qt::AlignCenter);
    transport->addWidget(m_modeLabel, 0, 9, 2, 1);
    transport->setColumnMinimumWidth(10, 250);
    transport->addWidget(m_title, 0, 10, 1, 2);
    transport->addWidget(m_link, 1, 10);

    auto* bar = new QHBoxLayout(this);
    bar->setSpacing(0);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(m_inputSelector);
    bar->addWidget(m_record);
    bar->addSpacing(25);
    bar->addWidget(m_displayMode);
    bar->addSpacing(25);
    bar->addWidget(m_mix);
    bar->addWidget(m_reverse);
    bar->addStretch();
    bar->addLayout(transport);
    bar->addStretch();
    bar->addWidget(m_metronome);
    bar->addWidget(m_metronomeLed);

    setContentsMargins(1, 1, 1, 1);
}

void QWGridTool::updateRemoteList(const QLooper& looper) {
    showSet(looper.title(), looper.url(), looper.author(), Model::toText(looper.mode()), looper.bpm());
}

void QWGridTool::showSet(const QString& title, const QString& url, const QString& author, const QString& mode,
                         int bpm) {
    m_title->setText(title);
    m_link->setText(linkText(url, author));
    m_modeLabel->setText(QStringLiteral("%1\n%2 bpm").arg(mode).arg(bpm));
}
