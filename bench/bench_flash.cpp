// Flashes a 64 KiB image into the simulated controller and prints the packet rate.

#include "MspFlasher/MspFlashRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
#ifndef PANELSIM_PATH
    std::printf("panelsim was not built\n");
    return 1;
#else
    // Its output is read by the event loop below; a full pipe would stall its answers.
    QProcess sim;
    sim.start(QStringLiteral(PANELSIM_PATH), QStringList());
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
        std::printf("panelsim did not start\n");
        return 1;
    }
    SerialPortSettings settings;
    settings.name = QString::fromLocal8Bit(sim.readLine()).trimmed();

    QString text;
    QTextStream out(&text);
    out << "@10000\n";
    quint32 x = 1;
    for (int i = 0; i < 65536; ++i) {
        x = x * 1664525u + 1013904223u;
        out << QString::number(x >> 24, 16).rightJustified(2, QLatin1Char('0')) << (i % 16 == 15 ? '\n' : ' ');
    }
    out << "q\n";
    QTextStream in(&text);
    TiTxtReader reader;
    if (!reader.read(in)) {
        std::printf("image not read\n");
        return 1;
    }

    MspFlashRun run;
    // One progress signal per data packet plus the opening progress(0): as many
    // as packets sent, counting the CRC packet.
    int packets = 0;
    QObject::connect(&run, &MspFlashRun::progress, [&](int) { ++packets; });
    QElapsedTimer timer;
    double seconds = 0;
    QObject::connect(&run, &MspFlashRun::line, [&](const QString& line) {
        if (line == QLatin1String("Write application code"))
            timer.start();
        else if (line == QLatin1String("Jump to the application") || line == QLatin1String("Cannot flash device!"))
            seconds = double(timer.nsecsElapsed()) / 1e9;
    });
    bool ok = false;
    QObject::connect(&run, &MspFlashRun::finished, [&](bool result) {
        ok = result;
        app.quit();
    });
    run.start(settings, QByteArray(1, 0x04), reader.memory());
    app.exec();
    sim.terminate();
    sim.waitForFinished();

    if (seconds <= 0) {
        std::printf("boot loader did not answer\n");
        return 1;
    }
    std::printf("flash %s: %d packets (65536 bytes + CRC) in %.2f s, %.0f packets/s, %.1f KiB/s\n",
                ok ? "ok" : "FAILED", packets, seconds, packets / seconds, 64.0 / seconds);
    return ok ? 0 : 1;
#endif
}
