#include "Picture/GifWriter.h"

#include <QIODevice>

#include <gif_lib.h>

namespace {

// A GIF delay is a 16-bit count of hundredths of a second.
constexpr int MaxDelay = 65535;

int writeToDevice(GifFileType* gif, const GifByteType* data, int length)
{
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return int(device->write(reinterpret_cast<const char*>(data), length));
}

int colourBits(int colours)
{
    int bits = 1;
    while ((1 << bits) < colours)
        ++bits;
    return bits;
}

} // namespace

GifWriter::GifWriter(QIODevice* device, const QSize& size, const QVector<QRgb>& palette)
    : m_pDevice(device)
    , m_Size(size)
    , m_Palette(palette)
    , m_pGif(nullptr)
    , m_PendingDelay(0)
    , m_HasWritten(false)
    , m_WrittenFrames(0)
    , m_LastColour(0)
    , m_LastIndex(-1)
{
    Q_ASSERT(device && !palette.isEmpty() && palette.size() <= 256);
}

GifWriter::~GifWriter()
{
    if (m_pGif) {
        int error = 0;
        EGifCloseFile(m_pGif, &error);
    }
}

bool GifWriter::fail(int error)
{
    m_Error = m_pDevice->errorString();
    if (m_Error.isEmpty() || m_Error == QLatin1String("Unknown error"))
        m_Error = QString::fromUtf8(GifErrorString(error));
    return false;
}

bool GifWriter::begin()
{
    if (m_Size.isEmpty() || m_Size.width() > 65535 || m_Size.height() > 65535) {
        m_Error = tr("A GIF cannot be %1 × %2 pixels.").arg(m_Size.width()).arg(m_Size.height());
        return false;
    }
    int error = 0;
    m_pGif = EGifOpen(m_pDevice, writeToDevice, &error);
    if (!m_pGif)
        return fail(error);
    EGifSetGifVersion(m_pGif, true);

    // One index beyond the palette marks the pixels a frame leaves as they were.
    const int bits = colourBits(m_Palette.size() + (m_Palette.size() < 256 ? 1 : 0));
    QVector<GifColorType> colours(1 << bits);
    for (int i = 0; i < m_Palette.size(); ++i)
        colours[i] = GifColorType { GifByteType(qRed(m_Palette.at(i))), GifByteType(qGreen(m_Palette.at(i))),
                                    GifByteType(qBlue(m_Palette.at(i))) };
    ColorMapObject* map = GifMakeMapObject(colours.size(), colours.data());
    const int put = EGifPutScreenDesc(m_pGif, m_Size.width(), m_Size.height(), 8, 0, map);
    GifFreeMapObject(map);
    if (put == GIF_ERROR)
        return fail(m_pGif->Error);

    // The Netscape block with a loop count of 0: forever.
    static const GifByteType application[] = "NETSCAPE2.0";
    static const GifByteType loop[] = { 1, 0, 0 };
    if (EGifPutExtensionLeader(m_pGif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR
        || EGifPutExtensionBlock(m_pGif, 11, application) == GIF_ERROR
        || EGifPutExtensionBlock(m_pGif, 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(m_pGif) == GIF_ERROR)
        return fail(m_pGif->Error);
    return true;
}

QByteArray GifWriter::indices(const QImage& frame)
{
    const QImage rgb = frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32
                           ? frame
                           : frame.convertToFormat(QImage::Format_RGB32);
    QByteArray result(m_Size.width() * m_Size.height(), '\0');
    char* out = result.data();
    for (int y = 0; y < m_Size.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < m_Size.width(); ++x) {
            const QRgb colour = line[x] | 0xff000000u;
            if (colour != m_LastColour || m_LastIndex < 0) {
                int best = 0;
                int bestDistance = INT_MAX;
                for (int i = 0; i < m_Palette.size(); ++i) {
                    const QRgb p = m_Palette.at(i);
                    const int dr = qRed(p) - qRed(colour);
                    const int dg = qGreen(p) - qGreen(colour);
                    const int db = qBlue(p) - qBlue(colour);
                    const int distance = dr * dr + dg * dg + db * db;
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = i;
                    }
                }
                m_LastColour = colour;
                m_LastIndex = best;
            }
            *out++ = char(m_LastIndex);
        }
    }
    return result;
}

