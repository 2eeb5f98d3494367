#include "MspFlasher/MspFlasher_FR5994.h"
#include "common/PanelSimulator.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QtTest>

// Opens the protected link operations to the tests.
class Link : public MspFlasher_FR5994
{
public:
    using MspFlasher_FR5994::MspFlasher_FR5994;
    using MspFlasher::sendCommand;
    using MspFlasher::sendDataArray;
    using MspFlasher::sendSingleByte;
    using MspFlasher::showError;

    void setMemory(const QList<sMemory>& memory) { m_MemoryData = memory; }
};

typedef QList<QPair<uint, QByteArray>> Sections;
Q_DECLARE_METATYPE(Sections)

class tst_MspFlasher : public QObject
{
    Q_OBJECT

private slots:
    void packets_data();
    void packets();
    void closedPort();
    void errorTexts_data();
    void errorTexts();
    void readMemoryFile_data();
    void readMemoryFile();
    void verifyDevice_data();
    void verifyDevice();
    void flashPackets_data();
    void flashPackets();
    void applicationCrc_data();
    void applicationCrc();

private:
    bool startBootLoader(PanelSimulator& sim, QSerialPort& port, Link& link, const QStringList& arguments);
};

static QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

static QByteArray received(PanelSimulator& sim)
{
    QByteArray bytes;
    for (const QString& line : sim.lines()) {
        if (line.startsWith("RX "))
            bytes += QByteArray::fromHex(line.mid(3).toLatin1());
    }
    return bytes;
}

bool tst_MspFlasher::startBootLoader(PanelSimulator& sim, QSerialPort& port, Link& link, const QStringList& arguments)
{
    if (!sim.start(arguments))
        return false;
    port.setPortName(sim.devicePath());
    port.setBaudRate(57600);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    link.sendSingleByte(0x04);
    return sim.waitForLine("BOOT BYTE");
}

void tst_MspFlasher::packets_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("command");   // -1: data packet
    QTest::addColumn<uint>("address");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("answer");

    QTest::newRow("version") << QStringList() << 0x19 << 0u << QByteArray() << hex("800119E862") << 0xA1;
    QTest::newRow("erase") << QStringList() << 0x15 << 0u << QByteArray() << hex("80011564A3") << 0x00;
    QTest::newRow("jump needs no answer") << QStringList { "--no-answer-at", "1" } << 0x1C << 0u << QByteArray()
                                          << hex("80011C4D32") << 0x00;
    QTest::newRow("data") << QStringList() << -1 << 0x012345u << hex("AABB") << hex("800610452301AABB0C59")
                          << 0x00;
    QTest::newRow("address top byte not sent") << QStringList() << -1 << 0xFF012345u << hex("AABB")
                                               << hex("800610452301AABB0C59") << 0x00;
    QTest::newRow("last byte of one read counts") << QStringList { "--error-at", "1", "--error-code", "51",
                                                                   "--split-at", "1", "--split-byte", "00",
                                                                   "--split-ms", "0" }
                                                  << 0x19 << 0u << QByteArray() << hex("800119E862") << 0x51;
    QTest::newRow("stale byte is dropped") << QStringList { "--split-at", "1", "--split-byte", "A2", "--split-ms", "1000" }
                                           << 0x19 << 0u << QByteArray() << hex("800119E862") << 0xA2;
}

void tst_MspFlasher::packets()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, command);
    QFETCH(uint, address);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, wire);
    QFETCH(int, answer);

    PanelSimulator sim;
    QSerialPort port;
    Link link(&port);
    QVERIFY(startBootLoader(sim, port, link, arguments << "--raw"));

    const char result = command >= 0 ? link.sendCommand(uint8_t(command))
                                     : link.sendDataArray(address, reinterpret_cast<const uint8_t*>(data.constData()),
                                                          uint32_t(data.size()));
    QCOMPARE(int(uint8_t(result)), answer);
    QVERIFY(QTest::qWaitFor([&] { return received(sim).size() >= 1 + wire.size(); }, 5000));
    QCOMPARE(received(sim), QByteArray(1, 0x04) + wire);

    // A late half of the answer waits in the line; the next packet must not take it.
    if (QTest::currentDataTag() == QByteArray("stale byte is dropped")) {
        QVERIFY(QTest::qWaitFor([&] { return port.bytesAvailable() > 0 || port.waitForReadyRead(10); }, 3000));
        QCOMPARE(int(uint8_t(link.sendCommand(0x15))), 0x00);
    }
}

