#include "MspFlasher/MspFlasherDialog.h"
#include "common/ModalAnswer.h"
#include "common/PanelSimulator.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>

class tst_MspFlasherDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void successfulRunsWriteTheImage();
    void failures_data();
    void failures();
    void closeIsRefusedWhileBusy();
    void selectFile();
    void portSettings();

private:
    QString file(const QString& name) const { return m_Dir.filePath(name); }
    bool tool(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);
    QStringList reportLines(MspFlasherDialog& dialog);
    void verifyIdle(MspFlasherDialog& dialog);
    QString flashCrcExpected();

    QTemporaryDir m_Dir;
    int m_DataPackets = 0;
};

static const QByteArray flashCommand(1, 0x04);

bool tst_MspFlasherDialog::tool(const QString& program, const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

void tst_MspFlasherDialog::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    // Random parts in both CRC ranges and one outside them (the reset vectors).
    const int sizes[] = { 600, 300, 20 };
    const char* names[] = { "lower.bin", "upper.bin", "vectors.bin" };
    quint32 x = 2024;
    for (int i = 0; i < 3; ++i) {
        QByteArray data(sizes[i], Qt::Uninitialized);
        for (char& c : data) {
            x = x * 1664525u + 1013904223u;
            c = char(x >> 24);
        }
        QFile f(file(names[i]));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        m_DataPackets += (sizes[i] + 15) / 16;
    }
    QVERIFY(tool("srec_cat", { file("lower.bin"), "-binary", "-offset", "0x6403", file("upper.bin"), "-binary",
                               "-offset", "0x10000", file("vectors.bin"), "-binary", "-offset", "0xFF80",
                               "-o", file("firmware.txt"), "-ti-txt" }));

    QFile bad(file("malformed.txt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("@6403\n01 02 ZZ\nq\n");
    QFile outside(file("outside.txt"));
    QVERIFY(outside.open(QIODevice::WriteOnly));
    outside.write("@44000\n01 02\nq\n");
}

QStringList tst_MspFlasherDialog::reportLines(MspFlasherDialog& dialog)
{
    return dialog.findChild<QPlainTextEdit*>("report")->toPlainText().split('\n');
}

void tst_MspFlasherDialog::verifyIdle(MspFlasherDialog& dialog)
{
    for (const char* name : { "portSettings", "selectFile", "flash" })
        QVERIFY2(dialog.findChild<QPushButton*>(name)->isEnabled(), name);
    QCOMPARE(reportLines(dialog).last(), QString("Finished"));
}

// CRC-16/CCITT-FALSE of both ranges, read back by srec_cat and summed by Python.
QString tst_MspFlasherDialog::flashCrcExpected()
{
    QByteArray out;
    if (!tool("srec_cat", { file("firmware.txt"), "-ti-txt", "-crop", "0x6403", "0xF800", "-fill", "0xFF", "0x6403",
                            "0xF800", "-offset", "-0x6403", "-o", file("lo.bin"), "-binary" })
        || !tool("srec_cat", { file("firmware.txt"), "-ti-txt", "-crop", "0x10000", "0x44000", "-fill", "0xFF",
                               "0x10000", "0x44000", "-offset", "-0x10000", "-o", file("hi.bin"), "-binary" })
        || !tool("python3", { "-c", "import binascii,sys;d=open(sys.argv[1],'rb').read()+open(sys.argv[2],'rb').read();"
                                    "c=binascii.crc_hqx(d,0xFFFF);print('%02X %02X'%(c&0xFF,c>>8))",
                              file("lo.bin"), file("hi.bin") }, &out))
        return QString();
    return QString::fromLatin1(out.trimmed());
}

void tst_MspFlasherDialog::successfulRunsWriteTheImage()
{
    PanelSimulator sim;
    QVERIFY(sim.start({ "--memory-out", file("memory.txt") }));
    MspFlasherDialog dialog(sim.devicePath(), flashCommand, nullptr);
    dialog.findChild<QLineEdit*>("filePath")->setText(file("firmware.txt"));
    // QSerialPort names a port without its /dev/ folder.
    const QString port = QSerialPort(sim.devicePath()).portName();
    QCOMPARE(dialog.findChild<QLabel*>("portLabel")->text(), port + " : 57600");

    const QStringList expected { "Open serial port " + port + " (57600)", "Enter MSP UART flasher",
                                 "Verify device", "Erase device", "Write application code", "Jump to the application",
                                 "Close serial port " + port, "Finished" };

    // The second run meets the jump's stray answer byte in the line.
    for (int run = 1; run <= 2; ++run) {
        QFile::remove(file("memory.txt"));
        QTest::mouseClick(dialog.findChild<QPushButton*>("flash"), Qt::LeftButton);
        QCOMPARE(reportLines(dialog), expected);
        verifyIdle(dialog);
        QCOMPARE(dialog.findChild<QProgressBar*>("progress")->value(), 100);
        QVERIFY(QTest::qWaitFor([&] { return sim.lines().count("PANEL") == run; }, 5000));
        QVERIFY(QFile::exists(file("memory.txt")));
    }
    QCOMPARE(sim.lines().filter(QRegularExpression("^PACKET \\d+ CMD 10 .* ANSWER 00$")).size(),
             2 * (m_DataPackets + 1));

    // The device holds exactly the file's bytes, plus the CRC at 0x4000.
    QByteArray written, original, crc;
    QVERIFY(tool("srec_cat", { file("memory.txt"), "-ti-txt", "-exclude", "0x4000", "0x4002", "-o", "-", "-ti-txt" },
                 &written));
    QVERIFY(tool("srec_cat", { file("firmware.txt"), "-ti-txt", "-o", "-", "-ti-txt" }, &original));
    QCOMPARE(written, original);
    QVERIFY(tool("srec_cat", { file("memory.txt"), "-ti-txt", "-crop", "0x4000", "0x4002", "-o", "-", "-ti-txt" }, &crc));
    const QString expectedCrc = flashCrcExpected();
    QVERIFY(!expectedCrc.isEmpty());
    QCOMPARE(QString::fromLatin1(crc).split('\n').value(1).trimmed(), expectedCrc);
}

void tst_MspFlasherDialog::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QStringList>("middle");   // between "Enter MSP UART flasher" and the close line
    QTest::addColumn<int>("packets");          // boot loader packets the simulator saw

    const QString badVersion = "Invalid device version!";
    QTest::newRow("no answer") << QStringList { "--no-answer-at", "1" } << "firmware.txt"
                               << QStringList { "Verify device", "Error: (-1) Timeout", badVersion } << 1;
    QTest::newRow("wrong version") << QStringList { "--version-byte", "B0" } << "firmware.txt"
                                   << QStringList { "Verify device", "Error: (-50) unknown", badVersion } << 1;
    QTest::newRow("version answer split") << QStringList { "--split-at", "1", "--split-byte", "00", "--split-ms", "1000" } << "firmware.txt"
                                          << QStringList { "Verify device", "Error: (0) unknown", badVersion } << 1;
    QTest::newRow("erase refused") << QStringList { "--error-at", "2", "--error-code", "53" } << "firmware.txt"
                                   << QStringList { "Verify device", "Erase device", "Error: (53) Packet size is zero",
                                                    "Cannot erase device!" } << 2;
    const QStringList writeFailed { "Verify device", "Erase device", "Write application code" };
    QTest::newRow("data packet checksum") << QStringList { "--error-at", "3" } << "firmware.txt"
                                          << writeFailed + QStringList { "Error: (52) Packet checksum error",
                                                                         "Cannot flash device!" } << 3;
    QTest::newRow("crc packet refused") << QStringList { "--error-at", "CRC", "--error-code", "54" } << "firmware.txt"
                                        << writeFailed + QStringList { "Error: (54) Packet size is invalid",
                                                                       "Cannot flash device!" } << -1;
    QTest::newRow("address outside the device") << QStringList() << "outside.txt"
                                                << writeFailed + QStringList { "Error: (-3b) unknown",
                                                                               "Cannot flash device!" } << 3;
    QTest::newRow("slow answers") << QStringList { "--slow-ms", "20" } << "firmware.txt"
                                  << writeFailed + QStringList { "Jump to the application" } << -1;
    QTest::newRow("missing file") << QStringList() << "missing.txt"
                                  << QStringList { "Device application code file not present!" } << 0;
    QTest::newRow("malformed file") << QStringList() << "malformed.txt"
                                    << QStringList { "Invalid device application code file!" } << 0;
    QTest::newRow("line dropped") << QStringList { "--drop-after", "2" } << "firmware.txt"
                                  << writeFailed + QStringList { "Error: (-1) Timeout", "Cannot flash device!" } << 2;
}

void tst_MspFlasherDialog::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, firmware);
    QFETCH(QStringList, middle);
    QFETCH(int, packets);

    const int crcPacket = 2 + m_DataPackets + 1;
    arguments.replaceInStrings("CRC", QString::number(crcPacket));
    if (packets < 0)
        packets = crcPacket + (middle.last() == "Jump to the application" ? 1 : 0);

    PanelSimulator sim;
    QVERIFY(sim.start(arguments));
    MspFlasherDialog dialog(sim.devicePath(), flashCommand, nullptr);
    dialog.findChild<QLineEdit*>("filePath")->setText(file(firmware));
    QTest::mouseClick(dialog.findChild<QPushButton*>("flash"), Qt::LeftButton);

    const QString port = QSerialPort(sim.devicePath()).portName();
    QStringList expected { "Open serial port " + port + " (57600)", "Enter MSP UART flasher" };
    expected << middle << "Close serial port " + port << "Finished";
    QCOMPARE(reportLines(dialog), expected);
    verifyIdle(dialog);

    QVERIFY(sim.waitForLine("BOOT BYTE"));
    QTest::qWait(50);
    QCOMPARE(sim.lines().filter(QRegularExpression("^PACKET ")).size(), packets);

    // The window let go of the port: it opens again from here.
    if (sim.isRunning()) {
        QSerialPort again(sim.devicePath());
        QVERIFY2(again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
    }
}

