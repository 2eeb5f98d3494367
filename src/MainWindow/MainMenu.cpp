#include "MainMenu.h"

#include "MainWindow/MainWindow.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

MainMenu::MainMenu(QWidget* parent)
    : QMenuBar(parent)
    , m_pMainWindow(qobject_cast<MainWindow*>(parent))
{
    Q_ASSERT_X(m_pMainWindow, "MainMenu", "m_pMainWindow");
    createActions();
    createConnections();
    createMenu();
}

void MainMenu::updateActions()
{
    const bool hasDocument = m_pMainWindow->currentDocument() != nullptr;
    action_Save->setEnabled(hasDocument);
    action_SaveAs->setEnabled(hasDocument);
    action_Close->setEnabled(hasDocument);
}

QMenu* MainMenu::playbackMenu() const
{
    return m_pPlaybackMenu;
}

void MainMenu::createActions()
{
    action_New = new QAction(tr("&New"), this);
    action_New->setObjectName(QStringLiteral("action_New"));
    action_New->setStatusTip(tr("Create a new document"));
    action_New->setShortcuts(QKeySequence::New);

    action_Open = new QAction(tr("&Open..."), this);
    action_Open->setObjectName(QStringLiteral("action_Open"));
    action_Open->setStatusTip(tr("Open an existing document"));
    action_Open->setShortcuts(QKeySequence::Open);

    action_Save = new QAction(tr("&Save"), this);
    action_Save->setObjectName(QStringLiteral("action_Save"));
    action_Save->setStatusTip(tr("Save the document to disk"));
    action_Save->setShortcuts(QKeySequence::Save);

    action_SaveAs = new QAction(tr("Save &as..."), this);
    action_SaveAs->setObjectName(QStringLiteral("action_SaveAs"));
    action_SaveAs->setStatusTip(tr("Save the document under a new name"));
    action_SaveAs->setShortcuts(QKeySequence::SaveAs);

    action_Close = new QAction(tr("&Close"), this);
    action_Close->setObjectName(QStringLiteral("action_Close"));
    action_Close->setStatusTip(tr("Close the document"));
    action_Close->setShortcuts(QKeySequence::Close);

    action_Exit = new QAction(tr("E&xit"), m_pMainWindow);
    action_Exit->setObjectName(QStringLiteral("action_Exit"));
    action_Exit->setShortcuts(QKeySequence::Quit);

    action_LedPanelInfo = new QAction(tr("&Info"), m_pMainWindow);
    action_LedPanelInfo->setObjectName(QStringLiteral("action_LedPanelInfo"));
    action_LedPanelInfo->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
    action_Layout = new QAction(tr("&Layout..."), m_pMainWindow);
    action_Layout->setObjectName(QStringLiteral("action_Layout"));
    action_Layout->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    action_AddSequence = new QAction(tr("&Add"), m_pMainWindow);
    action_AddSequence->setObjectName(QStringLiteral("action_AddSequence"));
    action_AddSequence->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    action_RemoveSequence = new QAction(tr("&Remove"), m_pMainWindow);
    action_RemoveSequence->setObjectName(QStringLiteral("action_RemoveSequence"));
    action_AddFrame = new QAction(tr("&Add"), m_pMainWindow);
    action_AddFrame->setObjectName(QStringLiteral("action_AddFrame"));
    action_AddFrame->setShortcut(QKeySequence(Qt::Key_Insert));
    action_AddFrames = new QAction(tr("A&dd..."), m_pMainWindow);
    action_AddFrames->setObjectName(QStringLiteral("action_AddFrames"));
    action_AddFrames->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Insert));
    action_RemoveFrame = new QAction(tr("&Remove"), m_pMainWindow);
    action_RemoveFrame->setObjectName(QStringLiteral("action_RemoveFrame"));

    action_SetupPort = new QAction(tr("Setup &Port"), m_pMainWindow);
    action_SetupPort->setObjectName(QStringLiteral("action_SetupPort"));
    action_SetupPort->setShortcut(QKeySequence(Qt::Key_F8));
    action_Reset = new QAction(tr("&Reset"), m_pMainWindow);
    action_Reset->setObjectName(QStringLiteral("action_Reset"));
    action_Reset->setShortcut(QKeySequence(Qt::Key_F10));
    action_Next = new QAction(tr("&Next"), m_pMainWindow);
    action_Next->setObjectName(QStringLiteral("action_Next"));
    action_Next->setShortcut(QKeySequence(Qt::Key_F11));
    action_Flash = new QAction(tr("&Compile && Write"), m_pMainWindow);
    action_Flash->setObjectName(QStringLiteral("action_Flash"));
    action_Flash->setShortcut(QKeySequence(Qt::Key_F9));
    action_CheckWiring = new QAction(tr("Check &wiring..."), m_pMainWindow);
    action_CheckWiring->setObjectName(QStringLiteral("action_CheckWiring"));
    action_StopWrite = new QAction(tr("&Stop writing"), m_pMainWindow);
    action_StopWrite->setObjectName(QStringLiteral("action_StopWrite"));
    action_StopWrite->setShortcut(QKeySequence(Qt::Key_Escape));
    action_StopWrite->setEnabled(false);
    action_MspBoot = new QAction(tr("&MspBoot"), m_pMainWindow);
    action_MspBoot->setObjectName(QStringLiteral("action_MspBoot"));
    action_MspBootDialog = new QAction(tr("MspBoot&Dialog"), m_pMainWindow);
    action_MspBootDialog->setObjectName(QStringLiteral("action_MspBootDialog"));

    action_About = new QAction(tr("&About"), m_pMainWindow);
    action_About->setObjectName(QStringLiteral("action_About"));
}

