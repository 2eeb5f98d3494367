#ifndef MSPFLASHER_FR5994_H
#define MSPFLASHER_FR5994_H

#include "MspFlasher/MspFlasher.h"

// The flashing sequence of the MSP430FR5994: version check, erase, the image in
// 16-byte packets, the application CRC at 0x4000, and the jump.
class MspFlasher_FR5994 : public MspFlasher
{
    Q_OBJECT

public:
    explicit MspFlasher_FR5994(QSerialPort* port);

    bool verifyDevice() override;
    bool eraseDevice() override;
    bool flashDevice() override;
    bool jumpToApplication() override;

    uint16_t crc_ccitt();
    // The CRC the boot loader checks over the application's ranges once the image is written.
    static uint16_t crc_ccitt(const QList<sMemory>& image);
    // Whether the application CRC covers the address.
    static bool isCrcCovered(uint32_t address);

    // The application CRC's two bytes, low first.
    static constexpr uint32_t crcAddress = 0x4000;
    // The last byte of FRAM.
    static constexpr uint32_t lastAddress = 0x43FFF;
};

#endif // MSPFLASHER_FR5994_H
