#ifndef PANELLINKCONTROLLER_H
#define PANELLINKCONTROLLER_H

#include "SerialPort/PanelLink.h"
#include "SerialPort/SerialPortSettings.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>

class LedPanelDocument;
class MainMenu;
class MainWindow;
class QProgressBar;
class QPushButton;

// The main window's line to the panel: the port settings, the panel commands,
// "Compile && Write" with its progress and Stop, and the flasher window. While
// a write or a flashing run holds the line, what would disturb it is refused.
class PanelLinkController : public QObject
{
    Q_OBJECT

public:
    PanelLinkController(MainWindow* window, MainMenu* menu);

    SerialPortSettings portSettings() const;
    void setPortSettings(const SerialPortSettings& settings);
    bool isWriting() const;
    // False, with the reason in the status bar, while a write or a flashing run must not be cut off.
    bool mayClose();
    // Once the window goes: the idle flasher windows with it.
    void closeFlashers();

public slots:
    void setDocument(LedPanelDocument* document);
    void setupPort();
    void reset();
    void next();
    void mspBoot();
    void flash();
    void stopWrite();
    void mspBootDialog();
    void checkWiring();

private:
    bool refuseWhileWriting();
    bool refuseWhileFlashing();
    void sendCommand(PanelLink::ePanelCommand command);
    void setWriting(bool writing);
    void showProgress(int done, int total);
    void linkFinished(const PanelLink::Result& result);
    void showMessage(const QString& text, int timeout);

    MainWindow* m_pWindow;
    MainMenu* m_pMenu;
    PanelLink* m_pLink;
    SerialPortSettings m_Settings;
    QPointer<LedPanelDocument> m_pDocument;
    QProgressBar* m_pProgress;
    QPushButton* m_pStopButton;
    // A refusal said during a write, kept beside the progress until its deadline.
    QString m_Notice;
    QDeadlineTimer m_NoticeDeadline;
};

#endif // PANELLINKCONTROLLER_H
