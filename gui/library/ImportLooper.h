#pragma once

#include <QDialog>
#include <QString>

#include "core/QLooper.h"

class QBIconPush;
class QBPush;
class QCustomSlider;
class QLabel;
class QLineEdit;
class QSpinBox;

// The add-looper dialog: a WAV loop with its title, author, tempo, start offset and an optional author
// picture becomes a set of the Looper library, in the author's folder. Frameless and modal; one dialog
// serves every use. GUI thread only.
class ImportLooper : public QDialog {
    Q_OBJECT

public:
    explicit ImportLooper(QWidget* parent = nullptr);

public slots:
    // Empties the fields (tempo 88, offset 0, no picture) and shows the dialog.
    void initShow();
    // Copies the loop (and picture) into the author's folder, writes the header and announces the set.
    // Missing fields: nothing. A refused sound, an existing set or a failed write: a message, nothing
    // left behind, and the dialog stays open.
    void save();
    void updateBpmLabel();
    void openLooperFile();
    void selectAuthorIcon();

signals:
    void s_NewLooper(const QLooper& looper);
    void s_UpdateIcon(const QString& path);

private:
    void buildLayout();
    // The loop's place in `folder`: a file already there (whatever the case of its name) with the same
    // content, else a fresh copy under the first free name. Empty when the copy failed; `copied`
    // tells whether the file is new.
    static QString placeSound(const QString& source, const QString& folder, bool* copied);

    QBPush* m_close;
    QBPush* m_save;
    QBPush* m_import;
    QLineEdit* m_title;
    QLineEdit* m_author;
    QLineEdit* m_looper;
    QCustomSlider* m_bpm;
    QLabel* m_bpmLabel;
    QSpinBox* m_offset;
    QBIconPush* m_authorButton;
    QString m_picturePath;
};
