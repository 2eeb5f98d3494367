#include "Helper/CRC.h"
#include "Helper/CsvModel.h"
#include "Helper/IniFile.h"
#include "common/DataColumns.h"

#include <QtTest>

// The cells, "|" between them and a line end after every row.
static QString cells(const CsvModel& model)
{
    QString text;
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            text += (column ? "|" : "") + model.data(row, column);
        text += '\n';
    }
    return text;
}

class tst_Helper : public QObject
{
    Q_OBJECT

private slots:
    void csvRead_data()
    {
        const auto add = dataColumns<int, QByteArray, QString>("mode", "input", "expected");
        const int dq = CsvModel::DoubleQuote;
        add("blanks, doubled quotes", dq, QByteArray("a, b ,\"c,d\"\"e\""), "a|b |c,d\"e\n");
        add("text around quotes", dq, QByteArray("ab\"cd\"ef"), "cdef\n");
        add("quote, separator, end", dq, QByteArray("x,\"y\",\nz,w"), "x|y|\nz|w|\n");
        add("no quotes", int(CsvModel::NoQuotes), QByteArray("\"a\",b"), "\"a\"|b\n");
        add("backslash", int(CsvModel::DoubleQuote | CsvModel::BackslashQuote), QByteArray("\"a\\\"b\",c\\d,\"e\\"),
            "a\"b|c\\d|e\n");
        // Empty lines are skipped, a lone CR is no line end, the first line fixes the columns.
        add("lines", dq, QByteArray("\n\na,b\r\n\r\n\n  \nc\rd,e,f\ng"), "a|b\n|\nc\rd|e\ng|\n");
        add("utf-16 mark", dq, QByteArray("\xFF\xFE\xAC\x20,\0b\0", 8), "€|b\n");
    }

    void csvRead()
    {
        auto [mode, input, expected] = fetchColumns<int, QByteArray, QString>("mode", "input", "expected");
        CsvModel model(CsvModel::QuoteMode(mode), false, QLatin1Char(','), nullptr);
        QBuffer buffer(&input);
        QVERIFY(model.read(&buffer));
        QCOMPARE(cells(model), expected);
    }

    // Under the model tester, rows and columns go in and out in range only. A long header line over
    // short rows is not stored densely: 20000 columns by 4000 rows would take gigabytes.
    void csvShape()
    {
        CsvModel model(CsvModel::DoubleQuote, true, QLatin1Char(','), nullptr);
        auto* tester = new QAbstractItemModelTester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QByteArray bytes("h0,h1,h2\n00,01,02\n10,11,12\n");
        QBuffer buffer(&bytes);
        QVERIFY(model.read(&buffer));
        QVERIFY(model.insertRows(1, 2) && model.insertColumns(1, 1) && model.removeRows(0, 1)
                && model.removeColumns(3, 1));
        QVERIFY(!model.insertRows(4, 1) && !model.removeRows(2, 2) && !model.removeRows(-1, 2));
        QVERIFY(!model.insertColumns(1, 0) && !model.removeColumns(2, 2) && !model.removeColumns(1, 0));
        QCOMPARE(cells(model), "||\n||\n10||11\n");
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString() + model.headerData(2, Qt::Horizontal).toString(), "h1");
        QVERIFY(model.index(2, 2).isValid() && !model.index(3, 0).isValid() && !model.index(0, 3).isValid());
        delete tester;

