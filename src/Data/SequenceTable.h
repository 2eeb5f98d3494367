#ifndef SEQUENCETABLE_H
#define SEQUENCETABLE_H

#include <QVector>

class CsvModel;

// A sequence as a CSV table: a header of LED numbers, then one row of
// intensities per frame. Both the sequence files and the clipboard use it.
class SequenceTable
{
public:
    // The widest frame sets the columns; shorter frames are padded with 0, so nothing is lost.
    static void fill(CsvModel* table, const QVector<QVector<int>>& frames);
    // The first count values of a data row; empty, missing and non-integer cells are 0.
    static QVector<int> values(const CsvModel& table, int row, int count);
};

#endif // SEQUENCETABLE_H