void tst_MspFlasher::closedPort()
{
    QSerialPort port;
    Link link(&port);
    const uint8_t data[2] = { 1, 2 };
    QCOMPARE(int(link.sendCommand(0x19)), -1);
    QCOMPARE(int(link.sendDataArray(0x4400, data, 2)), -1);
    QVERIFY(!link.verifyDevice());

    // Length limits: with the port open, nothing may go out either.
    PanelSimulator sim;
    QVERIFY(startBootLoader(sim, port, link, { "--raw" }));
    const QByteArray big(252, char(0x11));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(big.constData());
    QCOMPARE(int(link.sendDataArray(0x4400, bytes, 0)), -1);
    QCOMPARE(int(link.sendDataArray(0x4400, bytes, 252)), -1);
    QTest::qWait(100);
    QCOMPARE(received(sim), QByteArray(1, 0x04));

    // The largest packet still fits its length byte; the boot loader then objects to its size.
    QCOMPARE(int(link.sendDataArray(0x4400, bytes, 251)), 0x54);
    QVERIFY(QTest::qWaitFor([&] { return received(sim).size() >= 1 + 259; }, 5000));
    QCOMPARE(received(sim).mid(1, 6), hex("80FF10004400"));
    QCOMPARE(int(uint8_t(link.sendCommand(0x19))), 0xA1);
}

void tst_MspFlasher::errorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("51") << 0x51 << "Error: (51) Incorrect header";
    QTest::newRow("52") << 0x52 << "Error: (52) Packet checksum error";
    QTest::newRow("53") << 0x53 << "Error: (53) Packet size is zero";
    QTest::newRow("54") << 0x54 << "Error: (54) Packet size is invalid";
    QTest::newRow("55") << 0x55 << "Error: (55) Error in protocol";
    QTest::newRow("timeout") << 0xFF << "Error: (-1) Timeout";
    QTest::newRow("zero") << 0x00 << "Error: (0) unknown";
    QTest::newRow("signed") << 0xC5 << "Error: (-3b) unknown";
    QTest::newRow("version-like") << 0x7f << "Error: (7f) unknown";
}

void tst_MspFlasher::errorTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QSerialPort port;
    Link link(&port);
    QSignalSpy spy(&link, &MspFlasher::message);
    link.showError(char(code));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), text);
}

void tst_MspFlasher::readMemoryFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<Sections>("sections");

    QTest::newRow("two sections") << "@4400\n31 40 00 24\n@FF80\n00 44\nq\n" << true
                                  << Sections { { 0x4400, hex("31400024") }, { 0xFF80, hex("0044") } };
    QTest::newRow("data before any address") << "01 02\n@10\n03\n" << true
                                             << Sections { { 0, hex("0102") }, { 0x10, hex("03") } };
    QTest::newRow("address without data") << "@10\n@20\nAA\n" << true << Sections { { 0x20, hex("AA") } };
    QTest::newRow("kept in file order") << "@20\n01\n@10\n02\n@20\n03\n" << true
                                        << Sections { { 0x20, hex("01") }, { 0x10, hex("02") }, { 0x20, hex("03") } };
    QTest::newRow("q ends the file") << "@10\n01\nq\nnot hex at all\n" << true << Sections { { 0x10, hex("01") } };
    QTest::newRow("no q, blank lines, extra spaces") << "@10\n\n  01   02 \n\n" << true << Sections { { 0x10, hex("0102") } };
    QTest::newRow("CRLF lines") << "@10\r\n01 02\r\nq\r\n" << true << Sections { { 0x10, hex("0102") } };
    QTest::newRow("low byte of a wide token") << "@10\n1FF\n" << true << Sections { { 0x10, hex("FF") } };
    QTest::newRow("empty") << "" << true << Sections {};
    QTest::newRow("upper-case Q") << "@10\n01\nQ\n" << false << Sections {};
    QTest::newRow("bad token") << "@10\n01 G1\n" << false << Sections {};
    QTest::newRow("bad address") << "@XYZ\n01\n" << false << Sections {};
    QTest::newRow("empty address") << "@\n01\n" << false << Sections {};
    QTest::newRow("address above 32 bits") << "@100000000\n01\n" << false << Sections {};
    QTest::newRow("token above 32 bits") << "@10\n100000001\n" << false << Sections {};
    QTest::newRow("last packet address") << "@FFFFFF\n01\n" << true << Sections { { 0xFFFFFF, hex("01") } };
    QTest::newRow("beyond packet address") << "@FFFFFF\n01 02\n" << false << Sections {};
    QTest::newRow("tab separated") << "@10\n01\t02\n" << false << Sections {};
}

