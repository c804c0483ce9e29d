#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include "core/Model.h"
#include "core/QLooper.h"

class ColorFileSaver;
class QShortcut;
class QStackedWidget;
class QWContextGraph;
class QWContextMenu;
class QWGridTool;
class QWMenuColor;
class QWMenuDevice;
class QWMenuLooper;
class QWMenuMode;
class QWPainter;
class RecordingExport;

// The central widget of the controller window: the mode menu on the left, the stack of side pages
// (library panels, colour files, settings), the two graph painters and the tool bar. It holds the
// application menu and the graph's context menu, installs the keyboard shortcuts, and relays a run's
// sound requests to the player and the recorders as signals. GUI thread only.
class QWView : public QWidget {
    Q_OBJECT

public:
    explicit QWView(QWidget* parent = nullptr);
    ~QWView() override;

    QStackedWidget* pageStack() const { return m_pages; }
    QWPainter* painterA() const { return m_painterA; }
    QWPainter* painterB() const { return m_painterB; }
    QWContextMenu* applicationMenu() const { return m_applicationMenu; }
    QWMenuMode* modeMenu() const { return m_modeMenu; }
    QWMenuLooper* looperPanel() const { return m_looper; }
    QWMenuLooper* trainingPanel() const { return m_training; }
    QWMenuLooper* recordingPanel() const { return m_recording; }
    QWMenuColor* colorPanel() const { return m_color; }
    QWMenuDevice* settingsPanel() const { return m_settings; }
    QWGridTool* toolBar() const { return m_toolBar; }
    QWContextGraph* graphMenu() const { return m_graphMenu; }
    RecordingExport* recordingExport() const { return m_export; }
    // The keys' savers of painter A's and painter B's areas.
    ColorFileSaver* colorSaverA() const { return m_saverA; }
    ColorFileSaver* colorSaverB() const { return m_saverB; }
    const QList<QShortcut*>& shortcuts() const { return m_shortcuts; }
    // Looper, Training, Recording.
    QList<QWMenuLooper*> listMenuLooper() const { return m_listMenuLooper; }

public slots:
    void applyStyle();
    void screenMenu_Training();
    void screenMenu_Recording();
    void screenMenu_Looper();
    void screenMenu_Color();
    void screenMenu_Device();
    void loadSound();
    void playSound();
    void stopSound();
    void metronomSound();
    void updateBpmSamplerate(ModelGraph::EnumGraph graph);
    void updateAllBpmSamplerate();
    // Runs the graph menu at the point (x, y) of the painter that asked for it.
    void contectGraphShow(int x, int y);
    void exportFile();

signals:
    void s_Load_Metronum(const QString& path);
    void s_Load_Looper(const QString& path);
    void s_Load_SoundA(const QString& path);
    void s_Load_SoundB(const QString& path);
    void s_Play_Metronum();
    void s_Play_Looper();
    void s_Stop_Looper();
    void s_Play_SoundA();
    void s_Stop_SoundA();
    void s_Play_SoundB();
    void s_Stop_SoundB();
    void s_Record_SoundA();
    void s_Record_SoundB();
    void s_Record_SoundMaster();
    void s_NewRecording(const QLooper& looper);
    void CreateColorXML_A(const QString& path, bool notify);
    void CreateColorXML_B(const QString& path, bool notify);

private:
    QWMenuLooper* libraryPanel(ModelActivatedMode::EnumActivatedMode mode, const QString& icon);
    void buildPages();
    void buildLayout();
    void showPage(QWidget* page);

    QStackedWidget* m_pages = nullptr;
    QWPainter* m_painterA = nullptr;
    QWPainter* m_painterB = nullptr;
    QWContextMenu* m_applicationMenu;
    QWMenuMode* m_modeMenu;
    QWMenuLooper* m_looper = nullptr;
    QWMenuLooper* m_training = nullptr;
    QWMenuLooper* m_recording = nullptr;
    QWMenuColor* m_color = nullptr;
    QWMenuDevice* m_settings = nullptr;
    QWGridTool* m_toolBar;
    QWContextGraph* m_graphMenu;
    QList<QWMenuLooper*> m_listMenuLooper;
    RecordingExport* m_export = nullptr;
    ColorFileSaver* m_saverA = nullptr;
    ColorFileSaver* m_saverB = nullptr;
    QList<QShortcut*> m_shortcuts;
};
