#ifndef TITXTREADER_H
#define TITXTREADER_H

#include <QByteArray>
#include <QList>
#include <QString>

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
class TiTxtReader
{
public:
    // False at the first line that cannot be read; the sections up to there stay.
    bool read(QTextStream& stream);

    const QList<sMemory>& memory() const;
    // The 1-based number of the line that stopped the reading, 0 after a good read.
    int errorLine() const;
    QString errorString() const;

private:
    bool fail(int line, const QString& reason);

    QList<sMemory> m_Memory;
    int m_ErrorLine = 0;
    QString m_ErrorString;
};

#endif // TITXTREADER_H
