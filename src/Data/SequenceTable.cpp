#include "Data/SequenceTable.h"

#include "Data/LedPanelModel.h"
#include "Helper/CsvModel.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextStream>

namespace {

// No sequence makes a larger table: the values of the largest show under a header as wide as the widest
// panel. A cell costs the reader far more than its text, so a larger table is refused before it is read.
constexpr qint64 MaxCells = LedPanelModel::MaxLedValues + LedLayout::MaxLedCount;
// Such a table with every value at its longest.
constexpr qint64 MaxBytes = qint64(64) << 20;

// An empty cell is 0, as a missing one is.
bool cellValue(const QString& cell, int* value)
{
    const QString text = cell.trimmed();
    bool ok = text.isEmpty();
    *value = ok ? 0 : text.toInt(&ok, 10);
    return ok;
}

} // namespace

void SequenceTable::fill(CsvModel* table, const QVector<QVector<int>>& frames)
{
    Q_ASSERT(table);
    int columns = 0;
    for (const QVector<int>& frame : frames)
        columns = qMax(columns, frame.size());
    Q_ASSERT(columns > 0);
    table->createTable(frames.size(), columns);
    for (int column = 0; column < columns; ++column)
        table->setHeaderData(column, QString::number(column, 10));
    for (int row = 0; row < frames.size(); ++row) {
        for (int column = 0; column < columns; ++column)
            table->setData(row, column, QString::number(frames.at(row).value(column, 0), 10));
    }
}

bool SequenceTable::read(CsvModel* table, const QString& text, QString* message)
{
    Q_ASSERT(table && message);
    message->clear();
    table->removeTable();
    // Each separator and line end ends a cell, whichever separator and line end the table turns out to use; a
    // table of MaxCells cells, the largest sequence under its header, has as many.
    if (qint64(text.count(QLatin1Char(','))) + text.count(QLatin1Char('\t'))
            + qMax(text.count(QLatin1Char('\n')), text.count(QLatin1Char('\r')))
        > MaxCells) {
        *message = tr("The table has more cells than any sequence.");
        return false;
    }
    // A CR alone ends a line as well, as older spreadsheets write them.
    QString lines = text;
    lines.replace(QRegularExpression(QStringLiteral("\\r(?!\\n)")), QStringLiteral("\n"));
    // A line of blanks is as empty as an empty one; the line numbers stay.
    lines.replace(QRegularExpression(QStringLiteral("^[ \\t]+\\r?$"), QRegularExpression::MultilineOption),
                  QString());

    int start = 0;
    while (start < lines.size() && (lines.at(start) == QLatin1Char('\n') || lines.at(start) == QLatin1Char('\r')))
        ++start;
    const int end = lines.indexOf(QLatin1Char('\n'), start);
    const bool tabs = lines.midRef(start, end < 0 ? -1 : end - start).contains(QLatin1Char('\t'));
    const QChar separator = tabs ? QLatin1Char('\t') : QLatin1Char(',');
    // The first line sets the table's columns, and a longer line later would lose its last values: the first
    // gets as many separators as the most any line has. Quoted ones count too; such a cell is no number anyway.
    int most = 0;
    for (int from = start; from < lines.size();) {
        int to = lines.indexOf(QLatin1Char('\n'), from);
        if (to < 0)
            to = lines.size();
        most = qMax(most, int(lines.midRef(from, to - from).count(separator)));
        from = to + 1;
    }
    int firstEnd = end < 0 ? lines.size() : end;
    if (firstEnd > start && lines.at(firstEnd - 1) == QLatin1Char('\r'))
        --firstEnd;
    lines.insert(firstEnd, QString(most - lines.midRef(start, firstEnd - start).count(separator), separator));

    QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
    QByteArray bytes = utf8->fromUnicode(lines);
    QBuffer buffer(&bytes);
    table->setQuoteMode(CsvModel::DoubleQuote);
    table->setWithHeader(false);
    table->setSeparator(separator);
    table->setCodec(utf8);
    if (!table->read(&buffer))
        return false;
    if (table->rowCount() > 0 && isHeader(*table)) {
        for (int column = 0; column < table->columnCount(); ++column)
            table->setHeaderData(column, table->data(0, column).trimmed());
        table->removeRows(0, 1);
    }
    // Every row is as wide as the longest line: one line of a million cells over a few hundred short ones is
    // hundreds of millions of cells to check and to make frames of.
    if (qint64(table->rowCount()) * table->columnCount() > MaxCells) {
        *message = tr("The table has more cells than any sequence.");
        table->removeTable();
        return false;
    }
    if (check(*table, message))
        return true;
    table->removeTable();
    return false;
}

bool SequenceTable::read(CsvModel* table, QIODevice* device, QString* message)
{
    Q_ASSERT(table && device && message);
    table->removeTable();
    message->clear();
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        return false;
    // An endless stream ends at the bound.
    QByteArray bytes;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    qint64 got = 0;
    while (bytes.size() <= MaxBytes && (got = device->read(piece.data(), piece.size())) > 0)
        bytes.append(piece.constData(), int(got));
    device->close();
    if (bytes.size() > MaxBytes) {
        *message = tr("The file is larger than any sequence (%1 MiB).").arg(MaxBytes >> 20);
        return false;
    }
    if (got < 0)
        return false;
    QTextStream stream(&bytes, QIODevice::ReadOnly);
    stream.setAutoDetectUnicode(true);
    return read(table, stream.readAll(), message);
}

QVector<int> SequenceTable::values(const CsvModel& table, int row, int count)
{
    QVector<int> values(count);
    for (int column = 0; column < count; ++column)
        cellValue(table.data(row, column), &values[column]);
    return values;
}

bool SequenceTable::isHeader(const CsvModel& table)
{
    // Empty cells after the last number, from a separator at the end of the line, number no LED.
    int columns = table.columnCount();
    while (columns > 1 && table.data(0, columns - 1).trimmed().isEmpty())
        --columns;
    bool numbered = true;
    for (int column = 0; column < columns; ++column) {
        const QString cell = table.data(0, column);
        int value = 0;
        if (!cellValue(cell, &value))
            return true;
        numbered = numbered && value == column && !cell.trimmed().isEmpty();
    }
    return numbered;
}

bool SequenceTable::check(const CsvModel& table, QString* message)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            int value = 0;
            if (!cellValue(table.data(row, column), &value)) {
                // Enough of the cell to find it: a file that is no table may hold a line of megabytes.
                QString cell = table.data(row, column).trimmed();
                if (cell.size() > 40)
                    cell = cell.left(39) + QChar(0x2026);
                *message = tr("Line %1, column %2: \"%3\" is not a number.")
                               .arg(table.lineNumber(row))
                               .arg(column + 1)
                               .arg(cell);
                return false;
            }
        }
    }
    return true;
}
