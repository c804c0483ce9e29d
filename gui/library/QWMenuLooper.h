#pragma once

#include <QList>
#include <QString>
#include <QUuid>
#include <QWidget>

#include <memory>

#include "core/QLooper.h"

class ImportLooper;
class QBPushDark;
class QVBoxLayout;
class QWLooper;

// One library panel ("Looper", "Training" or "Recording"): the sets of the data folder's folder of
// that name as rows, the tool bar's play, previous and next, row deletion and zip-package import.
// The panel's name is at once its object name, its folder, the mode a training file must carry to be
// listed and the tab name of its rows. GUI thread only.
class QWMenuLooper : public QWidget {
    Q_OBJECT

public:
    QWMenuLooper(const QString& name, const QString& icon, QWidget* parent = nullptr);
    ~QWMenuLooper() override;

    // The record of a training file of this panel's library (null when refused).
    QLooper exportQLTToLooper(const QString& path, bool checkHash) const;
    static bool compare(const QLooper& a, const QLooper& b);
    // Adds one row without touching the record list.
    void addWidget(const QLooper& looper);
    // Imports the package at `path`, with the messages of the import dialog's action.
    void importPackage(const QString& path);

    const QList<QLooper>& loopers() const { return m_loopers; }
    // The rows in list order.
    QList<QWLooper*> rows() const;
    QBPushDark* closeButton() const { return m_close; }
    QBPushDark* importButton() const { return m_import; }
    QBPushDark* addButton() const { return m_add; }
    ImportLooper* importLooper() const { return m_importLooper.get(); }

    static QString alreadyImportedText(const QString& title, const QString& author, int bpm);
    static const QString NON_COMPLIANT;

public slots:
    void addWidgetAndLooper(const QLooper& looper);
    void deleteQWLooper(const QUuid& id);
    // Shows the row `id` of panel `name` playing while training mode is on, every other row stopped.
    void manageIconPlayPause(const QUuid& id, const QString& name);
    void play();
    void previous();
    void next();
    void refresh();
    void addNewLooper();
    void addQLZToWidgetAndLooper();

signals:
    void s_RefreshLooper(const QLooper& looper);

private:
    void drawPanel();
    // The row of the open set when it belongs to this panel; -1 when none.
    int activeIndex(const QList<QWLooper*>& rows) const;
    void step(int delta);

    QBPushDark* m_close;
    QBPushDark* m_import;
    QBPushDark* m_add;
    std::unique_ptr<ImportLooper> m_importLooper;
    QString m_icon;
    QList<QLooper> m_loopers;
    QVBoxLayout* m_rowsLayout = nullptr;
};
