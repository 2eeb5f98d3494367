// Times the application CRC of the FR5994 sequence for images of few and of many sections.

#include "Helper/CRC.h"
#include "MspFlasher/MspFlasher_FR5994.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTextStream>

#include <cstdio>

static QString image(int sections, int bytesEach, int stride)
{
    QString text;
    QTextStream out(&text);
    quint32 x = 7;
    for (int s = 0; s < sections; ++s) {
        out << '@' << QString::number(0x6403 + s * stride, 16) << '\n';
        for (int i = 0; i < bytesEach; ++i) {
            x = x * 1103515245u + 12345u;
            out << QString::number((x >> 16) & 0xFF, 16).rightJustified(2, QLatin1Char('0'))
                << (i % 16 == 15 ? '\n' : ' ');
        }
        out << '\n';
    }
    out << "q\n";
    return text;
}

// The address-by-address walk through the section list, kept here as the yardstick.
static uint16_t walkedCrc(const QList<sMemory>& sections)
{
    CRC_CCITT crc;
    const uint32_t ranges[2][2] = { { 0x6403, 0xF7FF }, { 0x10000, 0x43FFF } };
    for (const auto& range : ranges) {
        for (uint32_t a = range[0]; a <= range[1]; ++a) {
            uint8_t b = 0xFF;
            for (const sMemory& m : sections) {
                if (m.address <= a && a < m.address + uint32_t(m.data.size())) {
                    b = uint8_t(m.data.at(int(a - m.address)));
                    break;
                }
            }
            crc.add(b);
        }
    }
    return crc.crc();
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QSerialPort port;

    std::printf("%-10s %-12s %-14s %-14s %s\n", "sections", "image bytes", "crc_ccitt ms", "walk ms", "crc");
    for (int sections : { 1, 100, 1000, 10000 }) {
        MspFlasher_FR5994 flasher(&port);
        const int bytesEach = sections == 1 ? 60000 : 16;
        QString text = image(sections, bytesEach, sections == 1 ? 0 : 20);
        QTextStream in(&text);
        if (!flasher.readMemoryFile(in)) {
            std::printf("image could not be read\n");
            return 1;
        }

        const int rounds = 20;
        QElapsedTimer timer;
        timer.start();
        uint16_t crc = 0;
        for (int i = 0; i < rounds; ++i)
            crc = flasher.crc_ccitt();
        const double fast = double(timer.nsecsElapsed()) / rounds / 1e6;

        // The walk costs sections x 250877 look-ups; past 1000 sections it runs for minutes.
        QString walk = QStringLiteral("-");
        if (sections <= 1000) {
            timer.restart();
            const uint16_t reference = walkedCrc(flasher.memoryData());
            walk = QString::number(double(timer.nsecsElapsed()) / 1e6, 'f', 1);
            if (reference != crc)
                walk += QStringLiteral(" (differs!)");
        }
        std::printf("%-10d %-12d %-14.2f %-14s %04X\n", sections, sections * bytesEach, fast, qPrintable(walk), crc);
    }
    return 0;
}
