#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QList>
#include <QMainWindow>
#include <QMetaObject>

class AbstractCommand;
class AbstractDocument;
class LedPanelDocument;
class PlaybackController;
class QSerialPort;
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

    // True while "Compile && Write" sends blocks; commands that would disturb it are refused meanwhile.
    bool isWritingToPanel() const;

    // The bytes of write-block n of a program image: header 03 00 00 n mod 256 and 32 image bytes,
    // zero-filled past the image's end.
    static QByteArray programBlock(const QByteArray& image, int block);
    static int programBlockCount(int imageSize);

private slots:
    void updateWindowTitle(const QString& fileName);

public slots:
    void newDocument();
    void openDocument();
    bool saveDocument();
    bool saveAsDocument();
    void closeDocument();
    void ledPanelInfo();
    void addSequence();
    void removeSequence();
    void addFrame();
    void addFrames();
    void removeFrame();
    void setupPort();
    void reset();
    void next();
    void flash();
    void mspBoot();
    void mspBootDialog();
    void aboutDialog();

private slots:
    void setCurrentDocument_and_Connect(AbstractDocument* document);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    LedPanelDocument* currentLedPanelDocument() const;
    void appendFrames(int count);
    bool refuseWhileWriting();
    bool openPort();
    bool writeToPort(const QByteArray& bytes);
    void sendCommandFrame(char command);
    void reportWriteFailure();
    bool checkCompilable(LedPanelDocument* document);
    void setWritingToPanel(bool writing);

    Ui::MainWindow* ui;
    AbstractDocument* m_pCurrentDocument;
    QList<QMetaObject::Connection> m_CurrentConnections;
    QStackedWidget* m_pDocumentStack;
    QSerialPort* m_pPort;
    bool m_WritingToPanel = false;
    PlaybackController* m_pPlayback = nullptr;
};

#endif // MAINWINDOW_H