        const auto residentKiB = [] {
            QFile status("/proc/self/status");
            const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
            return text.mid(text.indexOf("VmRSS:") + 6).trimmed().split(' ').first().toLongLong();
        };
        const int columns = 20000, rows = 4000;
        bytes = QByteArray(columns - 1, ',') + '\n' + QByteArray("1\n\"2\n").repeated(rows / 2);
        const qint64 before = residentKiB();
        QVERIFY(model.read(&buffer));
        QVERIFY2(residentKiB() - before < 64 * 1024, "reading grew the process by 64 MiB or more");
        QCOMPARE(model.columnCount() + model.rowCount(), columns + rows);
        QCOMPARE(model.data(rows - 2, 0) + model.data(rows - 1, 0) + model.data(rows - 1, columns - 1), "12");
        QVERIFY(model.removeColumns(0, columns - 1)); // over rows shorter than the range
        QCOMPARE(model.data(0, 0), QString());
    }

    void crc_data()
    {
        // ccitt: else the byte sum
        const auto add = dataColumns<bool, QByteArray, int>("ccitt", "input", "expected");
        add("CCITT, fresh", true, QByteArray(), 0xFFFF);
        add("CCITT, abc", true, QByteArray("abc"), 0x514A);
        add("CCITT-FALSE check value", true, QByteArray("123456789"), 0x29B1);
        add("sum, fresh", false, QByteArray(), 0);
        add("sum, abc", false, QByteArray("abc"), 0x0126);
        add("sum wraps at 16 bits", false, QByteArray(257, char(0xFF)) + '\x01', 0);
    }

    // Byte by byte from a fresh checksum, then after a reset in two blocks around an empty and a negative add.
    void crc()
    {
        const auto [ccitt, input, expected] = fetchColumns<bool, QByteArray, int>("ccitt", "input", "expected");
        std::unique_ptr<CRC> crc(ccitt ? static_cast<CRC*>(new CRC_CCITT) : new CRC_SUM);
        for (char c : input)
            crc->add(uint8_t(c));
        QCOMPARE(int(crc->crc()), expected);
        const auto* bytes = reinterpret_cast<const uint8_t*>(input.constData());
        const int first = qMin(2, input.size());
        crc->reset();
        crc->add(bytes, first);
        crc->add(bytes, 0);
        crc->add(bytes, -1);
        crc->add(bytes + first, input.size() - first);
        QCOMPARE(int(crc->crc()), expected);
    }

    // What the settings file says must come back through QSettings as it was stored.
    void iniReadBack_data()
    {
        const auto add = dataColumns<QString, QVariant>("key", "value");
        add("quotes, backslash, separators", "A/B", QVariant("a \"b\" \\c, d; e=f "));
        add("@ first", "A/B", QVariant("@Size(1 2)"));
        add("outside ASCII, hex digits after", "A/B", QVariant(QString::fromUtf8("/tmp/Grüße ä1b 𝄞a")));
        add("layout XML over lines", "Layout/Default", QVariant("<Layout type=\"Ring\">\n\t<Rows>4</Rows>"));
        add("key without section, odd characters", "Top key%", QVariant("x"));
        add("deeper key", "A/B/C", QVariant("x"));
        add("list", "RecentFiles/List", QVariant(QStringList { "/a,b/x.xml", "", "/c \"d\".xml" }));
        add("list of one", "RecentFiles/List", QVariant(QStringList { "/a, b.xml" }));
        add("empty list", "RecentFiles/List", QVariant(QStringList()));
        add("point", "MainWindow/Position", QVariant(QPoint(-5, 7)));
        add("size", "MainWindow/Size", QVariant(QSize(800, 600)));
        // Kinds this program does not store, found in a file another wrote, are kept as QSettings keeps them.
        add("rectangle", "Other/Rect", QVariant(QRect(1, -2, 3, 4)));
        add("bytes", "Other/Bytes", QVariant(QByteArray("\0\xff@x", 4)));
        add("point with fractions", "Other/Point", QVariant(QPointF(0.5, -1.25)));
    }

    void iniReadBack()
    {
        const auto [key, value] = fetchColumns<QString, QVariant>("key", "value");
        QTemporaryDir dir;
        const QString fileName = dir.filePath("app.ini");
        QString error;
        QVERIFY(IniFile::write(fileName, { { key, value }, { "Other/Key", 1 } }, &error));
        const QVariant read = QSettings(fileName, QSettings::IniFormat).value(key);
        if (value.userType() == QMetaType::QStringList)
            QCOMPARE(read.toStringList(), value.toStringList());
        else if (value.userType() == QMetaType::QString)
            QCOMPARE(read.toString(), value.toString());
        else
            QCOMPARE(read, value);
    }
};

QTEST_GUILESS_MAIN(tst_Helper)
#include "tst_Helper.moc"
