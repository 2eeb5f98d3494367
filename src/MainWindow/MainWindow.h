#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QList>
#include <QMainWindow>
#include <QMetaObject>
#include <QString>

class AutosaveController;
class RecentFiles;
class AbstractDocument;
class DrawController;
class EditController;
class LedPanelDocument;
class PanelLinkController;
class PictureController;
class PlaybackController;
class QStackedWidget;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    AbstractDocument* currentDocument() const;
    void setCurrentDocument(AbstractDocument* document);

    // The recovery questions of the start; true if a document was recovered.
    bool offerRecovery();
    // Opens a show file after the save question; false (with a message) if it could not be read.
    bool openFile(const QString& fileName);
    AutosaveController* autosave() const;

signals:
    // The window's current document, for everything that follows it; null for none.
    void currentDocumentChanged(LedPanelDocument* document);

private slots:
    void updateWindowTitle(const QString& fileName);

public slots:
    void newDocument();
    void openDocument();
    bool saveDocument();
    bool saveAsDocument();
    void closeDocument();
    void ledPanelInfo();
    void changeLayout();
    void addSequence();
    void removeSequence();
    void addFrame();
    void addFrames();
    void removeFrame();
    void setupPort();
    void reset();
    void next();
    void flash();
    void stopWrite();
    void checkWiring();
    void mspBoot();
    void mspBootDialog();
    void aboutDialog();

private slots:
    void setCurrentDocument_and_Connect(AbstractDocument* document);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    LedPanelDocument* currentLedPanelDocument() const;
    bool loadFile(const QString& fileName);
    // Open and recovery both say when the file names a panel this version does not know.
    void warnOfUnknownLayout(LedPanelDocument* document);

    Ui::MainWindow* ui;
    AbstractDocument* m_pCurrentDocument;
    QList<QMetaObject::Connection> m_CurrentConnections;
    QStackedWidget* m_pDocumentStack;
    PanelLinkController* m_pPanelLink = nullptr;
    EditController* m_pEditController = nullptr;
    DrawController* m_pDrawController = nullptr;
    PlaybackController* m_pPlayback = nullptr;
    PictureController* m_pPictures = nullptr;
    AutosaveController* m_pAutosave = nullptr;
    RecentFiles* m_pRecentFiles = nullptr;
};

#endif // MAINWINDOW_H
