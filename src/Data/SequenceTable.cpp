#include "Data/SequenceTable.h"

#include "Helper/CsvModel.h"

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

QVector<int> SequenceTable::values(const CsvModel& table, int row, int count)
{
    QVector<int> values(count);
    for (int column = 0; column < count; ++column)
        values[column] = table.data(row, column).trimmed().toInt(nullptr, 10);
    return values;
}

bool SequenceTable::check(const CsvModel& table, QString* message)
{
    Q_ASSERT(message);
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            const QString cell = table.data(row, column).trimmed();
            bool ok = cell.isEmpty();
            if (!ok)
                cell.toInt(&ok, 10);
            if (!ok) {
                *message = notANumberText(table.lineNumber(row), cell);
                return false;
            }
        }
    }
    return true;
}

QString SequenceTable::notANumberText(int line, const QString& cell)
{
    return tr("Line %1: \"%2\" is not a number.").arg(line).arg(cell);
}
