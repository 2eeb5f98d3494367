#include "SerialPort/SerialPortSettings.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

SerialPortSettings SerialPortSettings::fromPort(const QSerialPort& port)
{
    SerialPortSettings settings;
    settings.name = systemLocation(port.portName());
    settings.baudRate = port.baudRate();
    settings.dataBits = port.dataBits();
    settings.parity = port.parity();
    settings.stopBits = port.stopBits();
    settings.flowControl = port.flowControl();
    return settings;
}

void SerialPortSettings::applyTo(QSerialPort& port) const
{
    port.setPortName(name);
    port.setBaudRate(baudRate, QSerialPort::AllDirections);
    port.setDataBits(dataBits);
    port.setParity(parity);
    port.setStopBits(stopBits);
    port.setFlowControl(flowControl);
}

QString SerialPortSettings::systemLocation(const QString& portName)
{
#ifdef Q_OS_WIN
    // COM3 is the name Windows users know; the device path would only puzzle them.
    return portName;
#else
    // As QSerialPort places a name: a path, also one relative to the working folder, stays as it is.
    if (portName.isEmpty() || portName.startsWith(QLatin1Char('/')) || portName.startsWith(QLatin1String("./"))
        || portName.startsWith(QLatin1String("../")))
        return portName;
    return QStringLiteral("/dev/") + portName;
#endif
}

bool SerialPortSettings::open(QSerialPort& port, QIODevice::OpenMode mode)
{
    const QString name = port.portName();
    port.setPortName(device(name));
    const bool opened = port.open(mode);
    port.setPortName(name);
    return opened;
}

QString SerialPortSettings::openFailure(const QSerialPort& port)
{
    // The system takes an empty name for /dev/ and calls it a directory.
    if (port.portName().isEmpty())
        return QCoreApplication::translate("SerialPortSettings", "No serial port is chosen.");
    // Qt's words for a port somebody holds speak of permissions, which the user would go and change.
    if (port.error() == QSerialPort::PermissionError
        && (port.errorString() == QSerialPort::tr("Permission error while locking the device")
            || port.errorString() == QString::fromLocal8Bit(std::strerror(EBUSY)))) {
        return QCoreApplication::translate("SerialPortSettings", "%1 is in use by another program or window.")
            .arg(systemLocation(port.portName()));
    }
    return port.errorString();
}

QString SerialPortSettings::device(const QString& portName)
{
#ifdef Q_OS_WIN
    // COM3 and \\.\COM3; there are no links to follow.
    return QSerialPort(portName).portName();
#else
    const QString location = systemLocation(portName);
    const QString target = QFileInfo(location).canonicalFilePath();
    return target.isEmpty() ? location : target;
#endif
}
