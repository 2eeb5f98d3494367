#include "MspFlasher/TiTxtReader.h"

#include <QTextStream>
#include <QVector>

namespace {

// The packet carries three address bytes.
const quint64 addressSpace = 0x1000000;

} // namespace

bool TiTxtReader::read(QTextStream& stream)
{
    m_Memory.clear();
    m_ErrorLine = 0;
    m_ErrorString.clear();
    sMemory current;

    QString line;
    int number = 0;
    while (stream.readLineInto(&line)) {
        ++number;
        if (line.startsWith(QLatin1Char('q')))
            break;
        if (line.startsWith(QLatin1Char('@'))) {
            if (!current.data.isEmpty())
                m_Memory.append(current);
            bool ok = false;
            // toUInt fails on anything beyond 32 bits instead of wrapping.
            current.address = line.midRef(1).toUInt(&ok, 16);
            current.data.clear();
            if (!ok)
                return fail(number, QStringLiteral("\"%1\" is not a 32-bit hexadecimal address").arg(line.mid(1)));
            continue;
        }
        const QVector<QStringRef> parts = line.splitRef(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QStringRef& part : parts) {
            bool ok = false;
            const uint value = part.toUInt(&ok, 16);
            if (!ok)
                return fail(number, QStringLiteral("\"%1\" is not a hexadecimal number").arg(part));
            // Bytes the packet address cannot reach would land somewhere else on the device.
            const quint64 address = quint64(current.address) + quint64(current.data.size());
            if (address >= addressSpace)
                return fail(number, QStringLiteral("byte at %1 lies beyond the packet address range")
                                        .arg(QString::number(address, 16).toUpper()));
            current.data.append(char(value & 0xFF));
        }
    }
    if (!current.data.isEmpty())
        m_Memory.append(current);
    return true;
}

bool TiTxtReader::fail(int line, const QString& reason)
{
    m_ErrorLine = line;
    m_ErrorString = reason;
    return false;
}

const QList<sMemory>& TiTxtReader::memory() const
{
    return m_Memory;
}

int TiTxtReader::errorLine() const
{
    return m_ErrorLine;
}

QString TiTxtReader::errorString() const
{
    return m_ErrorString;
}
