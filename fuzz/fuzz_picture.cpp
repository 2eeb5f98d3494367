// Feeds arbitrary bytes to the picture import: the GIF and JPEG scanners, then
// the decoding and the sampling onto a grid and onto a ring. The first byte
// picks the settings: the fit in bits 0-1, dithering in bit 2, inverting in
// bit 3, keeping an animation's timing in bit 4.
#include "Data/LedLayout.h"
#include "Picture/GifScanner.h"
#include "Picture/PictureImporter.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImageReader>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), int(size - 1));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);

    PictureImportSettings settings;
    settings.fit = PictureImportSettings::eFit(data[0] % 3);
    settings.dither = data[0] & 0x04;
    settings.invert = data[0] & 0x08;
    settings.keepTiming = data[0] & 0x10;

    // The import's own limits allow seconds of decoding; a fuzzing run cannot wait for them.
    GifScanner scan;
    scan.scan(&input);
    input.seek(0);
    const QSize canvas = scan.canvasSize().expandedTo(QImageReader(&input).size());
    input.seek(0);
    if (qint64(canvas.width()) * canvas.height() * qMax(1, scan.frameCount()) > 1 << 22)
        return 0;

    const LedLayout layouts[] = { LedLayout::create(LedLayout::Rectangle, 4, 8), LedLayout(LedLayout::Ring) };
    for (const LedLayout& layout : layouts) {
        PictureImporter importer(layout, settings);
        const PictureImporter::eStatus status = importer.read(&input, 1 << 20);
        for (const QVector<int>& frame : importer.frames()) {
            if (frame.size() != layout.ledCount())
                abort();
        }
        if (importer.frames().size() * layout.ledCount() > 1 << 20)
            abort();
        if ((status == PictureImporter::Ok) != importer.errorText().isEmpty())
            abort();
        input.seek(0);
    }
    return 0;
}
