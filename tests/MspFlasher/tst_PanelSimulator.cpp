#include "common/PanelSimulator.h"

#include <QSerialPort>
#include <QtTest>

// The simulated controller is what every serial test trusts, so its reading of
// the panel link is checked here over a real serial port.
class tst_PanelSimulator : public QObject
{
    Q_OBJECT

private slots:
    void panelLink_data();
    void panelLink();
    void portSurvivesReopen();
};

static QByteArray block(int n, const QByteArray& payload)
{
    QByteArray bytes("\x03\x00\x00", 3);
    bytes += char(n);
    bytes += payload.leftJustified(32, '\0', true);
    return bytes;
}

void tst_PanelSimulator::panelLink_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("commands") << QStringList()
        << QByteArray("\x01\x00\x00\x00\x02\x00\x00\x00\x64\x00\x00\x00", 12)
        << QStringList { "RESET", "NEXT", "BOOT" };
    QTest::newRow("junk and unknown frame") << QStringList()
        << QByteArray("\x07\x01\x00\x00\x05", 5)
        << QStringList { "JUNK 07", "UNKNOWN 01 00 00 05" };

    // 3 x 5 panel: frame with LEDs 0, 1 and 9 lit is 03 03 02 00.
    QTest::newRow("small image") << QStringList { "--rows", "3", "--columns", "5" }
        << block(0, QByteArray("\x03\x03\x02\x00\x03\x03\x02\x00\x00", 9))
        << QStringList { "BLOCK 0", "SEQUENCE 0 FRAME 0 LEDS 0 1 9", "SEQUENCE 0 FRAME 1 LEDS 0 1 9",
                         "SEQUENCE 0 END FRAMES 2", "PADDING 23", "IMAGE 32 BLOCKS 1 SEQUENCES 1 FRAMES 2" };

    // 8 x 8: frames of 9 bytes; four of them cross the first block boundary.
    QByteArray image;
    for (int f = 0; f < 4; ++f)
        image += char(3) + QByteArray(8, char(1 << f));
    image += '\0';
    image += QByteArray("\x00", 1);
    image += char(3) + QByteArray(8, char(0xFF)) + QByteArray(1, '\0');
    QTest::newRow("blocks across frames") << QStringList { "--rows", "8", "--columns", "8" }
        << block(0, image.left(32)) + block(1, image.mid(32))
        << QStringList { "BLOCK 0", "BLOCK 1",
                         "SEQUENCE 0 FRAME 0 LEDS 0 8 16 24 32 40 48 56",
                         "SEQUENCE 0 FRAME 1 LEDS 1 9 17 25 33 41 49 57",
                         "SEQUENCE 0 FRAME 2 LEDS 2 10 18 26 34 42 50 58",
                         "SEQUENCE 0 FRAME 3 LEDS 3 11 19 27 35 43 51 59",
                         "SEQUENCE 0 END FRAMES 4", "SEQUENCE 1 END FRAMES 0",
                         "SEQUENCE 2 FRAME 0 LEDS " + [] { QStringList l; for (int i = 0; i < 64; ++i) l << QString::number(i); return l.join(' '); }(),
                         "SEQUENCE 2 END FRAMES 1", "PADDING 16", "IMAGE 64 BLOCKS 2 SEQUENCES 3 FRAMES 5" };

    QTest::newRow("wrong block number and bad opcode") << QStringList { "--rows", "1", "--columns", "8" }
        << block(5, QByteArray("\x03\x81\x00\x09", 4))
        << QStringList { "BLOCK 5 EXPECTED 0", "SEQUENCE 0 FRAME 0 LEDS 0 7", "SEQUENCE 0 END FRAMES 1",
                         "BADBYTE 09 AT 3", "IMAGE 32 BLOCKS 1 SEQUENCES 1 FRAMES 1" };

    QTest::newRow("command ends an image") << QStringList { "--rows", "1", "--columns", "8", "--settle", "60000" }
        << block(0, QByteArray("\x03\x10\x00", 3)) + QByteArray("\x02\x00\x00\x00", 4)
        << QStringList { "BLOCK 0", "SEQUENCE 0 FRAME 0 LEDS 4", "SEQUENCE 0 END FRAMES 1", "PADDING 29",
                         "IMAGE 32 BLOCKS 1 SEQUENCES 1 FRAMES 1", "NEXT" };
}

void tst_PanelSimulator::panelLink()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, sent);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const QString imageFile = dir.filePath("image.bin");
    PanelSimulator sim;
    QVERIFY2(sim.start(arguments << "--image-out" << imageFile), qPrintable(sim.errorOutput()));

    QSerialPort port(sim.devicePath());
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    port.write(sent);
    QVERIFY(port.waitForBytesWritten(2000));
    port.close();

    QVERIFY(QTest::qWaitFor([&] { return sim.lines().size() >= expected.size(); }, 5000));
    QTest::qWait(100);
    QCOMPARE(sim.lines(), expected);

    const bool hasImage = expected.filter(QRegularExpression("^IMAGE ")).size() == 1;
    QCOMPARE(QFile::exists(imageFile), hasImage);
    if (hasImage) {
        QFile file(imageFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray image;
        for (int i = 0; i + 36 <= sent.size(); i += 36)
            image += sent.mid(i + 4, 32);
        QCOMPARE(file.readAll(), image);
    }
}

void tst_PanelSimulator::portSurvivesReopen()
{
    PanelSimulator sim;
    QVERIFY(sim.start());
    for (int i = 0; i < 3; ++i) {
        QSerialPort port(sim.devicePath());
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.write(QByteArray("\x01\x00\x00\x00", 4));
        QVERIFY(port.waitForBytesWritten(2000));
        port.close();
        QVERIFY(QTest::qWaitFor([&] { return sim.lines().size() == i + 1; }, 5000));
    }
    QCOMPARE(sim.lines(), QStringList({ "RESET", "RESET", "RESET" }));
}

QTEST_GUILESS_MAIN(tst_PanelSimulator)
#include "tst_PanelSimulator.moc"
