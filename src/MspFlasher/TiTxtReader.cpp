#include "MspFlasher/TiTxtReader.h"

#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <numeric>

namespace {

QString hex(quint64 value)
{
    return QString::number(value, 16).toUpper();
}

bool isHex(const QStringRef& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const char l = c.toLatin1();
        if (!((l >= '0' && l <= '9') || (l >= 'a' && l <= 'f') || (l >= 'A' && l <= 'F')))
            return false;
    }
    return true;
}

} // namespace

void TiTxtReader::setLastAddress(uint32_t lastAddress)
{
    m_LastAddress = lastAddress;
}

void TiTxtReader::reserve(uint32_t first, uint32_t last, const QString& what)
{
    Q_ASSERT_X(first <= last, "TiTxtReader::reserve", "first <= last");
    m_Reserved.append({ first, last, what });
}

bool TiTxtReader::read(QTextStream& stream)
{
    m_Memory.clear();
    m_SectionLines.clear();
    m_ErrorLine = 0;
    m_ErrorString.clear();
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));

    sMemory current;
    int currentLine = 0; // 0: no address yet
    bool closed = false;
    QString line;
    int number = 0;
    auto keep = [&] {
        if (!current.data.isEmpty()) {
            m_Memory.append(current);
            m_SectionLines.append(currentLine);
        }
    };
    while (stream.readLineInto(&line)) {
        ++number;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QVector<QStringRef> tokens = line.splitRef(blanks, Qt::SkipEmptyParts);
        if (tokens.isEmpty())
            continue;
        // Whatever follows the end could be the rest of a file that was pasted twice or cut in.
        if (closed)
            return fail(number, QStringLiteral("text after the closing q line"));
        const QStringRef first = tokens.first();
        if (first == QLatin1String("q")) {
            if (tokens.size() > 1)
                return fail(number, QStringLiteral("text after q on its line"));
            closed = true;
            continue;
        }
        if (first.startsWith(QLatin1Char('@'))) {
            if (tokens.size() > 1)
                return fail(number, QStringLiteral("text after the address"));
            QStringRef digits = first.mid(1);
            if (!isHex(digits))
                return fail(number, QStringLiteral("\"%1\" is not a hexadecimal address").arg(digits));
            while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
                digits = digits.mid(1);
            const quint64 address = digits.size() > 8 ? Q_UINT64_C(0x100000000) : digits.toULongLong(nullptr, 16);
            if (address > m_LastAddress)
                return fail(number, QStringLiteral("address %1 lies past the device's last byte %2")
                                        .arg(hex(address), hex(m_LastAddress)));
            keep();
            current.address = uint32_t(address);
            current.data.clear();
            currentLine = number;
            continue;
        }
        if (currentLine == 0)
            return fail(number, QStringLiteral("data before the first @address line"));
        if (!readData(tokens, &current, number))
            return false;
    }
    keep();

    if (m_Memory.isEmpty())
        return fail(qMax(number, 1), QStringLiteral("the file holds no data bytes"));
    if (!closed)
        return fail(number, QStringLiteral("the file ends without its closing q line: cut off?"));
    return checkOverlaps();
}

bool TiTxtReader::readData(const QVector<QStringRef>& tokens, sMemory* section, int line)
{
    for (const QStringRef& token : tokens) {
        if (token.size() != 2 || !isHex(token))
            return fail(line, QStringLiteral("\"%1\" is not a byte of two hexadecimal digits").arg(token));
        const quint64 address = quint64(section->address) + quint64(section->data.size());
        if (address > m_LastAddress)
            return fail(line, QStringLiteral("the section at %1 runs past the device's last byte %2")
                                  .arg(hex(section->address), hex(m_LastAddress)));
        for (const Reserved& reserved : qAsConst(m_Reserved)) {
            if (address >= reserved.first && address <= reserved.last)
                return fail(line, QStringLiteral("byte at %1 lies on %2").arg(hex(address), reserved.what));
        }
        section->data.append(char(token.toUInt(nullptr, 16)));
    }
    return true;
}

bool TiTxtReader::checkOverlaps()
{
    QVector<int> order(m_Memory.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return m_Memory.at(a).address < m_Memory.at(b).address; });
    for (int i = 1; i < order.size(); ++i) {
        const sMemory& lower = m_Memory.at(order.at(i - 1));
        const sMemory& upper = m_Memory.at(order.at(i));
        if (quint64(lower.address) + quint64(lower.data.size()) > upper.address) {
            // Named at the one that comes later in the file.
            const int a = m_SectionLines.at(order.at(i - 1)), b = m_SectionLines.at(order.at(i));
            return fail(qMax(a, b), QStringLiteral("the section at %1 overlaps the section at %2 from line %3")
                                        .arg(hex(a > b ? lower.address : upper.address),
                                             hex(a > b ? upper.address : lower.address))
                                        .arg(qMin(a, b)));
        }
    }
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
