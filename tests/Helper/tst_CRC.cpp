#include "Helper/CRC.h"

#include <QtTest>

class tst_CRC : public QObject
{
    Q_OBJECT

private slots:
    void checkValues_data();
    void checkValues();
};

void tst_CRC::checkValues_data()
{
    QTest::addColumn<bool>("ccitt");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("expected");

    QTest::newRow("ccitt fresh") << true << QByteArray() << 0xFFFF;
    QTest::newRow("ccitt abc") << true << QByteArray("abc") << 0x514A;
    QTest::newRow("ccitt 123456789") << true << QByteArray("123456789") << 0x29B1;
    QTest::newRow("sum fresh") << false << QByteArray() << 0;
    QTest::newRow("sum abc") << false << QByteArray("abc") << 0x0126;
    QTest::newRow("sum of high bytes wraps") << false << QByteArray(257, char(0xFF)) + '\x01' << 0;
}

void tst_CRC::checkValues()
{
    QFETCH(bool, ccitt);
    QFETCH(QByteArray, input);
    QFETCH(int, expected);

    CRC_CCITT ccittBlocks, ccittSingle;
    CRC_SUM sumBlocks, sumSingle;
    CRC& blocks = ccitt ? static_cast<CRC&>(ccittBlocks) : sumBlocks;
    CRC& single = ccitt ? static_cast<CRC&>(ccittSingle) : sumSingle;
    const auto* bytes = reinterpret_cast<const uint8_t*>(input.constData());
    const int half = input.size() / 2;

    // In two blocks with a read, an empty and a negative add between them.
    blocks.add(bytes, half);
    blocks.crc();
    blocks.add(bytes, 0);
    blocks.add(bytes, -1);
    blocks.add(bytes + half, input.size() - half);
    QCOMPARE(int(blocks.crc()), expected);

    for (char c : input)
        single.add(uint8_t(c));
    QCOMPARE(int(single.crc()), expected);

    single.add(bytes, input.size());
    single.reset();
    single.add(bytes, input.size());
    QCOMPARE(int(single.crc()), expected);
}

QTEST_APPLESS_MAIN(tst_CRC)
#include "tst_CRC.moc"
