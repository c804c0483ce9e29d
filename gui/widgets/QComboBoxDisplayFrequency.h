#pragma once

#include <QComboBox>
#include <QString>

// The display refresh rate of the graphs, in refreshes per second.
// It starts from the stored text `start` (empty: the default) and passes it into the buffer settings
// at once; its owner connects to s_Textchanged afterwards, so only a later choice of the user is
// written back to config.ini.
class QComboBoxDisplayFrequency : public QComboBox {
    Q_OBJECT

public:
    explicit QComboBoxDisplayFrequency(const QString& start, QWidget* parent = nullptr);

public slots:
    // Passes the entry into the buffer settings and announces the change.
    void save(const QString& text);
    void enabled() { setEnabled(true); }
    void disabled() { setEnabled(false); }

signals:
    void s_Textchanged();

protected:
    // The wheel scrolls the page behind, never the choice.
    void wheelEvent(QWheelEvent* event) override;
};
