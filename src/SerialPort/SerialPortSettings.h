#ifndef SERIALPORTSETTINGS_H
#define SERIALPORTSETTINGS_H

#include <QSerialPort>
#include <QString>

// The line settings of a serial port as a plain value, so that another thread
// can open a port of its own that is set up like one of the windows' ports.
struct SerialPortSettings
{
    QString name;
    qint32 baudRate = 57600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;

    static SerialPortSettings fromPort(const QSerialPort& port);
    void applyTo(QSerialPort& port) const;
};

#endif // SERIALPORTSETTINGS_H
