#include "MspFlasher/MspFlasherDialog.h"
#include "MspFlasher/MspFlasher_FR5994.h"
#include "common/PanelSimulator.h"
#include "common/PythonRunner.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>

// Opens the protected link operations to the tests.
class Link : public MspFlasher_FR5994
{
public:
    using MspFlasher_FR5994::MspFlasher_FR5994;
    using MspFlasher::sendCommand;
    using MspFlasher::sendDataArray;
    using MspFlasher::sendSingleByte;
    void setMemory(const QList<QPair<uint, QByteArray>>& sections)
    {
        m_MemoryData.clear();
        for (const auto& s : sections)
            m_MemoryData << sMemory { s.first, s.second };
    }
};

typedef QList<QPair<uint, QByteArray>> Sections;
Q_DECLARE_METATYPE(Sections)

class tst_MspFlasher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void packets_data();
    void packets();
    void packetLengthLimits();
    void readMemoryFile_data();
    void readMemoryFile();
    void flashPackets_data();
    void flashPackets();
    void applicationCrc_data();
    void applicationCrc();
    void flasherWritesTheImage();
    void flasherFailures_data();
    void flasherFailures();

private:
    QString file(const QString& name) const { return m_Dir.filePath(name); }

    QTemporaryDir m_Dir;
    int m_DataPackets = 0;
};

static QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

static QByteArray tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        QTest::qFail(qPrintable(program + " failed: " + process.readAllStandardError()), __FILE__, __LINE__);
    return process.readAllStandardOutput();
}

// Starts the simulator and puts its boot loader in charge with the flasher's entry byte.
static bool startBootLoader(PanelSimulator& sim, QSerialPort& port, Link& link, const QStringList& arguments)
{
    if (!sim.start(arguments))
        return false;
    port.setPortName(sim.devicePath());
    if (!port.open(QIODevice::ReadWrite))
        return false;
    link.sendSingleByte(0x04);
    return sim.waitForLine("BOOT BYTE");
}

static QStringList runFlasher(MspFlasherDialog& dialog)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>("flash"), Qt::LeftButton);
    QStringList lines = dialog.findChild<QPlainTextEdit*>("report")->toPlainText().split('\n');
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (!button->isEnabled())
            lines << button->objectName() + " left disabled";
    }
    return lines;
}

void tst_MspFlasher::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    // Random parts in both CRC ranges and one outside them (the reset vectors).
    tool("srec_cat", { "-generate", "0x6403", "0x665B", "-random", "-generate", "0x10000", "0x1012C", "-random",
                       "-generate", "0xFF80", "0xFF94", "-random", "-o", file("firmware.txt"), "-ti-txt" });
    m_DataPackets = (600 + 15) / 16 + (300 + 15) / 16 + (20 + 15) / 16;
    const QList<QPair<QString, QByteArray>> others { { "malformed.txt", "@6403\n01 02 ZZ\nq\n" },
                                                     { "outside.txt", "@44000\n01 02\nq\n" } };
    for (const auto& other : others) {
        QFile f(file(other.first));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(other.second) == other.second.size());
    }
}

void tst_MspFlasher::packets_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("command"); // -1: data packet
    QTest::addColumn<uint>("address");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("answer");

    QTest::newRow("version") << QStringList() << 0x19 << 0u << hex("800119E862") << 0xA1;
    QTest::newRow("jump needs no answer") << QStringList { "--no-answer-at", "1" } << 0x1C << 0u << hex("80011C4D32")
                                          << 0x00;
    QTest::newRow("data, address top byte not sent") << QStringList() << -1 << 0xFF012345u
                                                     << hex("800610452301AABB0C59") << 0x00;
    QTest::newRow("last byte of one read counts")
        << QStringList { "--error-at", "1", "--error-code", "51", "--split-at", "1", "--split-byte", "00",
                         "--split-ms", "0" }
        << 0x19 << 0u << hex("800119E862") << 0x51;
}

