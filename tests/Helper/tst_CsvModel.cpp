#include "Helper/CsvModel.h"

#include "common/PythonRunner.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

using Table = QList<QStringList>;

namespace QTest {
template<>
char* toString(const QStringList& list) { return toString(list.join(QLatin1Char('|'))); }
} // namespace QTest

namespace {

Table cells(const CsvModel& model, bool withHeader = false)
{
    Table table;
    for (int row = withHeader ? -1 : 0; row < model.rowCount(); ++row) {
        table.append(QStringList());
        for (int column = 0; column < model.columnCount(); ++column)
            table.last() << (row < 0 ? model.headerData(column, Qt::Horizontal).toString() : model.data(row, column));
    }
    return table;
}

void fill(CsvModel& model, const Table& table) // the first line is the header
{
    model.createTable(table.size() - 1, table.first().size());
    for (int row = 0; row < table.size(); ++row)
        for (int column = 0; column < table.at(row).size(); ++column)
            row ? model.setData(row - 1, column, table[row][column]) : model.setHeaderData(column, table[0][column]);
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

} // namespace

class tst_CsvModel : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void shapeOperations_data();
    void shapeOperations();
    void wideHeaderShortRows();
    void copyAndFailures();
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
    QTest::newRow("last after quote") << dq << QByteArray("\"a\"b") << Table{{"ab"}};
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
    QTest::newRow("codec") << -1 << QByteArray("\xA4,b") << Table{{"€", "b"}};
}

void tst_CsvModel::read()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, input);
    QFETCH(Table, expected);

    // A negative mode stands for the default one with a Latin-9 codec.
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
    QTest::addColumn<bool>("readsBack");

    QTest::newRow("default") << int(CsvModel::DefaultQuoteMode) << QStringList{"s\"t", "x"}
                             << QByteArray("\"h0\",\"h1\"\n\"s\"\"t\",\"x\"\r\n") << true;
    QTest::newRow("when needed") << int(CsvModel::DoubleQuote) << QStringList{"plain", "x,y"}
                                 << QByteArray("h0,h1\nplain,\"x,y\"\r\n") << true;
    QTest::newRow("double quotes win") << int(CsvModel::DoubleQuote | CsvModel::SingleQuote)
                                       << QStringList{"a,'b'", "c'"}
                                       << QByteArray("h0,h1\n\"a,'b'\",'c'''\r\n") << true;
    QTest::newRow("backslash") << int(CsvModel::DoubleQuote | CsvModel::BackslashQuote)
                               << QStringList{"a\\b\"c", "d\\e"}
                               << QByteArray("h0,h1\n\"a\\\\b\\\"c\",d\\e\r\n") << true;
    QTest::newRow("no quotes") << int(CsvModel::NoQuotes) << QStringList{"a\"b", " c"}
                               << QByteArray("h0,h1\na\"b, c\r\n") << false;
}

void tst_CsvModel::write()
{
    QFETCH(int, mode);
    QFETCH(QStringList, row);
    QFETCH(QByteArray, expected);
    QFETCH(bool, readsBack);

    CsvModel model(CsvModel::QuoteMode(mode), true, QLatin1Char(','), nullptr);
    fill(model, {{"h0", "h1"}, row});
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(model.write(&buffer));
    QCOMPARE(bytes, expected);
    QVERIFY(model.read(&buffer));
    QCOMPARE(cells(model, true).first(), QStringList({"h0", "h1"}));
    QCOMPARE(cells(model, true).last() == row, readsBack);
}

void tst_CsvModel::shapeOperations_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<Table>("expected"); // empty when refused

    const QStringList blank{"", "", ""};
    QTest::newRow("insert rows") << "insertRows" << 1 << 2
                                 << Table{{"00", "01", "02"}, blank, blank, {"10", "11", "12"}};
    QTest::newRow("insert rows past end") << "insertRows" << 3 << 1 << Table();
    QTest::newRow("remove row") << "removeRows" << 0 << 1 << Table{{"10", "11", "12"}};
    QTest::newRow("remove rows past end") << "removeRows" << 1 << 2 << Table();
    QTest::newRow("remove rows before start") << "removeRows" << -1 << 2 << Table();
    QTest::newRow("insert columns") << "insertColumns" << 1 << 1
                                    << Table{{"00", "", "01", "02"}, {"10", "", "11", "12"}};
    QTest::newRow("remove columns") << "removeColumns" << 1 << 2 << Table{{"00"}, {"10"}};
    QTest::newRow("remove columns past end") << "removeColumns" << 2 << 2 << Table();
    QTest::newRow("remove no columns") << "removeColumns" << 1 << 0 << Table();
}

