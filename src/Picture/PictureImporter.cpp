#include "Picture/PictureImporter.h"

#include "Picture/GifScanner.h"
#include "Picture/JpegScanner.h"
#include "Picture/LedCellSampler.h"
#include "Picture/LedQuantizer.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <memory>

namespace {

// A frame that gives no delay is shown as long as browsers show it.
constexpr int DefaultDelay = 100;

qint64 framesAt(qint64 milliseconds, int framesPerSecond)
{
    return (milliseconds * framesPerSecond + 500) / 1000;
}

// Only the four formats offered: whatever else Qt's plugins decode is no picture for a panel.
bool isImportable(const QByteArray& format)
{
    static const QList<QByteArray> formats { "png", "jpeg", "bmp", "gif" };
    return formats.contains(format);
}

// Where a BMP's pixels end, counted from its first byte, as its headers give it; -1 where they do not tell.
qint64 bmpPixelsEnd(QIODevice* device)
{
    const QByteArray head = device->peek(54);
    if (head.size() < 54)
        return -1;
    const auto at = [&head](int offset) { return qFromLittleEndian<quint32>(head.constData() + offset); };
    // The old OS/2 header is shorter and has other fields.
    if (at(14) < 40)
        return -1;
    const qint64 width = qAbs(qint64(qint32(at(18))));
    const qint64 height = qAbs(qint64(qint32(at(22))));
    const int bits = qFromLittleEndian<quint16>(head.constData() + 28);
    // Pictures too large or of no depth are refused on their size, or by the reader.
    if (bits > 32 || width * height > PictureImporter::MaxPixels)
        return -1;
    const quint32 compression = at(30);
    // Run-length rows are as long as their runs: only the stated size of the pixels tells.
    if (compression == 1 || compression == 2)
        return at(34) > 0 ? qint64(at(10)) + at(34) : -1;
    if (compression != 0 && compression != 3)
        return -1;
    return qint64(at(10)) + (width * bits + 31) / 32 * 4 * height;
}

} // namespace

PictureImporter::PictureImporter(const LedLayout& layout, const PictureImportSettings& settings)
    : m_Layout(layout)
    , m_Settings(settings)
    , m_PictureFrames(0)
{
}

bool PictureImporter::isPreviewable(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!isImportable(reader.format()))
        return false;
    if (reader.format() != "gif")
        return qint64(size.width()) * size.height() <= MaxPixels;
    file.seek(0);
    GifScanner scan;
    scan.scan(&file);
    // An animation refused for its frames is refused before its preview too.
    const qint64 canvas = qint64(scan.canvasSize().width()) * scan.canvasSize().height();
    return canvas <= MaxGifScreenPixels && scan.frameCount() <= MaxFrames && canvas * scan.frameCount() <= MaxGifPixels;
}

PictureImporter::eStatus PictureImporter::read(const QString& fileName, qint64 ledValueBound)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_Frames.clear();
        m_PictureFrames = 0;
        m_Error = tr("Cannot read %1: %2").arg(QFileInfo(fileName).fileName(), file.errorString());
        return NotAPicture;
    }
    return readFrames(&file, QFileInfo(fileName).fileName(), ledValueBound);
}

PictureImporter::eStatus PictureImporter::read(QIODevice* device, qint64 ledValueBound)
{
    return readFrames(device, tr("The picture"), ledValueBound);
}

