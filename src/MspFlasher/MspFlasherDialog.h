#ifndef MSPFLASHERDIALOG_H
#define MSPFLASHERDIALOG_H

#include <QByteArray>
#include <QMainWindow>

class FirmwareImage;
class MspFlashRun;
class QSerialPort;

namespace Ui {
class MspFlasherDialog;
}

// Replaces the panel controller's firmware over a serial port of its own.
class MspFlasherDialog : public QMainWindow
{
    Q_OBJECT

public:
    MspFlasherDialog(const QString& portName, const QByteArray& flashCommand, QWidget* parent);
    ~MspFlasherDialog() override;

    // True while a run is in progress; the window refuses to close meanwhile.
    bool isFlashing() const;

public slots:
    void updateActions();
    void portSetupDialog();
    void selectFile();
    void flashDevice();

signals:
    void finished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What the chosen file would write, or why it cannot be flashed, in the report pane.
    void showFileSummary();
    // Reads the chosen file; on failure its reasons go to the report.
    bool loadImage(FirmwareImage* image);
    void report(const QString& line);

    Ui::MspFlasherDialog* ui;
    QSerialPort* m_pSerialPort;
    MspFlashRun* m_pFlashRun;
    QByteArray m_FlashCommand;
};

#endif // MSPFLASHERDIALOG_H
