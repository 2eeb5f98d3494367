#include "Helper/CsvModel.h"

#include "common/PythonRunner.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

using Table = QList<QStringList>;

static Table cells(const CsvModel& model, bool withHeader = false)
{
    Table table;
    for (int row = withHeader ? -1 : 0; row < model.rowCount(); ++row) {
        table.append(QStringList());
        for (int column = 0; column < model.columnCount(); ++column)
            table.last() << (row < 0 ? model.headerData(column, Qt::Horizontal).toString() : model.data(row, column));
    }
    return table;
}

static void fill(CsvModel& model, const Table& table) // the first line is the header
{
    model.createTable(table.size() - 1, table.first().size());
    for (int row = 0; row < table.size(); ++row)
        for (int column = 0; column < table.at(row).size(); ++column)
            row ? model.setData(row - 1, column, table[row][column]) : model.setHeaderData(column, table[0][column]);
}

static qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    const QByteArray text = status.readAll();
    return text.mid(text.indexOf("VmRSS:") + 6).trimmed().split(' ').first().toLongLong();
}

class tst_CsvModel : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void shapeOperations();
    void wideHeaderShortRows();
    void exchangeWithPython();
};

void tst_CsvModel::read_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Table>("expected");

    const int dq = CsvModel::DoubleQuote;
    QTest::newRow("blanks") << dq << QByteArray("a, b ,c") << Table{{"a", "b ", "c"}};
    QTest::newRow("trailing separator") << dq << QByteArray("a,b,") << Table{{"a", "b", ""}};
    QTest::newRow("quoted") << dq << QByteArray("\"a,b\"\"c\",d") << Table{{"a,b\"c", "d"}};
    QTest::newRow("around quotes") << dq << QByteArray("ab\"cd\"ef") << Table{{"cdef"}};
    QTest::newRow("unclosed") << dq << QByteArray("\"a,") << Table{{"a,"}};
    QTest::newRow("quote, separator, end") << dq << QByteArray("x,\"y\",\nz,w")
                                           << Table{{"x", "y", ""}, {"z", "w", ""}};
    QTest::newRow("no quotes") << int(CsvModel::NoQuotes) << QByteArray("\"a\",b") << Table{{"\"a\"", "b"}};
    QTest::newRow("single quotes") << int(CsvModel::SingleQuote) << QByteArray("'a,b',\"c") << Table{{"a,b", "\"c"}};
    QTest::newRow("backslash") << int(CsvModel::DoubleQuote | CsvModel::BackslashQuote)
                               << QByteArray("\"a\\\"b\",c\\d,\"e\\") << Table{{"a\"b", "c\\d", "e"}};
    QTest::newRow("empty lines") << dq << QByteArray("\n\na,b\r\n\r\n\n  \nc,d")
                                 << Table{{"a", "b"}, {"", ""}, {"c", "d"}};
    QTest::newRow("lone CR") << dq << QByteArray("a\rb,c\r\n") << Table{{"a\rb", "c"}};
    QTest::newRow("first line fixes columns") << dq << QByteArray("a,b\nc,d,e\nf")
                                              << Table{{"a", "b"}, {"c", "d"}, {"f", ""}};
    QTest::newRow("utf-16 mark") << dq << QByteArray("\xFF\xFE\xAC\x20,\0b\0", 8) << Table{{"€", "b"}};
    QTest::newRow("Latin-9 codec") << -1 << QByteArray("\xA4,b") << Table{{"€", "b"}};
}

void tst_CsvModel::read()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, input);
    QFETCH(Table, expected);

    CsvModel model(CsvModel::QuoteMode(qMax(mode, 0)), false, QLatin1Char(','),
                   mode < 0 ? QTextCodec::codecForName("ISO-8859-15") : nullptr);
    QBuffer buffer(&input);
    QVERIFY(model.read(&buffer));
    QCOMPARE(cells(model), expected);
    QVERIFY(!buffer.isOpen());
}

void tst_CsvModel::write_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("default") << int(CsvModel::DefaultQuoteMode) << QStringList{"s\"t", "x"}
                             << QByteArray("\"h0\",\"h1\"\n\"s\"\"t\",\"x\"\r\n");
    QTest::newRow("when needed") << int(CsvModel::DoubleQuote) << QStringList{"plain", "x,y"}
                                 << QByteArray("h0,h1\nplain,\"x,y\"\r\n");
    QTest::newRow("double quotes win") << int(CsvModel::DoubleQuote | CsvModel::SingleQuote)
                                       << QStringList{"a,'b'", "c'"} << QByteArray("h0,h1\n\"a,'b'\",'c'''\r\n");
    QTest::newRow("backslash") << int(CsvModel::DoubleQuote | CsvModel::BackslashQuote)
                               << QStringList{"a\\b\"c", "d\\e"} << QByteArray("h0,h1\n\"a\\\\b\\\"c\",d\\e\r\n");
}

