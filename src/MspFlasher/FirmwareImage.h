#ifndef FIRMWAREIMAGE_H
#define FIRMWAREIMAGE_H

#include "MspFlasher/TiTxtReader.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

class QTextStream;

// A firmware file for the MSP430FR5994, read and checked before any port is
// opened, and what writing it would do to the device.
class FirmwareImage
{
    Q_DECLARE_TR_FUNCTIONS(FirmwareImage)

public:
    // False when the file is missing, unreadable or not a firmware the device takes;
    // failure() then holds the report lines that say why.
    bool load(const QString& fileName);
    // The same for the text of a file.
    bool read(QTextStream& stream);
    QStringList failure() const;
    const QList<sMemory>& sections() const;

    // The sections' address ranges, the byte count, the application CRC and the bytes it does not cover.
    QStringList summary() const;
    // Bytes on the device's vectors and security signatures (they can lock it) or below
    // application memory, one line per kind; they are written only when the user says so.
    QStringList protectedBytes() const;

private:
    static QString bytesText(qint64 count);

    QList<sMemory> m_Sections;
    QStringList m_Failure;
};

#endif // FIRMWAREIMAGE_H