void tst_MspFlasher::packets()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, command);
    QFETCH(uint, address);
    QFETCH(QByteArray, wire);
    QFETCH(int, answer);

    PanelSimulator sim;
    QSerialPort port;
    Link link(&port);
    QVERIFY(startBootLoader(sim, port, link, arguments << "--raw"));
    const uint8_t data[] = { 0xAA, 0xBB };
    const char result = command >= 0 ? link.sendCommand(uint8_t(command)) : link.sendDataArray(address, data, 2);
    QCOMPARE(int(uint8_t(result)), answer);
    QVERIFY(QTest::qWaitFor([&] { return sim.received().size() >= 1 + wire.size(); }, 5000));
    QCOMPARE(sim.received().toHex(' '), (QByteArray(1, 0x04) + wire).toHex(' '));
}

void tst_MspFlasher::packetLengthLimits()
{
    PanelSimulator sim;
    QSerialPort port;
    Link link(&port);
    QVERIFY(startBootLoader(sim, port, link, { "--raw" }));
    const QByteArray big(252, char(0x11));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(big.constData());
    QCOMPARE(int(link.sendDataArray(0x4400, bytes, 0)), -1);
    QCOMPARE(int(link.sendDataArray(0x4400, bytes, 252)), -1);
    QTest::qWait(100);
    QCOMPARE(sim.received(), QByteArray(1, 0x04));

    // The largest packet still fits its length byte; the boot loader then objects to its size.
    QCOMPARE(int(link.sendDataArray(0x4400, bytes, 251)), 0x54);
    QVERIFY(QTest::qWaitFor([&] { return sim.received().size() >= 1 + 259; }, 5000));
    QCOMPARE(sim.received().mid(1, 6), hex("80FF10004400"));
}

void tst_MspFlasher::readMemoryFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<Sections>("sections");

    QTest::newRow("two sections, q ends") << "@4400\n31 40 00 24\n@FF80\n00 44\nq\nnot hex\n" << true
                                          << Sections { { 0x4400, hex("31400024") }, { 0xFF80, hex("0044") } };
    QTest::newRow("data before any address") << "01 02\n@10\n03\n" << true
                                             << Sections { { 0, hex("0102") }, { 0x10, hex("03") } };
    QTest::newRow("address without data") << "@10\n@20\nAA\n" << true << Sections { { 0x20, hex("AA") } };
    QTest::newRow("no q, blank lines, CRLF") << "@10\r\n\r\n  01   02 \r\n" << true
                                             << Sections { { 0x10, hex("0102") } };
    QTest::newRow("low byte of a wide token") << "@10\n1FF\n" << true << Sections { { 0x10, hex("FF") } };
    QTest::newRow("last packet address") << "@FFFFFF\n01\n" << true << Sections { { 0xFFFFFF, hex("01") } };
    QTest::newRow("upper-case Q") << "@10\n01\nQ\n" << false << Sections {};
    QTest::newRow("bad token") << "@10\n01 G1\n" << false << Sections {};
    QTest::newRow("address above 32 bits") << "@100000000\n01\n" << false << Sections {};
    QTest::newRow("beyond packet address") << "@FFFFFF\n01 02\n" << false << Sections {};
}

void tst_MspFlasher::readMemoryFile()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(Sections, sections);
    QSerialPort port;
    Link link(&port);
    link.setMemory({ { 0x1234, "old" } });
    QTextStream stream(&text);
    QCOMPARE(link.readMemoryFile(stream), ok);
    Sections read;
    for (const sMemory& m : link.memoryData())
        read << qMakePair(uint(m.address), m.data);
    if (ok)
        QCOMPARE(read, sections);
}

void tst_MspFlasher::flashPackets_data()
{
    QTest::addColumn<Sections>("sections");
    QTest::addColumn<QStringList>("packets");
    QTest::addColumn<QList<int>>("progress");

    QTest::newRow("33 bytes") << Sections { { 0x6403, QByteArray(33, 1) } }
                              << QStringList { "006403 DATA 16", "006413 DATA 16", "006423 DATA 1", "004000 DATA 2" }
                              << QList<int> { 0, 50, 100, 150 };
    // Under 15 bytes there are no whole steps to count in.
    QTest::newRow("tiny image") << Sections { { 0x6403, QByteArray(5, 1) }, { 0x7000, QByteArray(3, 1) } }
                                << QStringList { "006403 DATA 5", "007000 DATA 3", "004000 DATA 2" }
                                << QList<int> { 0, 50, 100 };
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
    link.setMemory(sections);
    QSignalSpy spy(&link, &MspFlasher::progress);
    QVERIFY(link.flashDevice());
    QList<int> values;
    for (const QList<QVariant>& args : qAsConst(spy))
        values << args.at(0).toInt();
    QCOMPARE(values, progress);

    QVERIFY(sim.waitForLine(QString("PACKET %1 ").arg(packets.size())));
    const QRegularExpression packet("^PACKET \\d+ CMD 10 ADDR (\\w+ DATA \\d+) ANSWER 00$");
    QStringList seen;
    for (const QString& line : sim.lines()) {
        const QRegularExpressionMatch m = packet.match(line);
        if (m.hasMatch())
            seen << m.captured(1);
    }
    QCOMPARE(seen, packets);
}