void tst_MspFlasher::readMemoryFile()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(Sections, sections);

    QSerialPort port;
    Link link(&port);
    link.setMemory({ sMemory { 0x1234, "old" } });
    QTextStream stream(&text);
    QCOMPARE(link.readMemoryFile(stream), ok);
    if (!ok)
        return;
    Sections read;
    for (const sMemory& m : link.memoryData())
        read << qMakePair(uint(m.address), m.data);
    QCOMPARE(read, sections);
}

void tst_MspFlasher::verifyDevice_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::newRow("A1") << "A1" << true << QString();
    QTest::newRow("AF") << "AF" << true << QString();
    QTest::newRow("A0") << "A0" << true << QString();
    QTest::newRow("B0") << "B0" << false << "Error: (-50) unknown";
    QTest::newRow("00") << "00" << false << "Error: (0) unknown";
    QTest::newRow("FF") << "FF" << false << "Error: (-1) Timeout";
}

void tst_MspFlasher::verifyDevice()
{
    QFETCH(QString, version);
    QFETCH(bool, ok);
    QFETCH(QString, error);

    PanelSimulator sim;
    QSerialPort port;
    Link link(&port);
    QVERIFY(startBootLoader(sim, port, link, { "--version-byte", version }));
    QSignalSpy spy(&link, &MspFlasher::message);
    QCOMPARE(link.verifyDevice(), ok);
    QCOMPARE(spy.count(), ok ? 0 : 1);
    if (!ok)
        QCOMPARE(spy.at(0).at(0).toString(), error);
}

void tst_MspFlasher::flashPackets_data()
{
    QTest::addColumn<Sections>("sections");
    QTest::addColumn<QStringList>("packets");
    QTest::addColumn<QList<int>>("progress");

    QTest::newRow("32 bytes") << Sections { { 0x6403, QByteArray(32, 1) } }
                              << QStringList { "006403 DATA 16", "006413 DATA 16", "004000 DATA 2" }
                              << QList<int> { 0, 50, 100 };
    QTest::newRow("33 bytes") << Sections { { 0x6403, QByteArray(33, 1) } }
                              << QStringList { "006403 DATA 16", "006413 DATA 16", "006423 DATA 1", "004000 DATA 2" }
                              << QList<int> { 0, 50, 100, 150 };
    QTest::newRow("100 bytes") << Sections { { 0x10000, QByteArray(100, 2) } }
                               << QStringList { "010000 DATA 16", "010010 DATA 16", "010020 DATA 16", "010030 DATA 16",
                                                "010040 DATA 16", "010050 DATA 16", "010060 DATA 4", "004000 DATA 2" }
                               << QList<int> { 0, 16, 33, 50, 66, 83, 100, 116 };
    QTest::newRow("sections apart") << Sections { { 0x6403, QByteArray(20, 1) }, { 0x6417, QByteArray(20, 2) } }
                                    << QStringList { "006403 DATA 16", "006413 DATA 4", "006417 DATA 16",
                                                     "006427 DATA 4", "004000 DATA 2" }
                                    << QList<int> { 0, 50, 100, 150, 200 };
    QTest::newRow("tiny image") << Sections { { 0x6403, QByteArray(5, 1) }, { 0x7000, QByteArray(3, 1) } }
                                << QStringList { "006403 DATA 5", "007000 DATA 3", "004000 DATA 2" }
                                << QList<int> { 0, 50, 100 };
    QTest::newRow("no sections") << Sections {} << QStringList { "004000 DATA 2" } << QList<int> { 0 };
}

