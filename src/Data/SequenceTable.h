#ifndef SEQUENCETABLE_H
#define SEQUENCETABLE_H

#include <QCoreApplication>
#include <QVector>

class CsvModel;
class QIODevice;

// A sequence as a CSV table: a header of LED numbers, then one row of
// intensities per frame. Sequence files and the clipboard both read and
// write it here.
class SequenceTable
{
    Q_DECLARE_TR_FUNCTIONS(SequenceTable)

public:
    // The widest frame sets the columns; shorter frames are padded with 0, so nothing is lost.
    static void fill(CsvModel* table, const QVector<QVector<int>>& frames);

    // Reads what an export or a spreadsheet wrote into table, one row per frame. The first
    // line is a header when it holds something other than integers or is 0, 1, ... N - 1;
    // a tab in it makes tabs the separator, otherwise commas are. Double quotes around a
    // cell are dropped. False when a cell is not an integer, and message names its line
    // and column, or when the table is larger than any sequence.
    static bool read(CsvModel* table, const QString& text, QString* message);
    // The same for text in a file or on a device; false also when it cannot be read.
    static bool read(CsvModel* table, QIODevice* device, QString* message);

    // The first count values of a data row; empty and missing cells are 0.
    static QVector<int> values(const CsvModel& table, int row, int count);

private:
    static bool isHeader(const CsvModel& table);
    static bool check(const CsvModel& table, QString* message);
};

#endif // SEQUENCETABLE_H
