#pragma once

class QBoxLayout;
class QLayout;
class QString;
class QVBoxLayout;
class QWidget;
class QBIconPush;
class QWMenuDevice;

// Places the settings panel's controls: the header with the panel's picture, title and close button,
// then the tabs "DEVICE", "DISPLAY" and "PERFORMANCE", each a scrolling page of captioned groups.
class QWMenuDeviceLayout {
public:
    // Lays out every control the panel built; `author` is the author picture.
    static void build(QWMenuDevice& panel, QBIconPush* author);

private:
    static QWidget* header(QWMenuDevice& panel);
    static QWidget* deviceTab(QWMenuDevice& panel, QBIconPush* author);
    static QWidget* displayTab(QWMenuDevice& panel);
    static QWidget* performanceTab(QWMenuDevice& panel);

    // A scroll area around a "framecore" frame; `box` receives the frame's vertical box.
    static QWidget* page(QVBoxLayout*& box);
    // A caption directly above its control.
    static void addCaptioned(QVBoxLayout* box, const QString& caption, QWidget* control);
    static void addCaptioned(QVBoxLayout* box, const QString& caption, QLayout* controls);
    // The row of a slider and its value label.
    static QBoxLayout* sliderRow(QWidget* slider, QWidget* value);
};
