#include "MspFlasher/MspFlasher_FR5994.h"

#include "Helper/CRC.h"

#include <cstring>
#include <vector>

namespace {

const uint8_t cmdVersion = 0x19;
const uint8_t cmdErase = 0x15;
const uint8_t cmdJump = 0x1C;
const uint32_t packetData = 16;

struct Range
{
    uint32_t first;
    uint32_t last; // inclusive
    uint32_t size() const { return last - first + 1; }
};

const Range crcRanges[] = { { 0x6403, 0xF7FF }, { 0x10000, 0x43FFF } };

} // namespace

MspFlasher_FR5994::MspFlasher_FR5994(QSerialPort* port)
    : MspFlasher(port)
{
}

bool MspFlasher_FR5994::verifyDevice()
{
    const char answer = sendCommand(cmdVersion);
    if (answer == -1 || (uint8_t(answer) & 0xF0) != 0xA0) {
        showError(answer);
        return false;
    }
    return true;
}

bool MspFlasher_FR5994::eraseDevice()
{
    const char answer = sendCommand(cmdErase);
    if (answer != 0) {
        showError(answer);
        return false;
    }
    return true;
}

bool MspFlasher_FR5994::flashDevice()
{
    int packets = 0;
    for (const sMemory& section : qAsConst(m_MemoryData))
        packets += (section.data.size() + int(packetData) - 1) / int(packetData);

    emit progress(0);
    emit dataPackets(0, packets);
    const uint16_t crc = crc_ccitt();

    int sent = 0;
    for (const sMemory& section : qAsConst(m_MemoryData)) {
        uint32_t address = section.address;
        uint32_t remaining = uint32_t(section.data.size());
        const uint8_t* position = reinterpret_cast<const uint8_t*>(section.data.constData());
        while (remaining > 0) {
            if (isStopRequested()) {
                emit message(QStringLiteral("Stopped after %1 of %2 packets").arg(sent).arg(packets));
                return false;
            }
            const uint32_t n = qMin(remaining, packetData);
            const char answer = sendDataArray(address, position, n);
            if (answer != 0) {
                showError(answer);
                return false;
            }
            remaining -= n;
            address += n;
            position += n;
            ++sent;
            // Counted in packets: a count of bytes / 16 is 0 for tiny images and
            // runs past 100 where sections end in partial packets.
            emit progress(sent * 100 / packets);
            emit dataPackets(sent, packets);
        }
    }

    if (isStopRequested()) {
        emit message(QStringLiteral("Stopped after %1 of %2 packets, before the CRC").arg(sent).arg(packets));
        return false;
    }
    const uint8_t crcBytes[2] = { uint8_t(crc & 0xFF), uint8_t(crc >> 8) };
    const char answer = sendDataArray(crcAddress, crcBytes, 2);
    if (answer != 0) {
        showError(answer);
        return false;
    }
    return true;
}

bool MspFlasher_FR5994::jumpToApplication()
{
    sendCommand(cmdJump);
    return true;
}

uint16_t MspFlasher_FR5994::crc_ccitt()
{
    return crc_ccitt(m_MemoryData);
}

bool MspFlasher_FR5994::isCrcCovered(uint32_t address)
{
    for (const Range& range : crcRanges) {
        if (address >= range.first && address <= range.last)
            return true;
    }
    return false;
}

uint16_t MspFlasher_FR5994::crc_ccitt(const QList<sMemory>& image)
{
    // One flat copy of both ranges, filled as erased memory; the sections are
    // laid in the order they are written, so where they overlap the CRC covers
    // what the device keeps: the later bytes.
    uint32_t flatSize = 0;
    for (const Range& range : crcRanges)
        flatSize += range.size();
    std::vector<uint8_t> flat(flatSize, 0xFF);

    for (const sMemory& section : image) {
        const quint64 sectionFirst = section.address;
        const quint64 sectionEnd = sectionFirst + quint64(section.data.size());
        uint32_t offset = 0;
        for (const Range& range : crcRanges) {
            const quint64 first = qMax<quint64>(sectionFirst, range.first);
            const quint64 end = qMin<quint64>(sectionEnd, quint64(range.last) + 1);
            if (first < end) {
                std::memcpy(flat.data() + offset + (first - range.first),
                            section.data.constData() + (first - sectionFirst), size_t(end - first));
            }
            offset += range.size();
        }
    }

    CRC_CCITT crc;
    crc.add(flat.data(), int(flat.size()));
    return crc.crc();
}
