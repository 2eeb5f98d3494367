#ifndef MSPFLASHERDIALOG_H
#define MSPFLASHERDIALOG_H

#include <QByteArray>
#include <QMainWindow>

class MspFlasher_FR5994;
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

public slots:
    void updateActions();
    void portSetupDialog();
    void selectFile();
    void flashDevice();

signals:
    void finished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void report(const QString& line);

    Ui::MspFlasherDialog* ui;
    QSerialPort* m_pSerialPort;
    MspFlasher_FR5994* m_pMspFlasher = nullptr;
    QByteArray m_FlashCommand;
};

#endif // MSPFLASHERDIALOG_H
