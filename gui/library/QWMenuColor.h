#pragma once

#include <QList>
#include <QString>
#include <QUuid>
#include <QWidget>

#include <memory>

class ManagePhrasing;
class QBPushDark;
class QVBoxLayout;
class QWColor;

// The library page of colour files: one row per colour file of the data folder's folder named
// after the panel ("Color"). It turns the decks' active colour ids into the per-input areas
// (Phrasing) and scratch sounds (WavPhrasing) and the colour mode flag, and announces each
// refresh so the painters and the player pick them up. GUI thread only.
//
// The panel owns the colour sets; a set is released only after its row. Phrasing and WavPhrasing
// hold their own copies of the areas and their own handles on the sounds, so what a deck, a painter
// or the player uses outlives any set.
class QWMenuColor : public QWidget {
    Q_OBJECT

public:
    QWMenuColor(const QString& name, const QString& iconName, QWidget* parent = nullptr);
    ~QWMenuColor() override;

    // Reads a colour file (null when refused); the rules are ManagePhrasing::readQLPFile's.
    static std::unique_ptr<ManagePhrasing> exportQLPToManagePhrasing(const QString& path);

    // The controller wires it to the mode menu, which closes the page.
    QBPushDark* closeButton() const { return m_close; }
    QBPushDark* addButton() const { return m_add; }
    const QList<ManagePhrasing*>& listPhrasing() const { return m_listPhrasing; }
    // The rows in display order.
    QList<QWColor*> rows() const;
    QWColor* row(const QUuid& id) const;

public slots:
    // Checks the rows whose ids are the decks' active ids and hands their colour sets to the decks.
    void refreshDisplay();
    // Asks for a colour file and imports a copy of it.
    void addQLPToWidgetAndManagePhrasing();
    void importQLPFileWithCopy(const QString& path);
    // For a file just written into the folder: added when readable, dropped silently otherwise.
    void importQLPFileWithoutCopy(const QString& path);
    // Removes the row and its set, after the row removed its file. A deck using it returns to the
    // default colour file first.
    void deleteQWColor(const QUuid& id);

signals:
    void s_refreshDisplay();

private:
    void loadList();
    void addWidget(ManagePhrasing* set);
    void append(std::unique_ptr<ManagePhrasing> set);
    void displayMessageBox(const QString& text);
    void applyDeck(int deck, const QWColor* row);

    QBPushDark* m_close;
    QBPushDark* m_add;
    QString m_iconName;
    // Children of the panel.
    QList<ManagePhrasing*> m_listPhrasing;
    QVBoxLayout* m_rows = nullptr;
    // Per deck (0 A, 1 B): the set read from the open Training or Recording set's own colour file,
    // kept while that file stays the deck's so that a refresh does not read it again.
    std::unique_ptr<ManagePhrasing> m_openSetColor[2];
};