void tst_CsvModel::shapeOperations()
{
    QFETCH(QString, operation);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(Table, expected);

    CsvModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const Table start{{"h0", "h1", "h2"}, {"00", "01", "02"}, {"10", "11", "12"}};
    fill(model, start);
    const QHash<QString, std::function<bool()>> operations{
        {"insertRows", [&] { return model.insertRows(first, count); }},
        {"removeRows", [&] { return model.removeRows(first, count); }},
        {"insertColumns", [&] { return model.insertColumns(first, count); }},
        {"removeColumns", [&] { return model.removeColumns(first, count); }}};
    QCOMPARE(operations.value(operation)(), !expected.isEmpty());
    QCOMPARE(cells(model), expected.isEmpty() ? start.mid(1) : expected);
    QVERIFY(!model.index(model.rowCount(), 0).isValid());
}

void tst_CsvModel::wideHeaderShortRows()
{
    // Stored densely, these 20000 columns by 4000 rows would take gigabytes.
    const int columns = 20000;
    const int rows = 4000;
    QByteArray bytes = QByteArray(columns - 1, ',') + '\n' + QByteArray("1\n\"2\n").repeated(rows / 2);
    QBuffer buffer(&bytes);
    CsvModel model(CsvModel::DoubleQuote, true, QLatin1Char(','), nullptr);
    const qint64 before = residentKiB();
    QVERIFY(model.read(&buffer));
    QVERIFY2(residentKiB() - before < 64 * 1024, "reading grew the process by 64 MiB or more");
    QCOMPARE(model.columnCount() + model.rowCount(), columns + rows);
    QCOMPARE(model.data(rows - 2, 0) + model.data(rows - 1, 0) + model.data(rows - 1, columns - 1),
             QStringLiteral("12"));
    QVERIFY(model.removeColumns(0, columns - 1));
    QCOMPARE(model.data(0, 0), QString());
}

void tst_CsvModel::copyAndFailures()
{
    QObject owner;
    CsvModel source(CsvModel::SingleQuote, true, QLatin1Char(';'), nullptr, &owner);
    const Table table{{"a", "b"}, {"1", "2"}};
    fill(source, table);
    CsvModel copy(source);
    source.setData(0, 0, "changed");
    QCOMPARE(copy.QObject::parent(), &owner);
    QCOMPARE(copy.separator(), QChar(';'));
    QCOMPARE(cells(copy, true), table);

    QTemporaryDir dir;
    QVERIFY(!copy.write(dir.filePath("missing/out.csv")));
    QVERIFY(!copy.read(dir.filePath("missing.csv")));
    QCOMPARE(copy.columnCount() + copy.rowCount(), 0);
    fill(copy, table);
    QFile full("/dev/full");
    QVERIFY(!full.exists() || !copy.write(&full));
}

void tst_CsvModel::exchangeWithPython()
{
    // Python reads what the model wrote, checks the line ends and writes it back minimally quoted.
    const Table tricky{{"n,1", "say \"hi\"", "it's"}, {"a b", "\"", ""}, {"x\\y", "€", " 'q'"}};
    QTemporaryDir dir;
    CsvModel model(CsvModel::DefaultQuoteMode, true, QLatin1Char(','), QTextCodec::codecForName("UTF-8"));
    fill(model, tricky);
    QVERIFY(model.write(dir.filePath("out.csv")));
    const QJsonArray result = QJsonDocument::fromJson(PythonRunner::run(
        "import csv, json, sys\n"
        "raw = open(sys.argv[1], 'rb').read()\n"
        "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
        "csv.writer(open(sys.argv[2], 'w', newline='', encoding='utf-8')).writerows(rows)\n"
        "print(json.dumps([raw.count(b'\\r\\n'), raw.count(b'\\n'), rows]))\n",
        {dir.filePath("out.csv"), dir.filePath("in.csv")})).array();
    QCOMPARE(result.at(0).toInt() * 10 + result.at(1).toInt(), 23);
    Table read;
    for (const QJsonValue& row : result.at(2).toArray())
        read << row.toVariant().toStringList();
    QCOMPARE(read, tricky);

    model.setQuoteMode(CsvModel::DoubleQuote);
    QVERIFY(model.read(dir.filePath("in.csv")));
    QCOMPARE(cells(model, true).mid(0, 2), tricky.mid(0, 2));
    QCOMPARE(cells(model, true).last(), QStringList({"x\\y", "€", "'q'"})); // a bare field loses leading blanks
}

QTEST_GUILESS_MAIN(tst_CsvModel)
#include "tst_CsvModel.moc"
