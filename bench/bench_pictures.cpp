// Imports a 300-frame 64 × 64 GIF onto a 16 × 16 grid and onto the default
// ring, imports GIFs of one-pixel frames at the import's bounds on screen and
// frames, and renders a 1000-frame ring chase to a 480-pixel GIF; prints the
// times, the GIF's size and the peak memory.
#include "Data/LedPanelModel.h"
#include "Picture/GifWriter.h"
#include "Picture/PanelPictureExport.h"
#include "Picture/PictureImporter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

static long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The machine is shared: processor time says what a run costs when wall time says how busy it was.
static long cpuMilliseconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000L
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000L;
}

// One-pixel frames on a larger screen, which Qt decodes at the screen's size each.
static QByteArray dots(int width, int height, int frames)
{
    const auto word = [](int value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8 & 0xFF); };
    QByteArray gif = "GIF89a" + word(width) + word(height) + QByteArray::fromHex("800000" "000000ffffff");
    for (int f = 0; f < frames; ++f) {
        const int codes = 4 | (f % 2) << 3 | 5 << 6;
        gif += QByteArray::fromHex("21f904000a000000") + ',' + word(f % width) + word(f % height) + word(1) + word(1)
            + '\0' + QByteArray::fromHex("0202") + char(codes & 0xFF) + char(codes >> 8) + '\0';
    }
    return gif + ';';
}

static LedLayout grid16()
{
    QByteArray xml = "<LedPanelDocument version=\"1.0\"><Layout type=\"Rectangle\"><Rows>16</Rows>"
                     "<Columns>16</Columns></Layout></LedPanelDocument>";
    QBuffer buffer(&xml);
    buffer.open(QIODevice::ReadOnly);
    LedPanelModel show;
    if (!show.readXML(&buffer))
        std::fprintf(stderr, "grid not read: %s\n", qPrintable(show.readError()));
    return show.panelLayout();
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.gif"));
    {
        QFile file(source);
        file.open(QIODevice::WriteOnly);
        QVector<QRgb> palette;
        for (int i = 0; i < 16; ++i)
            palette.append(qRgb(i * 17, i * 17, i * 17));
        GifWriter gif(&file, QSize(64, 64), palette);
        gif.begin();
        QImage frame(64, 64, QImage::Format_RGB32);
        for (int f = 0; f < 300; ++f) {
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                    frame.setPixel(x, y, palette.at(((x + f) ^ (y * 3)) % 16));
            gif.addFrame(frame, 4);
        }
        gif.finish();
    }
    std::printf("source GIF: 300 frames of 64 x 64, %lld bytes\n", QFileInfo(source).size());

    PictureImportSettings settings;
    settings.dither = true;
    const struct {
        const char* name;
        LedLayout layout;
    } targets[] = { { "16 x 16 grid", grid16() }, { "default ring (4 x 48)", LedLayout(LedLayout::Ring) } };
    for (const auto& target : targets) {
        QElapsedTimer timer;
        timer.start();
        const long cpu = cpuMilliseconds();
        PictureImporter importer(target.layout, settings);
        const PictureImporter::eStatus status = importer.read(source);
        std::printf("import onto the %s: status %d, %d frames in %lld ms (%ld ms of processor time), "
                    "peak memory %ld KiB\n",
                    target.name, int(status), int(importer.frames().size()), timer.elapsed(),
                    cpuMilliseconds() - cpu, peakKilobytes());
    }

    const struct {
        int side;
        int frames;
    } screens[] = { { 5000, 20 }, { 223, 10000 }, { 10000, 10000 } };
    for (const auto& screen : screens) {
        QByteArray gif = dots(screen.side, screen.side, screen.frames);
        QBuffer buffer(&gif);
        buffer.open(QIODevice::ReadOnly);
        QElapsedTimer timer;
        timer.start();
        const long cpu = cpuMilliseconds();
        PictureImporter importer(LedLayout(LedLayout::Ring), settings);
        const PictureImporter::eStatus status = importer.read(&buffer);
        std::printf("import %d dots on %d x %d (%d bytes): status %d, %d frames in %lld ms (%ld ms of processor "
                    "time), peak memory %ld KiB\n",
                    screen.frames, screen.side, screen.side, int(gif.size()), int(status), int(importer.frames().size()),
                    timer.elapsed(), cpuMilliseconds() - cpu, peakKilobytes());
    }

    const LedLayout ring(LedLayout::Ring);
    QVector<QVector<int>> chase;
    for (int f = 0; f < 1000; ++f) {
        QVector<int> values(int(ring.ledCount()), 0);
        for (int row = 0; row < ring.rows(); ++row)
            values[row * ring.columns() + (f + 5 * row) % ring.columns()] = 1;
        chase.append(values);
    }
    const QString out = dir.filePath(QStringLiteral("chase.gif"));
    QElapsedTimer timer;
    timer.start();
    const long cpu = cpuMilliseconds();
    QString error;
    const bool ok = PanelPictureExport(ring, 480).writeGif(chase.size(), [&chase](int i) { return chase.at(i); },
                                                            25, out, &error);
    std::printf("render 1000 ring frames to a 480-px GIF: %s in %lld ms (%ld ms of processor time), %lld bytes, "
                "peak memory %ld KiB\n",
                ok ? "written" : qPrintable(error), timer.elapsed(), cpuMilliseconds() - cpu, QFileInfo(out).size(),
                peakKilobytes());
    return ok ? 0 : 1;
}
