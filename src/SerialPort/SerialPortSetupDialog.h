#ifndef SERIALPORTSETUPDIALOG_H
#define SERIALPORTSETUPDIALOG_H

#include <QDialog>
#include <QList>

class QSerialPort;
class QSerialPortInfo;

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
    // The ports present, in the order of the list, by where the system has them.
    static QList<QSerialPortInfo> availablePorts();
    // The first of them, or empty when there is none.
    static QString defaultPortName();

public slots:
    void autodetect();
    void accept() override;

private:
    void fillCombos();
    void showPortName(const QString& name);
    void showPortDescription();
    void showPortSettings();

    Ui::SerialPortSetupDialog* ui;
    QSerialPort* m_pSerialPort;
};

#endif // SERIALPORTSETUPDIALOG_H
