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
    // The first port of the list, where none was saved; empty when the system has none.
    static QString defaultPortName();

public slots:
    void autodetect();
    void accept() override;

private:
    // The ports present, in the order of the list, by where the system has them.
    static QList<QSerialPortInfo> availablePorts();
    void fillCombos();
    void showPortName(const QString& name);
    void showPortDescription();
    void showPortSettings();

    Ui::SerialPortSetupDialog* ui;
    QSerialPort* m_pSerialPort;
};

#endif // SERIALPORTSETUPDIALOG_H
