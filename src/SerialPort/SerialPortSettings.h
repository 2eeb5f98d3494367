#ifndef SERIALPORTSETTINGS_H
#define SERIALPORTSETTINGS_H

#include <QSerialPort>
#include <QString>

// The line settings of a serial port as a plain value, so that another thread
// can open a port of its own that is set up like one of the windows' ports.
struct SerialPortSettings
{
    QString name; // where the system has the port: /dev/ttyUSB0 rather than ttyUSB0
    qint32 baudRate = 57600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;

    static SerialPortSettings fromPort(const QSerialPort& port);
    void applyTo(QSerialPort& port) const;

    // QSerialPort hands back "ttyUSB0" for "/dev/ttyUSB0" and "pts/3" for "/dev/pts/3";
    // the user typed, and is shown, the path.
    static QString systemLocation(const QString& portName);
    // The device a port name reaches, links followed: ttyUSB0, /dev/ttyUSB0 and a link to it give one.
    static QString device(const QString& portName);
    // Opens the device the port's name reaches. The system locks a port by the name it is opened
    // under, so a link and its device, opened each by its own name, would both open, and two
    // writers would mix their bytes on one line. The port keeps its name.
    static bool open(QSerialPort& port, QIODevice::OpenMode mode);
    // Why the port did not open, as the user is to read it.
    static QString openFailure(const QSerialPort& port);
};

#endif // SERIALPORTSETTINGS_H
