// Feeds arbitrary bytes to the TI-TXT firmware reader with the device's limits and,
// when it accepts them, tells what writing them would do, the application CRC included.
#include "MspFlasher/FirmwareImage.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTextStream>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QTextStream stream(&bytes, QIODevice::ReadOnly);
    FirmwareImage image;
    if (image.read(stream))
        (image.summary() + image.protectedBytes()).size();
    return 0;
}