PictureImporter::eStatus PictureImporter::readFrames(QIODevice* device, const QString& name, qint64 ledValueBound)
{
    m_Frames.clear();
    m_PictureFrames = 0;
    m_Error.clear();
    // A GIF or a JPEG is scanned before it is decoded, and a pipe goes by only once: it is kept whole first.
    QBuffer piped;
    if (device->isSequential()) {
        QByteArray bytes;
        QByteArray piece(64 * 1024, Qt::Uninitialized);
        qint64 got = 0;
        bool started = false;
        while (bytes.size() <= MaxPipedBytes && (got = device->read(piece.data(), piece.size())) > 0) {
            bytes.append(piece.constData(), int(got));
            // What does not start as a picture is not read on; the longest signature is eight bytes.
            if (!started && bytes.size() >= 16) {
                started = true;
                QBuffer head(&bytes);
                if (head.open(QIODevice::ReadOnly) && !isImportable(QImageReader::imageFormat(&head)))
                    break;
            }
        }
        if (bytes.size() > MaxPipedBytes) {
            m_Error = tr("%1 is larger than the %2 MiB a picture may have to be imported.")
                          .arg(name)
                          .arg(MaxPipedBytes >> 20);
            return TooLarge;
        }
        piped.setData(bytes);
        piped.open(QIODevice::ReadOnly);
        device = &piped;
    }
    const qint64 start = device->pos();
    const QByteArray format = QImageReader::imageFormat(device);
    if (!isImportable(format)) {
        m_Error = tr("%1 is not a picture that can be imported (PNG, JPEG, BMP or GIF).").arg(name);
        return NotAPicture;
    }

    // A GIF's frames are counted, and its end checked, before any is decoded.
    GifScanner scan;
    const bool gif = format == "gif";
    if (gif) {
        scan.scan(device);
        device->seek(start);
        if (scan.frameCount() > MaxFrames) {
            m_Error = tr("%1 has %2 frames, more than the %3 that can be imported.")
                          .arg(name)
                          .arg(scan.frameCount())
                          .arg(MaxFrames);
            return TooManyFrames;
        }
    }

    // A JPEG cut off decodes without an error, its missing part grey.
    JpegScanner jpeg;
    const bool jpg = format == "jpeg";
    if (jpg) {
        jpeg.scan(device);
        device->seek(start);
    }

    // A BMP cut off decodes without an error too, its missing rows dark.
    const qint64 bmpEnd = format == "bmp" && !device->isSequential() ? bmpPixelsEnd(device) : -1;
    const qint64 available = device->isSequential() ? -1 : device->size() - start;

    QImageReader reader(device, format);
    // Upright as every viewer shows it: a camera stores a picture taken on its side with a turn to apply.
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > MaxPixels) {
        m_Error = tr("%1 has %2 × %3 pixels, more than the 100 megapixels that can be imported.")
                      .arg(name)
                      .arg(size.width())
                      .arg(size.height());
        return TooLarge;
    }
    // Qt reports a GIF's first frame as its size, but decodes each frame onto the whole screen.
    const QSize canvas = scan.canvasSize();
    const qint64 canvasPixels = qint64(canvas.width()) * canvas.height();
    if (gif && canvasPixels > MaxGifScreenPixels) {
        m_Error = tr("%1 is drawn on %2 × %3 pixels, more than the %4 megapixels a GIF may have to be imported.")
                      .arg(name)
                      .arg(canvas.width())
                      .arg(canvas.height())
                      .arg(MaxGifScreenPixels / 1000000);
        return TooLarge;
    }
    if (gif && canvasPixels * scan.frameCount() > MaxGifPixels) {
        m_Error = tr("%1 has %2 frames of %3 × %4 pixels; at most %5 megapixels in all, frames times pixels, "
                     "can be imported.")
                      .arg(name)
                      .arg(scan.frameCount())
                      .arg(canvas.width())
                      .arg(canvas.height())
                      .arg(MaxGifPixels / 1000000);
        return TooLarge;
    }
    const int expected = gif ? scan.frameCount() : 1;
    const bool animation = expected > 1;
    const qint64 ledCount = m_Layout.ledCount();
    const int fps = qMax(1, m_Settings.framesPerSecond);

    std::unique_ptr<LedCellSampler> sampler;
    QSize sampledSize;
    qint64 elapsed = 0;
    qint64 values = 0;
    QImage picture;
    while (m_PictureFrames < expected) {
        if (!reader.read(&picture))
            break;
        if (!sampler || picture.size() != sampledSize) {
            sampledSize = picture.size();
            // Fewer points per cell for many frames: the lookups of the whole import stay bounded.
            sampler.reset(new LedCellSampler(m_Layout, sampledSize, m_Settings.fit, MaxSampleLookups / expected));
        }
        int hold = 1;
        if (m_Settings.keepTiming && animation) {
            const int delay = scan.delays().at(m_PictureFrames);
            const qint64 end = elapsed + (delay > 0 ? delay : DefaultDelay);
            hold = int(framesAt(end, fps) - framesAt(elapsed, fps));
            elapsed = end;
        }
        ++m_PictureFrames;
        if (hold <= 0)
            continue;
        values += qint64(hold) * ledCount;
        if (ledValueBound >= 0 && values > ledValueBound) {
            m_Frames.clear();
            m_Error = tr("The picture's frames would hold more LED values than the show may.");
            return TooManyLedValues;
        }
        const QVector<int> frame = LedQuantizer::quantize(sampler->meanLuminance(picture), m_Layout,
                                                          m_Settings.threshold, m_Settings.dither, m_Settings.invert);
        for (int k = 0; k < hold; ++k)
            m_Frames.append(frame);
    }

    if (m_PictureFrames == 0) {
        m_Frames.clear();
        m_Error = gif && !scan.isComplete()
                      ? tr("%1 breaks off at byte %2, before its first frame is whole.")
                            .arg(name)
                            .arg(scan.stopOffset())
                      : tr("%1 cannot be read: %2").arg(name, reader.errorString());
        return NotAPicture;
    }
    if (m_PictureFrames < expected || (gif && !scan.isComplete())) {
        const qint64 where = m_PictureFrames < expected ? -1 : scan.stopOffset();
        m_Error = where >= 0
                      ? tr("%1 breaks off at byte %2, in frame %3; the %n frame(s) before it can be imported.", "",
                           m_PictureFrames)
                            .arg(name)
                            .arg(where)
                            .arg(m_PictureFrames + 1)
                      : tr("%1 cannot be read from frame %2 on; the %n frame(s) before it can be imported.", "",
                           m_PictureFrames)
                            .arg(name)
                            .arg(m_PictureFrames + 1);
        return Truncated;
    }
    if (bmpEnd > available && available >= 0) {
        m_Error = tr("%1 is damaged: it breaks off at byte %2, so part of the picture is missing.")
                      .arg(name)
                      .arg(available);
        return Damaged;
    }
    if (jpg && !jpeg.isComplete()) {
        m_Error = jpeg.isCutOff()
                      ? tr("%1 is damaged: it breaks off at byte %2, so part of the picture is missing.")
                            .arg(name)
                            .arg(jpeg.stopOffset())
                      : tr("%1 is damaged: the bytes from %2 on are not a JPEG's.").arg(name).arg(jpeg.stopOffset());
        return Damaged;
    }
    return Ok;
}

const QVector<QVector<int>>& PictureImporter::frames() const
{
    return m_Frames;
}

int PictureImporter::pictureFrameCount() const
{
    return m_PictureFrames;
}

QString PictureImporter::errorText() const
{
    return m_Error;
}
