#include "MspFlasher/MspFlashRun.h"
#include "PanelSimulator.h"

#include <QSerialPort>
#include <QtTest>

// The flashing run without any window, as a command-line tool drives it.
class tst_MspFlashRun : public QObject
{
    Q_OBJECT

private slots:
    void stops_data();
    void stops();
    void destroyedWhileWriting();
};

namespace {

// 100 packets of 16 bytes.
const QList<sMemory> image { { 0x6403, QByteArray(1600, 0x5A) } };

SerialPortSettings settingsFor(const PanelSimulator& sim)
{
    SerialPortSettings settings;
    settings.name = sim.devicePath();
    return settings;
}

int packetsSeen(PanelSimulator& sim)
{
    // Anything sent after the end would have shown by now.
    QTest::qWait(200);
    return sim.lines().filter(QRegularExpression("^PACKET ")).size();
}

} // namespace

void tst_MspFlashRun::stops_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("at"); // the packet the simulator has seen when the run is told to stop
    QTest::addColumn<QString>("where"); // the lines between the entry byte and closing the port
    QTest::addColumn<int>("packets"); // seen by the simulator, besides the data packets of the line

    QTest::newRow("between steps") << QStringList { "--slow-at", "1", "--slow-ms", "500" } << 1
                                   << "Verify device\nStopped before Erase device" << 1;
    QTest::newRow("between packets") << QStringList { "--slow-ms", "20" } << 8
                                     << "Verify device\nErase device\nWrite application code\n"
                                        "Stopped after (\\d+) of 100 packets\nCannot flash device!"
                                     << 2;
}

void tst_MspFlashRun::stops()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, at);
    QFETCH(QString, where);
    QFETCH(int, packets);

    PanelSimulator sim;
    QVERIFY(sim.start(arguments));
    const QString port = QSerialPort(sim.devicePath()).portName();
    MspFlashRun run;
    QStringList lines;
    bool inOwnThread = true;
    connect(&run, &MspFlashRun::line, this, [&](const QString& text) {
        lines << text;
        inOwnThread = inOwnThread && QThread::currentThread() == thread();
    });
    QSignalSpy finished(&run, &MspFlashRun::finished);

    QVERIFY(!MspFlashRun::isPortInUse(port));
    QVERIFY(run.start(settingsFor(sim), QByteArray(1, 0x04), image));
    QVERIFY(!run.start(settingsFor(sim), QByteArray(1, 0x04), image)); // one run at a time
    QVERIFY(sim.waitForLine(QStringLiteral("PACKET %1 ").arg(at)));
    // Either form of the name.
    QVERIFY(MspFlashRun::isPortInUse(port) && MspFlashRun::isPortInUse(sim.devicePath()));
    run.stop();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(inOwnThread && !run.isRunning() && !MspFlashRun::isPortInUse(port));

    const QRegularExpressionMatch match = QRegularExpression(
        QStringLiteral("^Open serial port %1 \\(57600\\)\nEnter MSP UART flasher\n%2\nClose serial port %1\nFinished$")
            .arg(QRegularExpression::escape(port), where)).match(lines.join('\n'));
    QVERIFY2(match.hasMatch(), qPrintable(lines.join('\n')));
    const int written = match.captured(1).toInt();
    QVERIFY(match.captured(1).isEmpty() || (written >= at - packets && written < 100));
    QCOMPARE(packetsSeen(sim), packets + written);

    QSerialPort again(sim.devicePath());
    QVERIFY2(again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
}

// The run may not outlive its object: deleting it mid-write stops the run and lets go of the port.
void tst_MspFlashRun::destroyedWhileWriting()
{
    PanelSimulator sim;
    QVERIFY(sim.start({ "--slow-ms", "20" }));
    auto* run = new MspFlashRun;
    QVERIFY(run->start(settingsFor(sim), QByteArray(1, 0x04), image));
    QVERIFY(sim.waitForLine("PACKET 5 "));
    delete run;
    QVERIFY(!MspFlashRun::isPortInUse(sim.devicePath()));
    const int packets = packetsSeen(sim);
    QVERIFY(packets >= 5 && packets < 102);
    QVERIFY(!sim.lines().contains("PANEL"));
    QSerialPort again(sim.devicePath());
    QVERIFY2(again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
}

QTEST_GUILESS_MAIN(tst_MspFlashRun)
#include "tst_MspFlashRun.moc"
