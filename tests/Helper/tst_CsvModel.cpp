#include "Helper/CsvModel.h"

#include "common/PythonRunner.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
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
        QStringList line;
        for (int column = 0; column < model.columnCount(); ++column)
            line << (row < 0 ? model.headerData(column, Qt::Horizontal).toString() : model.data(row, column));
        table << line;
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

const Table tricky{{"n,1", "say \"hi\"", "it's"}, {"a b", "\"", ""}, {"x\\y", "€", "'q'"}};

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
    void cellAccess();
    void copyAndHeaderOnly();
    void wideHeaderShortRows();
    void failures();
    void pythonReadsWrittenFile();
    void readsPythonFile_data();
    void readsPythonFile();
};

void tst_CsvModel::read_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<Table>("expected");

    const int dq = CsvModel::DoubleQuote;
    QTest::newRow("blanks") << dq << QByteArray("a, b ,c") << QByteArray() << Table{{"a", "b ", "c"}};
    QTest::newRow("trailing separator") << dq << QByteArray("a,b,") << QByteArray() << Table{{"a", "b", ""}};
    QTest::newRow("quoted") << dq << QByteArray("\"a,b\"\"c\",d") << QByteArray() << Table{{"a,b\"c", "d"}};
    QTest::newRow("around quotes") << dq << QByteArray("ab\"cd\"ef") << QByteArray() << Table{{"cdef"}};
    QTest::newRow("last after quote") << dq << QByteArray("\"a\"b") << QByteArray() << Table{{"ab"}};
    QTest::newRow("unclosed, separator") << dq << QByteArray("\"a,") << QByteArray() << Table{{"a,"}};
    QTest::newRow("quote, separator, end")
        << dq << QByteArray("x,\"y\",\nz,w") << QByteArray() << Table{{"x", "y", ""}, {"z", "w", ""}};
    QTest::newRow("no quotes") << int(CsvModel::NoQuotes) << QByteArray("\"a\",b") << QByteArray()
                               << Table{{"\"a\"", "b"}};
    QTest::newRow("single quotes") << int(CsvModel::SingleQuote) << QByteArray("'a,b',\"c") << QByteArray()
                                   << Table{{"a,b", "\"c"}};
    QTest::newRow("backslash") << int(CsvModel::DoubleQuote | CsvModel::BackslashQuote)
                               << QByteArray("\"a\\\"b\",c\\d,\"e\\") << QByteArray() << Table{{"a\"b", "c\\d", "e"}};
    QTest::newRow("empty lines") << dq << QByteArray("\n\na,b\r\n\r\n\n  \nc,d") << QByteArray()
                                 << Table{{"a", "b"}, {"", ""}, {"c", "d"}};
    QTest::newRow("lone CR") << dq << QByteArray("a\rb,c\r\n") << QByteArray() << Table{{"a\rb", "c"}};
    QTest::newRow("first line fixes columns")
        << dq << QByteArray("a,b\nc,d,e\nf") << QByteArray() << Table{{"a", "b"}, {"c", "d"}, {"f", ""}};
    QTest::newRow("utf-16 mark") << dq << QByteArray("\xFF\xFE\xAC\x20,\0b\0", 8) << QByteArray() << Table{{"€", "b"}};
    QTest::newRow("codec") << dq << QByteArray("\xA4,b") << QByteArray("ISO-8859-15") << Table{{"€", "b"}};
}

void tst_CsvModel::read()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, codec);
    QFETCH(Table, expected);

    CsvModel model(CsvModel::QuoteMode(mode), false, QLatin1Char(','), QTextCodec::codecForName(codec));
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
    QTest::newRow("apostrophes") << int(CsvModel::SingleQuote) << QStringList{"it's", "ok"}
                                 << QByteArray("h0,h1\n'it''s',ok\r\n") << true;
    QTest::newRow("double quotes win") << int(CsvModel::DoubleQuote | CsvModel::SingleQuote)
                                       << QStringList{"a,'b'", "c"} << QByteArray("h0,h1\n\"a,'b'\",c\r\n") << true;
    QTest::newRow("backslash") << int(CsvModel::DoubleQuote | CsvModel::BackslashQuote)
                               << QStringList{"a\\b\"c", "d\\e"} << QByteArray("h0,h1\n\"a\\\\b\\\"c\",d\\e\r\n") << true;
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

    CsvModel back(CsvModel::QuoteMode(mode), true, QLatin1Char(','), nullptr);
    QVERIFY(back.read(&buffer));
    QCOMPARE(cells(back, true).first(), QStringList({"h0", "h1"}));
    QCOMPARE(cells(back, true).last() == row, readsBack);
}

