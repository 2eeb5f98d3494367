#include "MspFlasher/MspFlasherDialog.h"
#include "MspFlasher/MspFlasher_FR5994.h"
#include "common/DataColumns.h"
#include "common/ModalAnswer.h"
#include "common/PanelSimulator.h"
#include "common/TestData.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>

// Opens the protected link operations to the tests.
struct Link : MspFlasher_FR5994
{
    using MspFlasher_FR5994::MspFlasher_FR5994;
    using MspFlasher::sendDataArray;
};

static bool clicking = false;

// Runs the flasher to its end: its report, then any button enabled while running or disabled after.
static QStringList runFlasher(MspFlasherDialog& dialog, const QString& firmware)
{
    dialog.findChild<QLineEdit*>("filePath")->setText(firmware);
    clicking = true;
    QTest::mouseClick(dialog.findChild<QPushButton*>("flash"), Qt::LeftButton);
    clicking = false;
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    QStringList faults;
    for (QPushButton* button : buttons) {
        // A file refused before the run leaves nothing running.
        if (button->isEnabled() && dialog.isFlashing())
            faults << button->objectName() + " enabled while running";
    }
    if (!QTest::qWaitFor([&] { return !dialog.isFlashing(); }, 60000))
        faults << "still running";
    for (QPushButton* button : buttons) {
        if (!button->isEnabled())
            faults << button->objectName() + " left disabled";
    }
    return dialog.findChild<QPlainTextEdit*>("report")->toPlainText().split('\n') + faults;
}

// The report a run should give: the middle lines between those of opening and closing the port, which is
// named by its full path, as the port dialog shows it.
static QStringList report(const QString& port, const QStringList& middle)
{
    return QStringList { "Open serial port " + port + " (57600)", "Enter MSP UART flasher" } + middle
        + QStringList { "Close serial port " + port, "Finished" };
}

static const QStringList steps { "Verify device", "Erase device", "Write application code" };
static const QStringList jump { "Jump to the application" };

