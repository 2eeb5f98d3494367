#include "Helper/CRC.h"

#include <QtTest>

class tst_CRC : public QObject
{
    Q_OBJECT

private slots:
    void checkValues();
};

// The catalogued check value of CRC-16/CCITT-FALSE, and a byte sum that wraps at 16 bits: byte
// by byte from a fresh checksum, then after a reset in two blocks around an empty and a negative add.
void tst_CRC::checkValues()
{
    const QList<std::tuple<bool, QByteArray, int>> cases { { true, "123456789", 0x29B1 }, { false, "abc", 0x0126 },
                                                           { false, QByteArray(257, char(0xFF)) + '\x01', 0 } };
    for (const auto& [ccitt, input, expected] : cases) {
        std::unique_ptr<CRC> crc(ccitt ? static_cast<CRC*>(new CRC_CCITT) : new CRC_SUM);
        for (char c : input)
            crc->add(uint8_t(c));
        QCOMPARE(int(crc->crc()), expected);
        const auto* bytes = reinterpret_cast<const uint8_t*>(input.constData());
        crc->reset();
        crc->add(bytes, 2);
        crc->add(bytes, 0);
        crc->add(bytes, -1);
        crc->add(bytes + 2, input.size() - 2);
        QCOMPARE(int(crc->crc()), expected);
    }
}

QTEST_APPLESS_MAIN(tst_CRC)
#include "tst_CRC.moc"