void tst_CsvModel::shapeOperations_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<Table>("expected");

    const Table start{{"00", "01", "02"}, {"10", "11", "12"}};
    const QStringList blank{"", "", ""};
    QTest::newRow("insert rows") << "insertRows" << 1 << 2 << true << Table{start[0], blank, blank, start[1]};
    QTest::newRow("insert rows past end") << "insertRows" << 3 << 1 << false << start;
    QTest::newRow("insert rows before start") << "insertRows" << -1 << 1 << false << start;
    QTest::newRow("remove row") << "removeRows" << 0 << 1 << true << Table{start[1]};
    QTest::newRow("remove rows past end") << "removeRows" << 1 << 2 << false << start;
    QTest::newRow("insert columns") << "insertColumns" << 1 << 2 << true
                                    << Table{{"00", "", "", "01", "02"}, {"10", "", "", "11", "12"}};
    QTest::newRow("insert columns past end") << "insertColumns" << 4 << 1 << false << start;
    QTest::newRow("remove columns") << "removeColumns" << 1 << 2 << true << Table{{"00"}, {"10"}};
    QTest::newRow("remove columns past end") << "removeColumns" << 2 << 2 << false << start;
    QTest::newRow("remove no columns") << "removeColumns" << 1 << 0 << false << start;
}

void tst_CsvModel::shapeOperations()
{
    QFETCH(QString, operation);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(bool, accepted);
    QFETCH(Table, expected);

    CsvModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fill(model, {{"h0", "h1", "h2"}, {"00", "01", "02"}, {"10", "11", "12"}});
    const QHash<QString, std::function<bool()>> operations{
        {"insertRows", [&] { return model.insertRows(first, count); }},
        {"removeRows", [&] { return model.removeRows(first, count); }},
        {"insertColumns", [&] { return model.insertColumns(first, count); }},
        {"removeColumns", [&] { return model.removeColumns(first, count); }}};
    QCOMPARE(operations.value(operation)(), accepted);
    QCOMPARE(cells(model), expected);
    QCOMPARE(model.columnCount(), expected.first().size());
}

void tst_CsvModel::cellAccess()
{
    CsvModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fill(model, {{"Alpha", "beta"}, {"a", "b"}});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(!model.index(1, 0).isValid());
    QVERIFY(!model.setData(model.index(0, 1), "x", Qt::DisplayRole));
    QVERIFY(model.setData(model.index(0, 1), 42));
    QCOMPARE(model.data(0, 1) + QString::number(changed.count()), QStringLiteral("421"));
    QVERIFY(model.setHeaderData(1, Qt::Horizontal, "Gamma"));
    QCOMPARE(model.findHeader("gamma", Qt::CaseInsensitive), 1);
    QCOMPARE(model.findHeader("gamma"), -1);
}

void tst_CsvModel::copyAndHeaderOnly()
{
    QObject owner;
    CsvModel source(CsvModel::SingleQuote, true, QLatin1Char(';'), QTextCodec::codecForName("UTF-8"), &owner);
    fill(source, tricky);
    CsvModel copy(source);
    source.setData(0, 0, "changed");
    QCOMPARE(copy.QObject::parent(), &owner);
    QCOMPARE(copy.separator(), QChar(';'));
    QCOMPARE(cells(copy, true), tricky);

    QByteArray bytes("a,b\n1,2\n");
    QBuffer buffer(&bytes);
    QVERIFY(copy.readHeader(&buffer));
    QCOMPARE(cells(copy, true), Table{{"a,b"}});
}

