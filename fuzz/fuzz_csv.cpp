// Feeds arbitrary bytes to the CSV reader. The first byte picks the dialect:
// bits 0-3 the quote mode, bit 4 the header line, bits 5-6 the separator, and
// bit 7 a read of the header line alone. The rest of the input then goes through
// the reader that pasting and sequence import share.
#include "Data/SequenceTable.h"
#include "Helper/CsvModel.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char separators[] = { ',', ';', '\t', ' ' };
    const uint8_t dialect = data[0];
    const CsvModel::QuoteMode mode(dialect & 0x0F);
    const bool withHeader = dialect & 0x10;
    const QChar separator = QLatin1Char(separators[(dialect >> 5) & 0x03]);

    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data) + 1, int(size - 1));
    QBuffer input(&bytes);
    CsvModel table(mode, withHeader, separator, nullptr);
    const bool read = (dialect & 0x80) ? table.readHeader(&input) : table.read(&input);
    if (!read)
        abort();

    // Every cell can be read, also where a short line left its row without one.
    const int columns = table.columnCount();
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < columns; ++column)
            table.data(row, column);
    }
    if (table.rowCount() > 0 && columns == 0)
        abort();
    // A header read stops after the first line.
    if ((dialect & 0x80) && table.rowCount() != 0)
        abort();

    QBuffer output;
    table.write(&output);

    // What it accepts holds integers only; what it refuses it names.
    CsvModel sequence;
    QString message;
    if (!SequenceTable::read(&sequence, QString::fromUtf8(bytes), &message)) {
        if (message.isEmpty())
            abort();
        return 0;
    }
    for (int row = 0; row < sequence.rowCount(); ++row) {
        for (int column = 0; column < sequence.columnCount(); ++column) {
            const QString cell = sequence.data(row, column).trimmed();
            bool ok = cell.isEmpty();
            if (!ok)
                cell.toInt(&ok, 10);
            if (!ok)
                abort();
        }
    }
    return 0;
}