void tst_MspFlasherDialog::closeIsRefusedWhileBusy()
{
    PanelSimulator sim;
    QVERIFY(sim.start({ "--slow-ms", "30" }));
    MspFlasherDialog dialog(sim.devicePath(), flashCommand, nullptr);
    QSignalSpy finished(&dialog, &MspFlasherDialog::finished);
    dialog.findChild<QLineEdit*>("filePath")->setText(file("firmware.txt"));
    dialog.show();

    bool closedDuringRun = true;
    bool buttonsDuringRun = true;
    QTimer::singleShot(300, &dialog, [&] {
        buttonsDuringRun = dialog.findChild<QPushButton*>("flash")->isEnabled()
                           || dialog.findChild<QPushButton*>("selectFile")->isEnabled()
                           || dialog.findChild<QPushButton*>("portSettings")->isEnabled();
        closedDuringRun = dialog.close();
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>("flash"), Qt::LeftButton);

    QVERIFY(!closedDuringRun);
    QVERIFY(!buttonsDuringRun);
    QCOMPARE(finished.count(), 0);
    QVERIFY(reportLines(dialog).contains("Jump to the application"));
    QVERIFY(reportLines(dialog).filter("in progress").size() == 1);
    verifyIdle(dialog);
    QVERIFY(dialog.isVisible());

    QVERIFY(dialog.close());
    QCOMPARE(finished.count(), 1);
}

void tst_MspFlasherDialog::selectFile()
{
    MspFlasherDialog dialog(QString(), flashCommand, nullptr);
    QCOMPARE(dialog.findChild<QLabel*>("portLabel")->text(), QString("Select port!"));
    auto* path = dialog.findChild<QLineEdit*>("filePath");
    auto* progress = dialog.findChild<QProgressBar*>("progress");

    // An empty port name fails at once, before anything else.
    QTest::mouseClick(dialog.findChild<QPushButton*>("flash"), Qt::LeftButton);
    QCOMPARE(reportLines(dialog), QStringList({ "Cannot open serial port  (57600)!", "Finished" }));
    verifyIdle(dialog);

    progress->setValue(40);
    ModalAnswer::fileDialog(file("firmware.txt"));
    QTest::mouseClick(dialog.findChild<QPushButton*>("selectFile"), Qt::LeftButton);
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(path->text(), file("firmware.txt"));
    QCOMPARE(progress->value(), 0);

    ModalAnswer::fileDialog(QString());
    QTest::mouseClick(dialog.findChild<QPushButton*>("selectFile"), Qt::LeftButton);
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(path->text(), QString());
}

void tst_MspFlasherDialog::portSettings()
{
    MspFlasherDialog dialog("COM7", flashCommand, nullptr);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("portSettings"), Qt::LeftButton);
    auto* setup = dialog.findChild<QDialog*>();
    QVERIFY(setup && setup->isVisible() && setup->isModal());

    // Whatever the machine offers as its first port is what OK applies.
    const QString name = setup->findChild<QComboBox*>("comboBox_Port")->currentText();
    setup->findChild<QComboBox*>("comboBox_Baudrate")->setEditText("9600");
    QTest::mouseClick(setup->findChild<QPushButton*>("pushButton_OK"), Qt::LeftButton);
    QCOMPARE(dialog.findChild<QLabel*>("portLabel")->text(), name.isEmpty() ? QString("Select port!") : name + " : 9600");
    QTRY_VERIFY(!dialog.findChild<QDialog*>());
}

QTEST_MAIN(tst_MspFlasherDialog)
#include "tst_MspFlasherDialog.moc"