void tst_CsvModel::wideHeaderShortRows()
{
    // Stored densely, these 20000 columns by 4000 rows would take gigabytes.
    const int columns = 20000;
    const int rows = 4000;
    QByteArray bytes(columns - 1, ',');
    bytes.append('\n');
    for (int row = 0; row < rows; ++row)
        bytes.append(row % 2 ? "1\n" : "\"2\n");
    QBuffer buffer(&bytes);
    CsvModel model(CsvModel::DoubleQuote, true, QLatin1Char(','), nullptr);
    const qint64 before = residentKiB();
    QVERIFY(model.read(&buffer));
    QVERIFY2(residentKiB() - before < 64 * 1024, "reading grew the process by 64 MiB or more");
    QCOMPARE(model.columnCount(), columns);
    QCOMPARE(model.rowCount(), rows);
    QCOMPARE(model.data(rows - 1, 0) + model.data(rows - 2, 0), QStringLiteral("12"));
    QCOMPARE(model.data(rows - 1, columns - 1), QString());
    QVERIFY(model.removeColumns(0, columns - 1));
    QCOMPARE(model.data(rows - 2, 0), QString());
}

void tst_CsvModel::failures()
{
    QTemporaryDir dir;
    CsvModel model;
    fill(model, {{"a"}, {"1"}});
    QVERIFY(!model.write(dir.filePath("missing/out.csv")));
    QVERIFY(!model.read(dir.filePath("missing.csv")));
    QCOMPARE(model.columnCount() + model.rowCount(), 0);

    if (!QFile::exists("/dev/full"))
        QSKIP("no /dev/full to fail writes on");
    fill(model, {{"a"}, {"1"}});
    QFile full("/dev/full");
    QVERIFY(!model.write(&full));
}

void tst_CsvModel::pythonReadsWrittenFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    CsvModel model(CsvModel::DefaultQuoteMode, true, QLatin1Char(','), QTextCodec::codecForName("UTF-8"));
    fill(model, tricky);
    QVERIFY(model.write(path));

    const QJsonArray result = QJsonDocument::fromJson(PythonRunner::run(
        "import csv, json, sys\n"
        "raw = open(sys.argv[1], 'rb').read()\n"
        "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
        "print(json.dumps([raw.count(b'\\r\\n'), raw.count(b'\\n'), rows]))\n",
        {path})).array();
    QCOMPARE(result.at(0).toInt(), 2);
    QCOMPARE(result.at(1).toInt(), 3);
    Table read;
    for (const QJsonValue& row : result.at(2).toArray())
        read << row.toVariant().toStringList();
    QCOMPARE(read, tricky);
}

void tst_CsvModel::readsPythonFile_data()
{
    QTest::addColumn<QString>("quoting");
    QTest::newRow("minimal") << "QUOTE_MINIMAL";
    QTest::newRow("all") << "QUOTE_ALL";
}

void tst_CsvModel::readsPythonFile()
{
    QFETCH(QString, quoting);
    QTemporaryDir dir;
    const QString path = dir.filePath("in.csv");
    Table rows = tricky;
    if (quoting == "QUOTE_ALL")
        rows.append({" lead", "", "x"}); // only quoted fields keep leading blanks
    QJsonArray json;
    for (const QStringList& row : rows)
        json.append(QJsonArray::fromStringList(row));
    PythonRunner::run("import csv, json, sys\n"
                      "with open(sys.argv[1], 'w', newline='', encoding='utf-8') as f:\n"
                      "    csv.writer(f, quoting=getattr(csv, sys.argv[2])).writerows(json.loads(sys.argv[3]))\n",
                      {path, quoting, QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact))});

    CsvModel model(CsvModel::DoubleQuote, true, QLatin1Char(','), QTextCodec::codecForName("UTF-8"));
    QVERIFY(model.read(path));
    QCOMPARE(cells(model, true), rows);
}

QTEST_GUILESS_MAIN(tst_CsvModel)
#include "tst_CsvModel.moc"
