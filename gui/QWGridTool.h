#pragma once

#include <QString>
#include <QWidget>

class QB2Push;
class QBPush;
class QBSelectInput;
class QBToggle;
class QBToggleCircular;
class QCSelectDisplayMode;
class QComboBoxBpm;
class QDLed;
class QLabel;
class QLooper;

// The strip along the bottom of the main view: the run and mode toggles, the input selector, the
// metronome lamp and toggle, the beat and display-mode combos, the transport buttons and the labels
// that describe the open set. The controller window wires the controls. GUI thread only.
class QWGridTool : public QWidget {
    Q_OBJECT

public:
    explicit QWGridTool(QWidget* parent = nullptr);

    QBToggle* recordToggle() const { return m_record; }
    QBToggle* mixToggle() const { return m_mix; }
    QBToggle* reverseToggle() const { return m_reverse; }
    QBSelectInput* inputSelector() const { return m_inputSelector; }
    QDLed* metronomeLed() const { return m_metronomeLed; }
    QBToggle* metronomeToggle() const { return m_metronome; }
    QComboBoxBpm* beatCombo() const { return m_beatCombo; }
    QCSelectDisplayMode* displayModeCombo() const { return m_displayMode; }
    QBPush* previousButton() const { return m_previous; }
    QB2Push* playButton() const { return m_play; }
    QBPush* nextButton() const { return m_next; }
    QBToggleCircular* holdToggle() const { return m_hold; }
    QLabel* titleLabel() const { return m_title; }
    QLabel* linkLabel() const { return m_link; }
    QLabel* modeLabel() const { return m_modeLabel; }

    // The link label's rich text: the author, escaped, as a link whose target is kept only when it is
    // an http or https address (anything else, a file's "javascript:" among them, gets an empty target).
    static QString linkText(const QString& url, const QString& author);

public slots:
    // Shows the set a library panel made current.
    void updateRemoteList(const QLooper& looper);

private:
    void createWidgets();
    void setupLayout();
    void showSet(const QString& title, const QString& url, const QString& author, const QString& mode, int bpm);

    QBToggle* m_record;
    QBToggle* m_mix;
    QBToggle* m_reverse;
    QBSelectInput* m_inputSelector;
    QDLed* m_metronomeLed;
    QBToggle* m_metronome;
    QComboBoxBpm* m_beatCombo;
    QCSelectDisplayMode* m_displayMode;
    QBPush* m_previous;
    QB2Push* m_play;
    QBPush* m_next;
    QBToggleCircular* m_hold;
    QLabel* m_title;
    QLabel* m_link;
    QLabel* m_modeLabel;
};
