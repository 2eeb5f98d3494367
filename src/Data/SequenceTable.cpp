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
