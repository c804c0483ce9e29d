#pragma once

#include <QComboBox>
#include <QString>

// The number of beats the graph shows (style-sheet name "bpm"), "2" to "64"; "8" at start.
class QComboBoxBpm : public QComboBox {
    Q_OBJECT

public:
    explicit QComboBoxBpm(QWidget* parent = nullptr);

public slots:
    // Hands the entry to Mode and announces the change.
    void save(const QString& text);
    void enabled() { setEnabled(true); }
    void disabled() { setEnabled(false); }

signals:
    void s_Textchanged();

protected:
    // The wheel scrolls the page behind, never the choice.
    void wheelEvent(QWheelEvent* event) override;
};
