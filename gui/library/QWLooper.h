#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>
#include <QWidget>

#include "core/QLooper.h"

class QB2Push;
class QBPush;
class QEnterEvent;

// One row of a library panel: a set's author picture, title, author link and tempo, with its
// play/pause, delete and share buttons. Playing makes the set the open one and starts training mode;
// which row shows playing follows Mode::s_RefreshMenu through the panel. GUI thread only.
class QWLooper : public QWidget {
    Q_OBJECT

public:
    QWLooper(const QUuid& id, const QString& tabName, const QLooper& looper, QWidget* parent = nullptr);

    const QUuid& id() const { return m_id; }
    const QString& tabName() const { return m_tabName; }
    const QLooper& looper() const { return m_looper; }
    bool is_playing() const { return m_playing; }

    // Shows playing: the pause picture, the button always visible, delete and share hidden.
    void play();
    // Shows stopped: the play picture; the buttons follow the pointer.
    void stop();
    void showDeleteShareIcons();
    QStringList listFiles() const;
    // Writes the set's package into `folder`; a message when it could not be written.
    bool shareTo(const QString& folder);

    // The author shown as a link only when the link is http or https; every text escaped.
    static QString linkText(const QString& url, const QString& author);

public slots:
    // The play/pause press: stops the running set, or starts this one 100 ms later.
    void refreshPlayStop();
    void run_ModeTraining();
    void deleteLooperFile();
    void shareLooperFile();
    void updatePlayStopIcon();

signals:
    void s_deleteLooper(const QUuid& id);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void buildLayout();

    QUuid m_id;
    QString m_tabName;
    QLooper m_looper;
    bool m_playing = false;
    QB2Push* m_playPause;
    QBPush* m_delete;
    QBPush* m_share;
    bool m_hovered = false;
};