class tst_MspFlasher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_Dir.isValid());
        // Random parts over both ends of the first CRC range, outside both, and up to the end
        // of the second: srec_cat checks the CRC over them. 62 packets of up to 16 bytes.
        runProgram("srec_cat",
                   { "-generate", "0x6400",  "0x665B",  "-random", "-generate", "0xF7F0",          "0xF810",  "-random",
                     "-generate", "0xFF00",  "0xFF14",  "-random", "-generate", "0x10000",         "0x1012C", "-random",
                     "-generate", "0x43FF0", "0x44000", "-random", "-o",        file("clean.txt"), "-ti-txt" });
        m_DataPackets = 38 + 2 + 2 + 19 + 1;
        const QByteArray clean = fileContents(file("clean.txt"));
        QVERIFY(!clean.isEmpty());
        // The flasher reads it with an address without data, blank lines, runs of blanks, lower case, CRLF,
        // and blank lines after the q.
        QByteArray text
            = "@6000\n" + QByteArray(clean).replace("\n@", "\n\n@").replace(" ", " \t ").toLower() + "  \n\n";
        // Tiny images still count their progress up to 100.
        const QList<QPair<QString, QByteArray>> files { { "firmware.txt", text.replace("\n", "\r\n") },
                                                        { "tiny.txt", "@6403\n01 02 03 04 05\n@7000\n01 02 03\nq\n" },
                                                        { "low.txt", "@1800\n01 02\n@6403\n03\nq\n" },
                                                        { "malformed.txt", "@6403\n\n01 02\n\n01 ZZ\nq\n" },
                                                        { "vectors.txt", "@6403\n01\n@FF80\n00 44\nq\n" } };
        for (const auto& f : files)
            QVERIFY(writeFile(file(f.first), f.second));
    }

    // The run waits for answers away from the window: the click returns at once, and the window's timer fires
    // while the boot loader takes a second over the version answer. Escape, like Close, acts only when idle.
    void flasherWritesTheImage()
    {
        PanelSimulator sim;
        // The highest version byte the device may answer.
        QVERIFY(sim.start({ "--memory-out", file("memory.txt"), "--version-byte", "AF", "--slow-at", "1", "--slow-ms",
                            "1000" }));
        MspFlasherDialog dialog(sim.devicePath(), QByteArray(1, 0x04), nullptr);
        QSignalSpy finished(&dialog, &MspFlasherDialog::finished);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        int ticksInClick = 0, ticksWhileVerifying = 0;
        bool keptOpen = true, staleBar = false;
        QTimer beat(&dialog);
        connect(&beat, &QTimer::timeout, [&] {
            ticksInClick += clicking;
            if (!dialog.findChild<QPlainTextEdit*>("report")->toPlainText().endsWith("Verify device"))
                return;
            ++ticksWhileVerifying;
            QTest::keyClick(&dialog, Qt::Key_Escape);
            // The path field must not swap the run's report for a file summary.
            QTest::keyClick(dialog.findChild<QLineEdit*>("filePath"), Qt::Key_Return);
            keptOpen = keptOpen && dialog.isVisible();
            // A run starts from an empty bar, not the last run's full one.
            staleBar = staleBar || dialog.findChild<QProgressBar*>("progress")->value() != 0;
        });
        beat.start(100);
        // The second run meets the jump's stray answer byte in the line; its erase drops the tiny image.
        for (const QString& image : { file("tiny.txt"), file("firmware.txt") }) {
            QCOMPARE(runFlasher(dialog, image), report(sim.devicePath(), steps + jump));
            QCOMPARE(dialog.findChild<QProgressBar*>("progress")->value(), 100);
        }
        QCOMPARE(ticksInClick, 0);
        QVERIFY2(ticksWhileVerifying >= 10, qPrintable(QString::number(ticksWhileVerifying)));
        QVERIFY(keptOpen && !staleBar && finished.isEmpty());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible() && finished.count() == 1);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton*>("pushButton_Close"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible() && finished.count() == 2);
        QVERIFY(QTest::qWaitFor([&] { return sim.lines().count("PANEL") == 2; }, 5000));
        QCOMPARE(sim.lines().filter(QRegularExpression("^PACKET \\d+ CMD 10 .* ANSWER 00$")).size(),
                 2 + 1 + m_DataPackets + 1);

        sim.stop();
        QCOMPARE(tiTxt(file("memory.txt")), flashedMemory(file("clean.txt")));
    }

    // Refused before it reaches a boot loader that would answer it.
    void emptyPacketRefused()
    {
        PanelSimulator sim;
        QVERIFY(sim.start());
        QSerialPort port(sim.devicePath());
        QVERIFY(port.open(QIODevice::ReadWrite));
        Link link(&port);
        port.write("\x04", 1);
        QVERIFY(sim.waitForLine("BOOT BYTE"));
        QCOMPARE(int(link.sendDataArray(0x4400, reinterpret_cast<const uint8_t*>("\x11"), 0)), -1);
    }

    void flasherFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<int>("step"); // of verify, erase and write, the one that fails; 0: none begins
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("packets"); // boot loader packets the simulator saw; -1: up to the CRC

        // The file's lines with a second one that names the line at fault.
        const QString fw = "firmware.txt", invalid = "Invalid device application code file!\nLine ";
        QTest::newRow("no answer") << QStringList { "--no-answer-at", "1" } << fw << 1 << "Error: (-1) Timeout" << 1;
        // Both answer bytes come in one read: the last counts.
        QTest::newRow("erase refused") << QStringList { "--error-at", "2", "--error-code", "51", "--split-at", "2",
                                                        "--split-byte", "00", "--split-ms", "0" }
                                       << fw << 2 << "Error: (51) Incorrect header" << 2;
        QTest::newRow("crc packet refused") << QStringList { "--error-at", "CRC", "--error-code", "54" } << fw << 3
                                            << "Error: (54) Packet size is invalid" << -1;
        QTest::newRow("answer outside the list") << QStringList { "--version-byte", "C5" } << fw << 1
                                                 << "Error: unknown answer 0xC5" << 1;
        const QStringList none;
        // Blank lines count.
        QTest::newRow("bad token")
            << none << "malformed.txt" << 0 << invalid + "5: \"ZZ\" is not a byte of two hexadecimal digits" << 0;
        QTest::newRow("missing file") << none << "missing.txt" << 0 << "Device application code file not present!" << 0;
        // Said as such, not as what the system makes of an empty name.
        QTest::newRow("no port chosen") << QStringList { "NOPORT" } << fw << 0
                                        << "Cannot open serial port  (57600)!\nNo serial port is chosen.\nFinished"
                                        << 0;
        QTest::newRow("port in use")
            << QStringList { "HELD" } << fw << 0
            << "Cannot open serial port %1 (57600)!\n%1 is in use by another program or window.\n"
               "Finished"
            << 0;
        // The board goes once it has answered the erase: no answer can come, at once.
        QTest::newRow("line gone") << QStringList { "--drop-after", "2" } << fw << 3
                                   << "Error: (-1) No answer: the line to the board failed" << 2;
    }

    void flasherFailures()
    {
        auto [arguments, firmware, step, error, packets] =
            fetchColumns<QStringList, QString, int, QString, int>("arguments", "firmware", "step", "error", "packets");
        const int crcPacket = 2 + m_DataPackets + 1;
        arguments.replaceInStrings("CRC", QString::number(crcPacket));

        PanelSimulator sim;
        const bool noPort = arguments.removeAll("NOPORT") > 0, held = arguments.removeAll("HELD") > 0;
        QVERIFY(sim.start(arguments << "--raw"));
        // One device under two names is one port: the window names it by a link here.
        const QString port = noPort ? QString() : held ? file("link") : sim.devicePath();
        QSerialPort holder(sim.devicePath());
        QVERIFY(!held || (QFile::link(sim.devicePath(), port) && holder.open(QIODevice::ReadWrite)));
        MspFlasherDialog dialog(port, QByteArray(1, 0x04), nullptr);
        const QStringList failed { "Invalid device version!", "Cannot erase device!", "Cannot flash device!" };
        // A file at fault is read before any port is opened, and the refusal is the last line.
        QCOMPARE(runFlasher(dialog, file(firmware)),
                 step == 0
                     ? QString(error).replace("%1", port).split('\n')
                     : report(sim.devicePath(), steps.mid(0, step) + error.split('\n') + failed.mid(step - 1, 1)));
        holder.close();
        if (step == 0) {
            QByteArray received;
            QVERIFY(sim.receivedSoFar(&received));
            QCOMPARE(received.toHex(' '), QByteArray());
            return;
        }
        QVERIFY(sim.waitForLine("BOOT BYTE"));
        QTest::qWait(50);
        QCOMPARE(sim.lines().filter(QRegularExpression("^BOOT BYTE")).size(), 1);
        QCOMPARE(sim.lines().filter(QRegularExpression("^PACKET ")).size(), packets < 0 ? crcPacket : packets);

        // The window let go of the port: it opens again from here.
        QSerialPort again(sim.devicePath());
        QVERIFY2(!sim.isRunning() || again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
    }

    void protectedBytes_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("yes");

        const QString vectors = "2 bytes on FF80-FFFF, the device's vectors and security signatures: they can lock it";
        QTest::newRow("vectors, no") << "vectors.txt" << vectors << false;
        QTest::newRow("below application memory, no") << "low.txt" << "2 bytes below 4000, outside application memory"
                                                      << false;
        QTest::newRow("vectors, yes") << "vectors.txt" << vectors << true;
    }

    // Bytes that can lock the device are written only when the user says Yes; No sends the board nothing.
    void protectedBytes()
    {
        const auto [firmware, where, yes] = fetchColumns<QString, QString, bool>("firmware", "where", "yes");

        PanelSimulator sim;
        QVERIFY(sim.start({ "--raw" }));
        MspFlasherDialog dialog(sim.devicePath(), QByteArray(1, 0x04), nullptr);
        // Choosing the file shows what it would write.
        ModalAnswer::fileDialog(file(firmware));
        QTest::mouseClick(dialog.findChild<QPushButton*>("selectFile"), Qt::LeftButton);
        QVERIFY(ModalAnswer::allAnswered());
        const QStringList summary = dialog.findChild<QPlainTextEdit*>("report")->toPlainText().split('\n');
        QVERIFY2(summary.first().contains(QRegularExpression("^2 sections, 3 bytes, application CRC 0x[0-9A-F]{4}$"))
                     && summary.last() == where,
                 qPrintable(summary.join('\n')));

        QString question;
        ModalAnswer::messageBox(yes ? QMessageBox::Yes : QMessageBox::No, &question);
        const QStringList lines = runFlasher(dialog, file(firmware));
        QVERIFY2(question.contains(where), qPrintable(question));
        if (yes) {
            QCOMPARE(lines, report(sim.devicePath(), steps + jump));
            return;
        }
        QCOMPARE(lines, QStringList({ where, "Not flashed: the protected bytes were not confirmed!" }));
        QByteArray received;
        QVERIFY(sim.receivedSoFar(&received));
        QCOMPARE(received.toHex(' '), QByteArray());
        // Choosing cancelled: no file, and no file said to be missing.
        ModalAnswer::fileDialog(QString());
        QTest::mouseClick(dialog.findChild<QPushButton*>("selectFile"), Qt::LeftButton);
        QCOMPARE(dialog.findChild<QLineEdit*>("filePath")->text(), QString());
        QCOMPARE(dialog.findChild<QPlainTextEdit*>("report")->toPlainText(), QString());
    }

private:
    QString file(const QString& name) const { return m_Dir.filePath(name); }

    QTemporaryDir m_Dir;
    int m_DataPackets = 0;
};

QTEST_MAIN(tst_MspFlasher)
#include "tst_MspFlasher.moc"
