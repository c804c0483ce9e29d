#pragma once

#include <QComboBox>

// The graph's display mode (style-sheet name "selectdisplaymode"): Normal, Phrasing or Drumming, in
// the order of ModelDisplay::EnumDisplay; Normal at start.
class QCSelectDisplayMode : public QComboBox {
    Q_OBJECT

public:
    explicit QCSelectDisplayMode(QWidget* parent = nullptr);

public slots:
    // Hands the entry's display mode to Mode and announces the change.
    void save(int index);

signals:
    void s_Indexchanged();

protected:
    // The wheel scrolls the page behind, never the choice.
    void wheelEvent(QWheelEvent* event) override;
};