void tst_MspFlasher::applicationCrc_data()
{
    QTest::addColumn<Sections>("sections");
    QTest::newRow("no sections") << Sections {};
    QTest::newRow("just outside both ranges") << Sections { { 0x6402, hex("00") }, { 0xF800, QByteArray(0x800, 0) },
                                                            { 0x44000, hex("00") } };
    QTest::newRow("range ends") << Sections { { 0x6403, hex("00") }, { 0x43FFF, hex("1234") } };
    QTest::newRow("first section wins") << Sections { { 0x7000, hex("0102") }, { 0x6FFF, hex("AABBCCDD") } };
    QTest::newRow("across the gap") << Sections { { 0xF7F0, QByteArray(0x900, 0x5A) } };
}

// Python holds an independent version of the rule: both ranges, 0xFF where no
// section holds an address, the first section that does wins.
void tst_MspFlasher::applicationCrc()
{
    QFETCH(Sections, sections);
    QSerialPort port;
    Link link(&port);
    link.setMemory(sections);
    QStringList list;
    for (const auto& s : sections)
        list << QString("(%1,bytes.fromhex('%2'))").arg(s.first).arg(QString::fromLatin1(s.second.toHex()));
    const QByteArray expected = PythonRunner::run(
        "import binascii,sys\nm=bytearray(b'\\xff'*0x50000)\n"
        "for s,d in reversed([" + list.join(',') + "]): m[s:s+len(d)]=d\n"
        "print(binascii.crc_hqx(bytes(m[0x6403:0xF800]+m[0x10000:0x44000]),0xFFFF))\n", {});
    QCOMPARE(QByteArray::number(link.crc_ccitt()), expected.trimmed());
}

void tst_MspFlasher::flasherWritesTheImage()
{
    PanelSimulator sim;
    // The highest version byte the device may answer.
    QVERIFY(sim.start({ "--memory-out", file("memory.txt"), "--version-byte", "AF" }));
    MspFlasherDialog dialog(sim.devicePath(), QByteArray(1, 0x04), nullptr);
    dialog.findChild<QLineEdit*>("filePath")->setText(file("firmware.txt"));
    // QSerialPort names a port without its /dev/ folder.
    const QString port = QSerialPort(sim.devicePath()).portName();
    QCOMPARE(dialog.findChild<QLabel*>("portLabel")->text(), port + " : 57600");
    const QStringList expected { "Open serial port " + port + " (57600)", "Enter MSP UART flasher", "Verify device",
                                 "Erase device", "Write application code", "Jump to the application",
                                 "Close serial port " + port, "Finished" };
    // The second run meets the jump's stray answer byte in the line.
    for (int run = 1; run <= 2; ++run) {
        QCOMPARE(runFlasher(dialog), expected);
        QCOMPARE(dialog.findChild<QProgressBar*>("progress")->value(), 100);
        QVERIFY(QTest::qWaitFor([&] { return sim.lines().count("PANEL") == run; }, 5000));
    }
    QCOMPARE(sim.lines().filter(QRegularExpression("^PACKET \\d+ CMD 10 .* ANSWER 00$")).size(),
             2 * (m_DataPackets + 1));

    // The device holds exactly the file's bytes, and at 0x4000 the CRC srec_cat computes.
    sim.stop();
    const QString firmware = file("firmware.txt");
    const QByteArray expectedMemory = tool("srec_cat", { firmware, "-ti-txt", "(", firmware, "-ti-txt", "-crop", "0x6403",
        "0xF800", "0x10000", "0x44000", "-fill", "0xFF", "0x6403", "0xF800", "-fill", "0xFF", "0x10000", "0x44000",
        "-crc16-l-e", "0x4000", "-broken", "-crop", "0x4000", "0x4002", ")", "-o", "-", "-ti-txt" });
    QVERIFY(expectedMemory.startsWith("@4000"));
    QCOMPARE(tool("srec_cat", { file("memory.txt"), "-ti-txt", "-o", "-", "-ti-txt" }), expectedMemory);
}

