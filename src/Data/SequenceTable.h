#ifndef SEQUENCETABLE_H
#define SEQUENCETABLE_H

#include <QCoreApplication>
#include <QVector>

class CsvModel;

// A sequence as a CSV table: a header of LED numbers, then one row of
// intensities per frame. Both the sequence files and the clipboard use it.
class SequenceTable
{
    Q_DECLARE_TR_FUNCTIONS(SequenceTable)

public:
    // The widest frame sets the columns; shorter frames are padded with 0, so nothing is lost.
    static void fill(CsvModel* table, const QVector<QVector<int>>& frames);
    // The first count values of a data row; empty and missing cells are 0.
    static QVector<int> values(const CsvModel& table, int row, int count);
    // Whether every cell is empty or an integer; if not, message names the first other one and its line.
    static bool check(const CsvModel& table, QString* message);
    static QString notANumberText(int line, const QString& cell);
};

#endif // SEQUENCETABLE_H
