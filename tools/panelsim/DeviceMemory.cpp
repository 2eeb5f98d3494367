#include "DeviceMemory.h"

#include "Helper/CheckedFileWriter.h"

void DeviceMemory::clear()
{
    m_Bytes.clear();
}

void DeviceMemory::store(quint32 address, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        m_Bytes.insert(address + quint32(i), quint8(bytes.at(i)));
}

int DeviceMemory::size() const
{
    return m_Bytes.size();
}

QByteArray DeviceMemory::toTiTxt() const
{
    QByteArray out;
    bool first = true;
    quint32 next = 0;
    int inLine = 0;
    for (auto it = m_Bytes.constBegin(); it != m_Bytes.constEnd(); ++it) {
        if (first || it.key() != next) {
            if (inLine > 0)
                out += '\n';
            out += '@' + QByteArray::number(it.key(), 16).toUpper().rightJustified(4, '0') + '\n';
            inLine = 0;
            first = false;
        } else if (inLine == 16) {
            out += '\n';
            inLine = 0;
        }
        if (inLine > 0)
            out += ' ';
        out += QByteArray::number(it.value(), 16).toUpper().rightJustified(2, '0');
        ++inLine;
        next = it.key() + 1;
    }
    if (inLine > 0)
        out += '\n';
    out += "q\n";
    return out;
}

bool DeviceMemory::writeTiTxt(const QString& fileName) const
{
    QString error;
    return CheckedFileWriter::writeFile(fileName, toTiTxt(), &error);
}