void tst_MspFlasher::flasherFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QStringList>("middle"); // between "Enter MSP UART flasher" and the close line
    QTest::addColumn<int>("packets");        // boot loader packets the simulator saw; -1: up to the CRC

    const QString badVersion = "Invalid device version!";
    const QStringList writing { "Verify device", "Erase device", "Write application code" };
    QTest::newRow("no answer") << QStringList { "--no-answer-at", "1" } << "firmware.txt"
                               << QStringList { "Verify device", "Error: (-1) Timeout", badVersion } << 1;
    QTest::newRow("wrong version") << QStringList { "--version-byte", "9F" } << "firmware.txt"
                                   << QStringList { "Verify device", "Error: (-61) unknown", badVersion } << 1;
    QTest::newRow("version answer split")
        << QStringList { "--split-at", "1", "--split-byte", "00", "--split-ms", "1000" } << "firmware.txt"
        << QStringList { "Verify device", "Error: (0) unknown", badVersion } << 1;
    QTest::newRow("erase refused") << QStringList { "--error-at", "2", "--error-code", "51" } << "firmware.txt"
                                   << QStringList { "Verify device", "Erase device", "Error: (51) Incorrect header",
                                                    "Cannot erase device!" } << 2;
    QTest::newRow("data packet checksum") << QStringList { "--error-at", "3" } << "firmware.txt"
        << writing + QStringList { "Error: (52) Packet checksum error", "Cannot flash device!" } << 3;
    QTest::newRow("crc packet refused") << QStringList { "--error-at", "CRC", "--error-code", "54" } << "firmware.txt"
        << writing + QStringList { "Error: (54) Packet size is invalid", "Cannot flash device!" } << -1;
    QTest::newRow("address outside the device") << QStringList() << "outside.txt"
        << writing + QStringList { "Error: (-3b) unknown", "Cannot flash device!" } << 3;
    QTest::newRow("line dropped") << QStringList { "--drop-after", "2" } << "firmware.txt"
        << writing + QStringList { "Error: (-1) Timeout", "Cannot flash device!" } << 2;
    QTest::newRow("missing file") << QStringList() << "missing.txt"
                                  << QStringList { "Device application code file not present!" } << 0;
    QTest::newRow("malformed file") << QStringList() << "malformed.txt"
                                    << QStringList { "Invalid device application code file!" } << 0;
}

void tst_MspFlasher::flasherFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, firmware);
    QFETCH(QStringList, middle);
    QFETCH(int, packets);
    const int crcPacket = 2 + m_DataPackets + 1;
    arguments.replaceInStrings("CRC", QString::number(crcPacket));

    PanelSimulator sim;
    QVERIFY(sim.start(arguments));
    MspFlasherDialog dialog(sim.devicePath(), QByteArray(1, 0x04), nullptr);
    dialog.findChild<QLineEdit*>("filePath")->setText(file(firmware));
    const QString port = QSerialPort(sim.devicePath()).portName();
    QCOMPARE(runFlasher(dialog), QStringList({ "Open serial port " + port + " (57600)", "Enter MSP UART flasher" })
                                     + middle + QStringList({ "Close serial port " + port, "Finished" }));
    QVERIFY(sim.waitForLine("BOOT BYTE"));
    QTest::qWait(50);
    QCOMPARE(sim.lines().filter(QRegularExpression("^PACKET ")).size(), packets < 0 ? crcPacket : packets);

    // The window let go of the port: it opens again from here.
    QSerialPort again(sim.devicePath());
    QVERIFY2(!sim.isRunning() || again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
}

QTEST_MAIN(tst_MspFlasher)
#include "tst_MspFlasher.moc"
