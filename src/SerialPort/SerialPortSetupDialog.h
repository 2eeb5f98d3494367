#ifndef SERIALPORTSETUPDIALOG_H
#define SERIALPORTSETUPDIALOG_H

#include <QDialog>

class QSerialPort;

namespace Ui {
class SerialPortSetupDialog;
}

class SerialPortSetupDialog : public QDialog
{
    Q_OBJECT

public:
    SerialPortSetupDialog(QSerialPort* port, QWidget* parent = nullptr);
    ~SerialPortSetupDialog() override;

    // Orders port names by their text stem, then by their trailing number,
    // so that COM2 comes before COM10.
    static bool portNameLessThan(const QString& left, const QString& right);

public slots:
    void autodetect();
    void accept() override;

private:
    void fillCombos();
    void showPortName(const QString& name);
    void showPortSettings();

    Ui::SerialPortSetupDialog* ui;
    QSerialPort* m_pSerialPort;
};

#endif // SERIALPORTSETUPDIALOG_H
