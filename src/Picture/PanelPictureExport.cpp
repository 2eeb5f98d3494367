#include "Picture/PanelPictureExport.h"

#include "Helper/CheckedFileWriter.h"
#include "Painter/LedPanelPainter.h"
#include "Picture/GifWriter.h"
#include "Picture/PanelFrameComposer.h"

#include <QPainter>

#include <cmath>
#include <functional>

namespace {

// Lit is above 0, as the panel plays it: an LED going from -1 to 1 lights up.
bool sameLitLeds(const QVector<int>& a, const QVector<int>& b)
{
    const int count = qMax(a.size(), b.size());
    for (int i = 0; i < count; ++i) {
        if ((a.value(i) > 0) != (b.value(i) > 0))
            return false;
    }
    return true;
}

} // namespace

PanelPictureExport::PanelPictureExport(const LedLayout& layout, int longerSide)
    : m_Layout(layout)
{
    const QRectF scene = LedPanelPainter(layout).sceneRect();
    const int side = qBound(MinSize, longerSide, MaxSize);
    const double longer = qMax(scene.width(), scene.height());
    if (longer <= 0.0) {
        m_Size = QSize(side, side);
        return;
    }
    m_Size = QSize(qMax(1, int(std::lround(scene.width() / longer * side))),
                   qMax(1, int(std::lround(scene.height() / longer * side))));
}

QSize PanelPictureExport::imageSize() const
{
    return m_Size;
}

QImage PanelPictureExport::render(const QVector<int>& intensities) const
{
    QImage image(m_Size, QImage::Format_RGB32);
    image.fill(LedPanelPainter::backgroundColor());
    LedPanelPainter panel(m_Layout);
    panel.setAntialiased(false);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setTransform(panel.transformTo(QRectF(QPointF(0, 0), QSizeF(m_Size))));
    panel.drawPanel(&painter, intensities);
    return image;
}

bool PanelPictureExport::writePng(const QVector<int>& intensities, const QString& fileName, QString* error) const
{
    CheckedFileWriter file(fileName);
    file.setWaitForReader(m_WaitForReader);
    if (!file.open(QIODevice::WriteOnly) || !render(intensities).save(&file, "PNG") || !file.commit()) {
        *error = tr("Cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}

bool PanelPictureExport::writeGif(int count, const std::function<QVector<int>(int)>& frame, int framesPerSecond,
                                  const QString& fileName, QString* error) const
{
    Q_ASSERT(framesPerSecond > 0);
    CheckedFileWriter file(fileName);
    file.setWaitForReader(m_WaitForReader);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = tr("Cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    const PanelFrameComposer composer(m_Layout, m_Size);
    GifWriter gif(&file, m_Size, PanelFrameComposer::palette());
    bool ok = gif.begin();
    QVector<int> before;
    QByteArray pixels;
    for (int i = 0; ok && i < count; ++i) {
        // Hundredths of a second, rounded from the start so the whole keeps time.
        const int delay =
            int(std::lround((i + 1) * 100.0 / framesPerSecond) - std::lround(i * 100.0 / framesPerSecond));
        const QVector<int> values = frame(i);
        if (i == 0 || !sameLitLeds(values, before))
            pixels = composer.compose(values);
        before = values;
        ok = gif.addIndexedFrame(pixels, delay);
    }
    ok = ok && gif.finish();
    if (!ok || !file.commit()) {
        // The file's reason where it has one: the GIF library knows only that a write failed.
        const QString reason = file.hasFailed() ? file.errorString() : gif.errorString();
        *error = tr("Cannot write %1: %2").arg(fileName, reason);
        return false;
    }
    return true;
}
