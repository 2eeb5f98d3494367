#include "Helper/CRC.h"

#include <QtTest>
#include <memory>

class tst_CRC : public QObject
{
    Q_OBJECT

private slots:
    void checkValues_data();
    void checkValues();
    void table_data();
    void table();
    void nonPositiveLengthAddsNothing();
    void matchesPython();
};

static std::unique_ptr<CRC> make(const QString& kind)
{
    if (kind == "sum")
        return std::make_unique<CRC_SUM>();
    return std::make_unique<CRC_CCITT>();
}

void tst_CRC::checkValues_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("expected");

    QTest::newRow("ccitt fresh") << "ccitt" << QByteArray() << 0xFFFF;
    QTest::newRow("ccitt abc") << "ccitt" << QByteArray("abc") << 0x514A;
    QTest::newRow("ccitt 123456789") << "ccitt" << QByteArray("123456789") << 0x29B1;
    QTest::newRow("ccitt bare command 19") << "ccitt" << QByteArray("\x19", 1) << 0x62E8;
    QTest::newRow("sum fresh") << "sum" << QByteArray() << 0;
    QTest::newRow("sum abc") << "sum" << QByteArray("abc") << 0x0126;
    QTest::newRow("sum high bytes") << "sum" << QByteArray(3, char(0xFF)) << 0x02FD;
    QTest::newRow("sum wraps") << "sum" << QByteArray(257, char(0xFF)) + '\x01' << 0x0000;
}

void tst_CRC::checkValues()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, input);
    QFETCH(int, expected);

    // Once as a block, once byte by byte: both paths must agree.
    auto block = make(kind);
    block->add(reinterpret_cast<const uint8_t*>(input.constData()), input.size());
    QCOMPARE(int(block->crc()), expected);

    auto single = make(kind);
    for (char c : input)
        single->add(uint8_t(c));
    QCOMPARE(int(single->crc()), expected);

    // Reading in between changes nothing; reset() starts over.
    auto split = make(kind);
    const int half = input.size() / 2;
    split->add(reinterpret_cast<const uint8_t*>(input.constData()), half);
    split->crc();
    split->add(reinterpret_cast<const uint8_t*>(input.constData()) + half, input.size() - half);
    QCOMPARE(int(split->crc()), expected);
    split->reset();
    split->add(reinterpret_cast<const uint8_t*>(input.constData()), input.size());
    QCOMPARE(int(split->crc()), expected);
}

void tst_CRC::table_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::newRow("0") << 0 << 0x0000;
    QTest::newRow("1") << 1 << 0x1021;
    QTest::newRow("2") << 2 << 0x2042;
    QTest::newRow("128") << 128 << 0x9188; // 0x8000 shifted through eight steps
    QTest::newRow("255") << 255 << 0x1EF0;
}

void tst_CRC::table()
{
    QFETCH(int, index);
    QFETCH(int, value);
    QCOMPARE(int(CRC_CCITT::table[index]), value);
}

void tst_CRC::nonPositiveLengthAddsNothing()
{
    const uint8_t bytes[] = { 1, 2, 3 };
    for (const QString& kind : { QStringLiteral("sum"), QStringLiteral("ccitt") }) {
        auto c = make(kind);
        c->add(bytes, 1);
        const uint16_t before = c->crc();
        c->add(bytes, 0);
        c->add(bytes, -1);
        QCOMPARE(c->crc(), before);
    }
}

// Python's binascii.crc_hqx with start 0xFFFF is an independent CCITT-FALSE.
void tst_CRC::matchesPython()
{
    QByteArray data(4096, Qt::Uninitialized);
    quint32 x = 12345;
    for (char& c : data) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 16);
    }
    QProcess py;
    py.start("python3", { "-c", "import sys,binascii;print(binascii.crc_hqx(sys.stdin.buffer.read(),0xFFFF))" });
    if (!py.waitForStarted())
        QSKIP("python3 not available");
    py.write(data);
    py.closeWriteChannel();
    QVERIFY(py.waitForFinished());
    const int expected = py.readAllStandardOutput().trimmed().toInt();

    CRC_CCITT crc;
    crc.add(reinterpret_cast<const uint8_t*>(data.constData()), data.size());
    QCOMPARE(int(crc.crc()), expected);
}

QTEST_APPLESS_MAIN(tst_CRC)
#include "tst_CRC.moc"