bool GifWriter::addFrame(const QImage& frame, int delay)
{
    Q_ASSERT(frame.size() == m_Size);
    return addIndexedFrame(indices(frame), delay);
}

bool GifWriter::addIndexedFrame(const QByteArray& next, int delay)
{
    Q_ASSERT(m_pGif && next.size() == m_Size.width() * m_Size.height());
    delay = qBound(0, delay, MaxDelay);
    const bool same = !m_Pending.isNull() && (next.constData() == m_Pending.constData() || next == m_Pending);
    if (same && m_PendingDelay + delay <= MaxDelay) {
        m_PendingDelay += delay;
        return true;
    }
    if (!m_Pending.isNull() && !flush())
        return false;
    m_Pending = next;
    m_PendingDelay = delay;
    return true;
}

bool GifWriter::flush()
{
    const int width = m_Size.width();
    const int height = m_Size.height();
    QRect changed(0, 0, width, height);
    if (m_HasWritten) {
        // The bounding box of the pixels that differ from the screen so far.
        int left = width, right = -1, top = height, bottom = -1;
        for (int y = 0; y < height; ++y) {
            const char* a = m_Written.constData() + y * width;
            const char* b = m_Pending.constData() + y * width;
            if (memcmp(a, b, size_t(width)) == 0)
                continue;
            top = qMin(top, y);
            bottom = y;
            int x0 = 0;
            while (a[x0] == b[x0])
                ++x0;
            int x1 = width - 1;
            while (a[x1] == b[x1])
                --x1;
            left = qMin(left, x0);
            right = qMax(right, x1);
        }
        // An unchanged frame, which only a delay too long for one frame gives, is one pixel.
        changed = bottom < 0 ? QRect(0, 0, 1, 1) : QRect(QPoint(left, top), QPoint(right, bottom));
    }

    // Within the changed rectangle, pixels that stay the same are transparent: long runs of one index pack small.
    const bool transparent = m_HasWritten && m_Palette.size() < 256;
    const char keep = char(m_Palette.size());
    GraphicsControlBlock control;
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = m_PendingDelay;
    control.TransparentColor = transparent ? m_Palette.size() : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(m_pGif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR
        || EGifPutImageDesc(m_pGif, changed.x(), changed.y(), changed.width(), changed.height(), false, nullptr)
            == GIF_ERROR)
        return fail(m_pGif->Error);
    QByteArray line(changed.width(), '\0');
    for (int y = changed.top(); y <= changed.bottom(); ++y) {
        const char* next = m_Pending.constData() + y * width + changed.x();
        const char* before = transparent ? m_Written.constData() + y * width + changed.x() : next;
        char* out = line.data();
        for (int x = 0; x < changed.width(); ++x)
            out[x] = transparent && next[x] == before[x] ? keep : next[x];
        if (EGifPutLine(m_pGif, reinterpret_cast<GifPixelType*>(out), changed.width()) == GIF_ERROR)
            return fail(m_pGif->Error);
    }
    m_Written = m_Pending;
    m_HasWritten = true;
    ++m_WrittenFrames;
    return true;
}

bool GifWriter::finish()
{
    Q_ASSERT(m_pGif);
    if (!m_Pending.isNull() && !flush())
        return false;
    m_Pending = QByteArray();
    int error = 0;
    const int closed = EGifCloseFile(m_pGif, &error);
    m_pGif = nullptr;
    if (closed == GIF_ERROR)
        return fail(error);
    return true;
}

QString GifWriter::errorString() const
{
    return m_Error;
}

int GifWriter::writtenFrames() const
{
    return m_WrittenFrames;
}
