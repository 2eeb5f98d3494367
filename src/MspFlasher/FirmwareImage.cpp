#include "MspFlasher/FirmwareImage.h"

#include "MspFlasher/MspFlasher_FR5994.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Far more than a full device in TI-TXT, however many blanks it holds.
const qint64 largestFile = 16 * 1024 * 1024;
const uint32_t vectorsFirst = 0xFF80;
const uint32_t vectorsLast = 0xFFFF;
const uint32_t applicationFirst = 0x4000;

QString hex(quint64 value)
{
    return QString::number(value, 16).toUpper();
}

// How many of the image's bytes lie on first..last.
qint64 bytesIn(const QList<sMemory>& image, uint32_t first, uint32_t last)
{
    qint64 count = 0;
    for (const sMemory& section : image) {
        const quint64 from = qMax<quint64>(section.address, first);
        const quint64 to = qMin<quint64>(quint64(section.address) + quint64(section.data.size()), quint64(last) + 1);
        if (from < to)
            count += qint64(to - from);
    }
    return count;
}

} // namespace

QString FirmwareImage::bytesText(qint64 count)
{
    return count == 1 ? tr("1 byte") : tr("%1 bytes").arg(count);
}

bool FirmwareImage::load(const QString& fileName)
{
    m_Sections.clear();
    m_Failure.clear();
    if (!QFile::exists(fileName)) {
        m_Failure << QStringLiteral("Device application code file not present!");
        return false;
    }
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_Failure << QStringLiteral("Cannot read device application code file!");
        return false;
    }
    if (file.size() > largestFile) {
        m_Failure << QStringLiteral("Invalid device application code file!")
                  << QStringLiteral("%1 bytes, more than any firmware of the device").arg(file.size());
        return false;
    }

    QTextStream stream(&file);
    return read(stream);
}

bool FirmwareImage::read(QTextStream& stream)
{
    m_Sections.clear();
    m_Failure.clear();
    TiTxtReader reader;
    reader.setLastAddress(MspFlasher_FR5994::lastAddress);
    // The boot loader writes the CRC there after the image; a byte of the file would pass for it.
    reader.reserve(MspFlasher_FR5994::crcAddress, MspFlasher_FR5994::crcAddress + 1,
                   QStringLiteral("the application CRC (4000-4001)"));
    if (!reader.read(stream)) {
        m_Failure << QStringLiteral("Invalid device application code file!")
                  << QStringLiteral("Line %1: %2").arg(reader.errorLine()).arg(reader.errorString());
        return false;
    }
    m_Sections = reader.memory();
    return true;
}

QStringList FirmwareImage::failure() const
{
    return m_Failure;
}

const QList<sMemory>& FirmwareImage::sections() const
{
    return m_Sections;
}

QStringList FirmwareImage::summary() const
{
    qint64 bytes = 0;
    QStringList ranges;
    for (const sMemory& section : m_Sections) {
        bytes += section.data.size();
        ranges << tr("  %1-%2: %3")
                      .arg(hex(section.address), hex(quint64(section.address) + quint64(section.data.size()) - 1),
                           bytesText(section.data.size()));
    }
    const QString crc = QStringLiteral("%1").arg(MspFlasher_FR5994::crc_ccitt(m_Sections), 4, 16, QLatin1Char('0'));
    const QString sections = m_Sections.size() == 1 ? tr("1 section") : tr("%1 sections").arg(m_Sections.size());
    QStringList lines { tr("%1, %2, application CRC 0x%3").arg(sections, bytesText(bytes), crc.toUpper()) };
    lines += ranges;
    qint64 covered = 0;
    for (const sMemory& section : m_Sections) {
        for (int i = 0; i < section.data.size(); ++i)
            covered += MspFlasher_FR5994::isCrcCovered(section.address + uint32_t(i));
    }
    if (covered < bytes)
        lines << tr("%1 outside the ranges the application CRC covers").arg(bytesText(bytes - covered));
    return lines;
}

QStringList FirmwareImage::protectedBytes() const
{
    QStringList lines;
    const qint64 vectors = bytesIn(m_Sections, vectorsFirst, vectorsLast);
    if (vectors > 0)
        lines << tr("%1 on FF80-FFFF, the device's vectors and security signatures: they can lock it")
                     .arg(bytesText(vectors));
    const qint64 low = bytesIn(m_Sections, 0, applicationFirst - 1);
    if (low > 0)
        lines << tr("%1 below 4000, outside application memory").arg(bytesText(low));
    return lines;
}
