#ifndef TITXTREADER_H
#define TITXTREADER_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <cstdint>

class QTextStream;

// One contiguous piece of a firmware image.
struct sMemory
{
    uint32_t address = 0;
    QByteArray data;
};

// Reads a TI-TXT firmware file into its sections, in file order. It needs no
// port, so a firmware file can be checked before anything is opened.
// Strict: a line is blank, "@" and a hexadecimal address, bytes of two
// hexadecimal digits, or the closing "q"; blanks and CR LF may surround them.
// A file without data, without its "q", with data before an address, with
// overlapping sections or with bytes where the device takes none is refused.
class TiTxtReader
{
public:
    // Without limits, bytes are allowed wherever a packet's three address bytes reach.
    TiTxtReader() = default;
    // No byte may lie past lastAddress.
    void setLastAddress(uint32_t lastAddress);
    // No byte may lie on first..last (inclusive); what names them in the refusal.
    void reserve(uint32_t first, uint32_t last, const QString& what);

    // False at the first fault; the sections up to there stay.
    bool read(QTextStream& stream);

    const QList<sMemory>& memory() const;
    // The 1-based number of the line at fault, 0 after a good read.
    int errorLine() const;
    QString errorString() const;

private:
    struct Reserved
    {
        uint32_t first;
        uint32_t last;
        QString what;
    };

    bool readData(const QVector<QStringRef>& tokens, sMemory* section, int line);
    bool checkOverlaps();
    bool fail(int line, const QString& reason);

    uint32_t m_LastAddress = 0xFFFFFF;
    QList<Reserved> m_Reserved;
    QList<sMemory> m_Memory;
    QVector<int> m_SectionLines; // the address line of each section
    int m_ErrorLine = 0;
    QString m_ErrorString;
};

#endif // TITXTREADER_H
