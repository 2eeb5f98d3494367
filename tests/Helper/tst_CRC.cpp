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

    CRC_CCITT ccittCrc;
    CRC_SUM sumCrc;
    CRC& crc = ccitt ? static_cast<CRC&>(ccittCrc) : sumCrc;
    for (char c : input)
        crc.add(uint8_t(c));
    QCOMPARE(int(crc.crc()), expected);

    // Again after a reset, in two blocks with a read, an empty and a negative add between them.
    const auto* bytes = reinterpret_cast<const uint8_t*>(input.constData());
    const int half = input.size() / 2;
    crc.reset();
    crc.add(bytes, half);
    crc.crc();
    crc.add(bytes, 0);
    crc.add(bytes, -1);
    crc.add(bytes + half, input.size() - half);
    QCOMPARE(int(crc.crc()), expected);
}

QTEST_APPLESS_MAIN(tst_CRC)
#include "tst_CRC.moc"