void tst_CsvModel::write()
{
    QFETCH(int, mode);
    QFETCH(QStringList, row);
    QFETCH(QByteArray, expected);

    QObject owner;
    CsvModel model(CsvModel::QuoteMode(mode), true, QLatin1Char(','), nullptr, &owner);
    const Table table{{"h0", "h1"}, row};
    fill(model, table);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(model.write(&buffer));
    QCOMPARE(bytes, expected);
    QFile full("/dev/full"); // a write that fails after the open
    QVERIFY(!full.exists() || !model.write(&full));

    // A copy has its own cells, the parent and the dialect: it reads the file back.
    CsvModel copy(model);
    model.removeTable();
    QCOMPARE(copy.QObject::parent(), &owner);
    QCOMPARE(cells(copy, true), table);
    QVERIFY(copy.read(&buffer));
    QCOMPARE(cells(copy, true), table);
}

// Under the model tester: rows and columns inserted and removed in range, refused out of range.
void tst_CsvModel::shapeOperations()
{
    CsvModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fill(model, {{"h0", "h1", "h2"}, {"00", "01", "02"}, {"10", "11", "12"}});
    QVERIFY(model.insertRows(1, 2) && model.insertColumns(1, 1) && model.removeRows(0, 1) && model.removeColumns(3, 1));
    QVERIFY(!model.insertRows(4, 1) && !model.removeRows(2, 2) && !model.removeRows(-1, 2));
    QVERIFY(!model.insertColumns(1, 0) && !model.removeColumns(2, 2) && !model.removeColumns(1, 0));
    QCOMPARE(cells(model), Table({{"", "", ""}, {"", "", ""}, {"10", "", "11"}}));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString() + model.headerData(2, Qt::Horizontal).toString(), "h1");
}

// A long header line over short rows must not be stored densely: 20000 columns
// by 4000 rows would take gigabytes.
void tst_CsvModel::wideHeaderShortRows()
{
    const int columns = 20000;
    const int rows = 4000;
    QByteArray bytes = QByteArray(columns - 1, ',') + '\n' + QByteArray("1\n\"2\n").repeated(rows / 2);
    QBuffer buffer(&bytes);
    CsvModel model(CsvModel::DoubleQuote, true, QLatin1Char(','), nullptr);
    const qint64 before = residentKiB();
    QVERIFY(model.read(&buffer));
    QVERIFY2(residentKiB() - before < 64 * 1024, "reading grew the process by 64 MiB or more");
    QCOMPARE(model.columnCount() + model.rowCount(), columns + rows);
    QCOMPARE(model.data(rows - 2, 0) + model.data(rows - 1, 0) + model.data(rows - 1, columns - 1), "12");
    QVERIFY(model.removeColumns(0, columns - 1));
    QCOMPARE(model.data(0, 0), QString());
}

// Python reads what the model wrote and writes it back minimally quoted.
void tst_CsvModel::exchangeWithPython()
{
    const Table tricky{{"n,1", "say \"hi\"", "it's"}, {"a b", "\"", ""}, {"x\\y", "€", " 'q'"}};
    QStringList lines;
    for (const QStringList& row : tricky)
        lines << row.join('|');
    QTemporaryDir dir;
    CsvModel model(CsvModel::DefaultQuoteMode, true, QLatin1Char(','), QTextCodec::codecForName("UTF-8"));
    fill(model, tricky);
    QVERIFY(model.write(dir.filePath("out.csv")));
    const QByteArray read = PythonRunner::run(
        "import csv, sys\n"
        "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
        "csv.writer(open(sys.argv[2], 'w', newline='', encoding='utf-8')).writerows(rows)\n"
        "sys.stdout.buffer.write('\\n'.join('|'.join(row) for row in rows).encode())\n",
        {dir.filePath("out.csv"), dir.filePath("in.csv")});
    QCOMPARE(QString::fromUtf8(read), lines.join('\n'));

    model.setQuoteMode(CsvModel::DoubleQuote);
    QVERIFY(model.read(dir.filePath("in.csv")));
    QCOMPARE(cells(model, true).mid(0, 2), tricky.mid(0, 2));
    QCOMPARE(cells(model, true).last(), QStringList({"x\\y", "€", "'q'"})); // a bare field loses leading blanks
}

QTEST_GUILESS_MAIN(tst_CsvModel)
#include "tst_CsvModel.moc"
