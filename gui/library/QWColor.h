#pragma once

#include <QPointer>
#include <QString>
#include <QUuid>
#include <QWidget>

#include "core/Model.h"

class ManagePhrasing;
class QB2Push;
class QBPush;
class QLabel;
class QWPainterPhrasing;

// One row of the colour panel: a colour set's preview, title and swatches, its deck A and B toggles
// and, while hovered, its delete and share buttons. The set belongs to the panel, which releases
// it only after the row. The row changes the decks' active colour ids; the panel turns them into
// checks (checkA, uncheckA, ...) on its refresh. GUI thread only.
class QWColor : public QWidget {
    Q_OBJECT

public:
    QWColor(const QUuid& id, const QString& tabName, ManagePhrasing* phrasing, QWidget* parent = nullptr);

    const QUuid& id() const { return m_id; }
    const QString& tabName() const { return m_tabName; }
    // Null once the panel released the set.
    ManagePhrasing* phrasing() const;
    bool is_checkedA() const { return m_checked[0]; }
    bool is_checkedB() const { return m_checked[1]; }
    bool isHovered() const { return m_hovered; }
    QB2Push* toggleA() const { return m_toggle[0]; }
    QB2Push* toggleB() const { return m_toggle[1]; }
    QBPush* deleteButton() const { return m_delete; }
    QBPush* shareButton() const { return m_share; }
    QWPainterPhrasing* preview() const { return m_preview; }

    void checkA() { check(0); }
    void checkB() { check(1); }
    void uncheckA() { uncheck(0); }
    void uncheckB() { uncheck(1); }
    // Shows the delete button while hovered, unless the row is the default colour file's or is
    // checked for a deck: a deck's colour file is never deleted from under it.
    void showDeleteIcon();

public slots:
    void refreshCheckA() { refreshCheck(0); }
    void refreshCheckB() { refreshCheck(1); }
    // Asks, then removes the set's file and emits s_deleteColor.
    void delete_PhrasingFile();
    // Copies the set's file into a folder the user chooses; an existing file there is kept.
    void share_PhrasingFile();

signals:
    // A deck toggle changed the active ids.
    void s_refreshCheck();
    // The row's file was removed.
    void s_deleteColor(const QUuid& id);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static ModelGraph::EnumGraph deckOf(int deck) { return deck ? ModelGraph::INPUT_B : ModelGraph::INPUT_A; }
    void check(int deck);
    void uncheck(int deck);
    void refreshCheck(int deck);
    QWidget* swatches();
    QString deleteQuestion() const;

    // Index 0 is deck A, 1 deck B.
    QB2Push* m_toggle[2];
    QUuid m_id;
    QString m_tabName;
    QPointer<ManagePhrasing> m_phrasing;
    bool m_checked[2] = {false, false};
    QLabel* m_title;
    QBPush* m_delete;
    QBPush* m_share;
    QWPainterPhrasing* m_preview;
    bool m_hovered = false;
};
