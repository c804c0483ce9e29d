#pragma once

#include <QComboBox>
#include <QString>

#include "core/Model.h"

// The curve points per second taken from one input (INPUT_A or INPUT_B).
// It starts from the stored text `start` (empty: the default) and passes it into the buffer settings
// at once; its owner connects to s_Textchanged afterwards, so only a later choice of the user is
// written back to config.ini.
class QComboBoxProcessingBuffer : public QComboBox {
    Q_OBJECT

public:
    QComboBoxProcessingBuffer(ModelGraph::EnumGraph input, const QString& start, QWidget* parent = nullptr);

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

private:
    ModelGraph::EnumGraph m_input;
};