void tst_MspFlasher::flashPackets()
{
    QFETCH(Sections, sections);
    QFETCH(QStringList, packets);
    QFETCH(QList<int>, progress);

    PanelSimulator sim;
    QSerialPort port;
    Link link(&port);
    QVERIFY(startBootLoader(sim, port, link, {}));
    QList<sMemory> memory;
    for (const auto& s : sections)
        memory << sMemory { s.first, s.second };
    link.setMemory(memory);

    QSignalSpy spy(&link, &MspFlasher::progress);
    QVERIFY(link.flashDevice());
    QList<int> values;
    for (const QList<QVariant>& args : qAsConst(spy))
        values << args.at(0).toInt();
    QCOMPARE(values, progress);

    QVERIFY(sim.waitForLine(QString("PACKET %1 ").arg(packets.size())));
    QStringList seen;
    for (const QString& line : sim.lines()) {
        const QRegularExpressionMatch m = QRegularExpression("^PACKET \\d+ CMD 10 ADDR (\\w+ DATA \\d+) ANSWER 00$").match(line);
        if (m.hasMatch())
            seen << m.captured(1);
    }
    QCOMPARE(seen, packets);
}

// Python holds an independent version of the rule: both ranges, 0xFF where no
// section holds an address, the first section that does wins.
static int pythonCrc(const Sections& sections)
{
    QStringList list;
    for (const auto& s : sections)
        list << QString("(%1,bytes.fromhex('%2'))").arg(s.first).arg(QString::fromLatin1(s.second.toHex()));
    const QString script = QString(
        "import binascii\n"
        "secs=[%1]\n"
        "def at(a):\n"
        "  for s,d in secs:\n"
        "    if s<=a<s+len(d): return d[a-s]\n"
        "  return 0xFF\n"
        "lo,hi=bytearray(b'\\xff'*(0xF800-0x6403)),bytearray(b'\\xff'*(0x44000-0x10000))\n"
        "for s,d in reversed(secs):\n"
        "  for i,b in enumerate(d):\n"
        "    a=s+i\n"
        "    if 0x6403<=a<0xF800: lo[a-0x6403]=b\n"
        "    if 0x10000<=a<0x44000: hi[a-0x10000]=b\n"
        "print(binascii.crc_hqx(bytes(lo+hi),0xFFFF))\n").arg(list.join(','));
    QProcess py;
    py.start("python3", { "-c", script });
    if (!py.waitForFinished(30000) || py.exitCode() != 0)
        return -1;
    return py.readAllStandardOutput().trimmed().toInt();
}

void tst_MspFlasher::applicationCrc_data()
{
    QTest::addColumn<Sections>("sections");
    QTest::addColumn<bool>("erased");

    QTest::newRow("no sections") << Sections {} << true;
    QTest::newRow("below the lower range") << Sections { { 0x6402, hex("00") } } << true;
    QTest::newRow("gap and above") << Sections { { 0xF800, QByteArray(0x800, 0) }, { 0x44000, hex("00") } } << true;
    QTest::newRow("first lower byte") << Sections { { 0x6403, hex("00") } } << false;
    QTest::newRow("first section wins") << Sections { { 0x7000, hex("0102") }, { 0x6FFF, hex("AABBCCDD") } } << false;
    QTest::newRow("across the gap") << Sections { { 0xF7F0, QByteArray(0x900, 0x5A) } } << false;
    QTest::newRow("last upper byte") << Sections { { 0x43FFF, hex("1234") } } << false;
}

void tst_MspFlasher::applicationCrc()
{
    QFETCH(Sections, sections);
    QFETCH(bool, erased);

    QSerialPort port;
    Link link(&port);
    QList<sMemory> memory;
    for (const auto& s : sections)
        memory << sMemory { s.first, s.second };
    link.setMemory(memory);
    const int expected = pythonCrc(sections);
    QVERIFY(expected >= 0);
    QCOMPARE(int(link.crc_ccitt()), expected);

    Link empty(&port);
    QCOMPARE(link.crc_ccitt() == empty.crc_ccitt(), erased);
}

QTEST_GUILESS_MAIN(tst_MspFlasher)
#include "tst_MspFlasher.moc"
