#include "Data/SequenceTable.h"

#include "Helper/CsvModel.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextStream>

namespace {

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
    // A line of blanks is as empty as an empty one; the line numbers stay.
    QString lines = text;
    lines.replace(QRegularExpression(QStringLiteral("^[ \\t]+\\r?$"), QRegularExpression::MultilineOption),
                  QString());

    int start = 0;
    while (start < lines.size() && (lines.at(start) == QLatin1Char('\n') || lines.at(start) == QLatin1Char('\r')))
        ++start;
    const int end = lines.indexOf(QLatin1Char('\n'), start);
    const bool tabs = lines.midRef(start, end < 0 ? -1 : end - start).contains(QLatin1Char('\t'));

    QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
    QByteArray bytes = utf8->fromUnicode(lines);
    QBuffer buffer(&bytes);
    table->setQuoteMode(CsvModel::DoubleQuote);
    table->setWithHeader(false);
    table->setSeparator(tabs ? QLatin1Char('\t') : QLatin1Char(','));
    table->setCodec(utf8);
    if (!table->read(&buffer))
        return false;
    if (table->rowCount() > 0 && isHeader(*table)) {
        for (int column = 0; column < table->columnCount(); ++column)
            table->setHeaderData(column, table->data(0, column).trimmed());
        table->removeRows(0, 1);
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
    QTextStream stream(device);
    stream.setAutoDetectUnicode(true);
    const QString text = stream.readAll();
    const bool readable = stream.status() == QTextStream::Ok && device->isReadable();
    device->close();
    return readable && read(table, text, message);
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
    bool numbered = true;
    for (int column = 0; column < table.columnCount(); ++column) {
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
                *message = tr("Line %1, column %2: \"%3\" is not a number.")
                               .arg(table.lineNumber(row))
                               .arg(column + 1)
                               .arg(table.data(row, column).trimmed());
                return false;
            }
        }
    }
    return true;
}