void MainMenu::createConnections()
{
    MainWindow* w = m_pMainWindow;
    connect(action_New, &QAction::triggered, w, &MainWindow::newDocument);
    connect(action_Open, &QAction::triggered, w, &MainWindow::openDocument);
    connect(action_Save, &QAction::triggered, w, &MainWindow::saveDocument);
    connect(action_SaveAs, &QAction::triggered, w, &MainWindow::saveAsDocument);
    connect(action_Close, &QAction::triggered, w, &MainWindow::closeDocument);
    connect(action_Exit, &QAction::triggered, w, &QWidget::close);
    connect(action_LedPanelInfo, &QAction::triggered, w, &MainWindow::ledPanelInfo);
    connect(action_Layout, &QAction::triggered, w, &MainWindow::changeLayout);
    connect(action_AddSequence, &QAction::triggered, w, &MainWindow::addSequence);
    connect(action_RemoveSequence, &QAction::triggered, w, &MainWindow::removeSequence);
    connect(action_AddFrame, &QAction::triggered, w, &MainWindow::addFrame);
    connect(action_AddFrames, &QAction::triggered, w, &MainWindow::addFrames);
    connect(action_RemoveFrame, &QAction::triggered, w, &MainWindow::removeFrame);
    connect(action_SetupPort, &QAction::triggered, w, &MainWindow::setupPort);
    connect(action_Reset, &QAction::triggered, w, &MainWindow::reset);
    connect(action_Next, &QAction::triggered, w, &MainWindow::next);
    connect(action_Flash, &QAction::triggered, w, &MainWindow::flash);
    connect(action_StopWrite, &QAction::triggered, w, &MainWindow::stopWrite);
    connect(action_CheckWiring, &QAction::triggered, w, &MainWindow::checkWiring);
    connect(action_MspBoot, &QAction::triggered, w, &MainWindow::mspBoot);
    connect(action_MspBootDialog, &QAction::triggered, w, &MainWindow::mspBootDialog);
    connect(action_About, &QAction::triggered, w, &MainWindow::aboutDialog);
}

void MainMenu::createMenu()
{
    QMenu* fileMenu = addMenu(tr("&File"));
    fileMenu->addAction(action_New);
    fileMenu->addAction(action_Open);
    menu_RecentFiles = fileMenu->addMenu(tr("Open &recent"));
    menu_RecentFiles->setObjectName(QStringLiteral("menu_RecentFiles"));
    fileMenu->addAction(action_Save);
    fileMenu->addAction(action_SaveAs);
    fileMenu->addAction(action_Close);
    fileMenu->addSeparator();
    fileMenu->addAction(action_Exit);
    menu_File = fileMenu;

    menu_Edit = addMenu(tr("&Edit"));
    menu_Edit->setObjectName(QStringLiteral("menu_Edit"));

    QMenu* lightMenu = addMenu(tr("&Light"));
    menu_Light = lightMenu;
    lightMenu->addAction(action_LedPanelInfo);
    lightMenu->addAction(action_Layout);
    QMenu* sequenceMenu = lightMenu->addMenu(tr("&Sequence"));
    sequenceMenu->addAction(action_AddSequence);
    sequenceMenu->addAction(action_RemoveSequence);
    menu_Sequence = sequenceMenu;
    QMenu* frameMenu = lightMenu->addMenu(tr("&Frame"));
    frameMenu->addAction(action_AddFrame);
    frameMenu->addAction(action_AddFrames);
    frameMenu->addAction(action_RemoveFrame);
    menu_Frame = frameMenu;

    m_pPlaybackMenu = addMenu(tr("&Playback"));

    QMenu* toolsMenu = addMenu(tr("&Tools"));
    toolsMenu->addAction(action_Reset);
    toolsMenu->addAction(action_Next);
    toolsMenu->addSeparator();
    toolsMenu->addAction(action_SetupPort);
    toolsMenu->addAction(action_Flash);
    toolsMenu->addAction(action_StopWrite);
    toolsMenu->addAction(action_CheckWiring);
    toolsMenu->addSeparator();
    toolsMenu->addAction(action_MspBoot);
    toolsMenu->addAction(action_MspBootDialog);

    QMenu* helpMenu = addMenu(tr("&Help"));
    helpMenu->addAction(action_About);
}
