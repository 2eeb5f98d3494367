// Flashes a 64 KiB image into the simulated controller and prints the packet rate.

#include "MspFlasher/MspFlasher_FR5994.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSerialPort>
#include <QTextStream>
#include <QThread>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
#ifndef PANELSIM_PATH
    std::printf("panelsim was not built\n");
    return 1;
#else
    QProcess sim;
    sim.start(QStringLiteral(PANELSIM_PATH), QStringList());
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
        std::printf("panelsim did not start\n");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    QString text;
    QTextStream out(&text);
    out << "@10000\n";
    quint32 x = 1;
    for (int i = 0; i < 65536; ++i) {
        x = x * 1664525u + 1013904223u;
        out << QString::number(x >> 24, 16) << (i % 16 == 15 ? '\n' : ' ');
    }
    out << "q\n";

    QSerialPort port(device);
    port.setBaudRate(57600);
    if (!port.open(QIODevice::ReadWrite)) {
        std::printf("cannot open %s\n", qPrintable(device));
        return 1;
    }
    port.write(QByteArray(1, 0x04));
    port.flush();
    QThread::msleep(100);

    MspFlasher_FR5994 flasher(&port);
    QTextStream in(&text);
    // One progress signal per data packet plus the opening progress(0): as many
    // as packets sent, counting the CRC packet.
    int packets = 0;
    QObject::connect(&flasher, &MspFlasher::progress, [&](int) { ++packets; });
    if (!flasher.readMemoryFile(in) || !flasher.verifyDevice() || !flasher.eraseDevice()) {
        std::printf("boot loader did not answer\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    const bool ok = flasher.flashDevice();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    flasher.jumpToApplication();
    port.close();
    sim.terminate();
    sim.waitForFinished();

    std::printf("flash %s: %d packets (65536 bytes + CRC) in %.2f s, %.0f packets/s, %.1f KiB/s\n",
                ok ? "ok" : "FAILED", packets, seconds, packets / seconds, 64.0 / seconds);
    return ok ? 0 : 1;
#endif
}
