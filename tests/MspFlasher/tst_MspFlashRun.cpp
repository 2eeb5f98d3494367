#include "MspFlasher/MspFlashRun.h"
#include "DataColumns.h"
#include "PanelSimulator.h"

#include <QSerialPort>
#include <QtTest>

#include <memory>

namespace {

// 100 packets of 16 bytes.
const QList<sMemory> image { { 0x6403, QByteArray(1600, 0x5A) } };

int packetsSeen(PanelSimulator& sim)
{
    // Anything sent after the end would have shown by now.
    QTest::qWait(200);
    return sim.lines().filter(QRegularExpression("^PACKET ")).size();
}

} // namespace

// The flashing run without any window, as a command-line tool drives it.
class tst_MspFlashRun : public QObject
{
    Q_OBJECT

private slots:
    void stops_data()
    {
        // at: the packet the simulator has seen when the run is told to stop
        // where: the lines between Verify device and closing the port; none: deleted
        // packets: seen by the simulator, besides the data packets of the line
        const auto add = dataColumns<QString, int, QString, int>("arguments", "at", "where", "packets");
        add("between steps", "--slow-at 1 --slow-ms 500", 1, "Stopped before Erase device", 1);
        // Not after the five seconds an answer may take, as a timeout.
        add("waiting for an answer", "--no-answer-at 1", 1,
            "Stopped while waiting for the answer\nInvalid device version!", 1);
        add("between packets", "--slow-ms 20", 8,
            "Erase device\nWrite application code\nStopped after (\\d+) of 100 packets\nCannot flash device!", 2);
        // The run may not outlive its object.
        add("deleted while writing", "--slow-ms 20", 5, QString(), 0);
    }

    void stops()
    {
        const auto [arguments, at, where, packets] =
            fetchColumns<QString, int, QString, int>("arguments", "at", "where", "packets");

        PanelSimulator sim;
        QVERIFY(sim.start(arguments.split(' ')));
        const QString port = QSerialPort(sim.devicePath()).portName();
        const SerialPortSettings settings { sim.devicePath() };
        std::unique_ptr<MspFlashRun> run(new MspFlashRun);
        QStringList lines;
        bool inOwnThread = true;
        connect(run.get(), &MspFlashRun::line, this, [&](const QString& text) {
            lines << text;
            inOwnThread = inOwnThread && QThread::currentThread() == thread();
        });
        QSignalSpy finished(run.get(), &MspFlashRun::finished);

        QVERIFY(run->start(settings, QByteArray(1, 0x04), image));
        QVERIFY(!run->start(settings, QByteArray(1, 0x04), image)); // one run at a time
        QVERIFY(sim.waitForLine(QStringLiteral("PACKET %1 ").arg(at)));
        // Any name of it.
        QTemporaryDir dir;
        QVERIFY(QFile::link(sim.devicePath(), dir.filePath("link")));
        QVERIFY(MspFlashRun::isPortInUse(port) && MspFlashRun::isPortInUse(dir.filePath("link")));
        if (where.isNull()) {
            run.reset();
            QVERIFY(!MspFlashRun::isPortInUse(port));
            const int seen = packetsSeen(sim);
            QVERIFY(seen < 2 + 100 && !sim.lines().contains("PANEL"));
        } else {
            run->stop();
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
            QCOMPARE(finished.first().first().toBool(), false);
            QVERIFY(inOwnThread && !run->isRunning() && !MspFlashRun::isPortInUse(port));

            const QString expected = "^Open serial port %1 \\(57600\\)\nEnter MSP UART flasher\nVerify device\n%2\n"
                                     "Close serial port %1\nFinished$";
            const QRegularExpressionMatch match = QRegularExpression(
                expected.arg(QRegularExpression::escape(sim.devicePath()), where)).match(lines.join('\n'));
            QVERIFY2(match.hasMatch(), qPrintable(lines.join('\n')));
            const int written = match.captured(1).toInt();
            QVERIFY(match.captured(1).isEmpty() || written < 100);
            QCOMPARE(packetsSeen(sim), packets + written);
        }
    }
};

QTEST_GUILESS_MAIN(tst_MspFlashRun)
#include "tst_MspFlashRun.moc"
