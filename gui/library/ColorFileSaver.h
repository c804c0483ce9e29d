#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "SaveColorPhrasing.h"
#include "core/Model.h"

class ManagePhrasing;

// Saves a graph painter's editing set as a new colour file from the keyboard: asks for a name with
// SaveColorPhrasing, writes through the set (which announces the new file with s_newColorFile) and
// tells the user what happened. A child of the set, so it ends with it. GUI thread only.
class ColorFileSaver : public QObject {
    Q_OBJECT

public:
    explicit ColorFileSaver(ManagePhrasing* set);
    ~ColorFileSaver() override;

    // The open save dialog, null when none is open.
    SaveColorPhrasing* dialog() const { return m_dialog; }

public slots:
    // Open the save dialog captioned for deck A or B; while one is open it is only raised.
    void saveToColorFileA() { open(ModelGraph::INPUT_A); }
    void saveToColorFileB() { open(ModelGraph::INPUT_B); }
    // The dialog's name: closes the dialog, writes Color/<name made safe>.qlp, reports the outcome.
    void createQLPXMLFromDlg(const QString& name);
    // Releases the dialog once control is back in the event loop.
    void deleteSaveColorPhrasing();

private:
    void open(ModelGraph::EnumGraph deck);

    ManagePhrasing* m_set;
    QPointer<SaveColorPhrasing> m_dialog;
};
