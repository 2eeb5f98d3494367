#ifndef MAINMENU_H
#define MAINMENU_H

#include <QMenuBar>

class MainWindow;
class QAction;
class QMenu;

class MainMenu : public QMenuBar
{
    Q_OBJECT

public:
    explicit MainMenu(QWidget* parent);

    void updateActions();
    // Empty until the window's playback controller fills it.
    QMenu* playbackMenu() const;

private:
    void createActions();
    void createConnections();
    void createMenu();

    MainWindow* m_pMainWindow;
    QMenu* m_pPlaybackMenu = nullptr;

public:
    QAction* action_New = nullptr;
    QAction* action_Open = nullptr;
    QAction* action_Save = nullptr;
    QAction* action_SaveAs = nullptr;
    QAction* action_Close = nullptr;
    QAction* action_Exit = nullptr;
    QAction* action_About = nullptr;
    QAction* action_LedPanelInfo = nullptr;
    QAction* action_Layout = nullptr;
    QAction* action_AddSequence = nullptr;
    QAction* action_RemoveSequence = nullptr;
    QAction* action_AddFrame = nullptr;
    QAction* action_AddFrames = nullptr;
    QAction* action_RemoveFrame = nullptr;
    QAction* action_SetupPort = nullptr;
    QAction* action_Reset = nullptr;
    QAction* action_Next = nullptr;
    QAction* action_Flash = nullptr;
    QAction* action_StopWrite = nullptr;
    QAction* action_MspBoot = nullptr;
    QAction* action_MspBootDialog = nullptr;
    QAction* action_CheckWiring = nullptr;

    // The window's controllers add their entries to these; Edit is theirs alone.
    QMenu* menu_Edit = nullptr;
    QMenu* menu_Light = nullptr;
    QMenu* menu_RecentFiles = nullptr;
    QMenu* menu_Frame = nullptr;
    QMenu* menu_File = nullptr;
    QMenu* menu_Sequence = nullptr;
};

#endif // MAINMENU_H
