// Feeds arbitrary bytes to the TI-TXT firmware reader and, when it accepts them,
// computes the application CRC over what it read.
#include "MspFlasher/MspFlasher_FR5994.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QSerialPort>
#include <QTextStream>

#include <cstddef>
#include <cstdint>

static QSerialPort* port = nullptr;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    // Never opened: the reader and the CRC do not talk to the device.
    port = new QSerialPort;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QTextStream stream(&bytes, QIODevice::ReadOnly);
    MspFlasher_FR5994 flasher(port);
    if (flasher.readMemoryFile(stream))
        flasher.crc_ccitt();
    return 0;
}
