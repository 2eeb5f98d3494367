#include "Picture/PanelFrameComposer.h"

#include "Painter/LedPanelPainter.h"

#include <QPainter>
#include <QPolygonF>

#include <cstring>

namespace {

char nearestIndex(QRgb colour, const QVector<QRgb>& palette)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette.at(i)) - qRed(colour);
        const int dg = qGreen(palette.at(i)) - qGreen(colour);
        const int db = qBlue(palette.at(i)) - qBlue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return char(best);
}

} // namespace

PanelFrameComposer::PanelFrameComposer(const LedLayout& layout, const QSize& size)
    : m_Size(size)
{
    Q_ASSERT(!size.isEmpty());
    LedPanelPainter panel(layout);
    panel.setAntialiased(false);
    const QTransform transform = panel.transformTo(QRectF(QPointF(0, 0), QSizeF(size)));
    drawBody(panel, transform);
    const qint64 count = layout.ledCount();
    if (count <= 0 || count > LedLayout::MaxLedCount)
        m_First.fill(0, 1);
    else
        findLedPixels(panel, transform);
}

void PanelFrameComposer::drawBody(const LedPanelPainter& panel, const QTransform& transform)
{
    QImage body(m_Size, QImage::Format_RGB32);
    body.fill(LedPanelPainter::backgroundColor());
    {
        QPainter painter(&body);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setTransform(transform);
        panel.drawBody(&painter);
    }
    const QVector<QRgb> colours = palette();
    const int width = m_Size.width();
    m_Body.resize(width * m_Size.height());
    QRgb last = colours.at(Background);
    char lastIndex = char(Background);
    for (int y = 0; y < m_Size.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(body.constScanLine(y));
        char* out = m_Body.data() + y * width;
        for (int x = 0; x < width; ++x) {
            const QRgb colour = line[x] | 0xff000000u;
            if (colour != last) {
                last = colour;
                lastIndex = nearestIndex(colour, colours);
            }
            out[x] = lastIndex;
        }
    }
}

void PanelFrameComposer::findLedPixels(const LedPanelPainter& panel, const QTransform& transform)
{
    // Each LED alone on a clear sheet; what it covered is its pixels, and the
    // sheet is cleared around it for the next one.
    const LedLayout& layout = panel.layout();
    const int width = m_Size.width();
    QImage sheet(m_Size, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setTransform(transform);
    const QRect whole(QPoint(0, 0), m_Size);
    const qreal reach = qAbs(layout.ledItemsSize()) * 2;
    QPolygonF spot(1);
    m_First.reserve(int(layout.ledCount()) + 1);
    const int count = int(layout.ledCount());
    for (int led = 0; led < count; ++led) {
        {
            m_First.append(m_Spans.size());
            const QPointF centre = layout.ledPositionOf(led);
            spot[0] = centre;
            panel.drawLedSpots(&painter, spot, true);
            const QRect box = transform.mapRect(QRectF(centre.x() - reach, centre.y() - reach, 2 * reach, 2 * reach))
                                  .toAlignedRect()
                                  .adjusted(-2, -2, 2, 2)
                              & whole;
            for (int y = box.top(); y <= box.bottom(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(sheet.scanLine(y));
                for (int x = box.left(); x <= box.right(); ++x) {
                    if (qAlpha(line[x]) == 0)
                        continue;
                    int end = x;
                    while (end <= box.right() && qAlpha(line[end]) != 0)
                        ++end;
                    m_Spans.append(Span { y * width + x, end - x });
                    x = end;
                }
                std::memset(line + box.left(), 0, size_t(box.width()) * sizeof(QRgb));
            }
        }
    }
    m_First.append(m_Spans.size());
}

QVector<QRgb> PanelFrameComposer::palette()
{
    return { LedPanelPainter::backgroundColor().rgb(), LedPanelPainter::bodyColor().rgb(),
             LedPanelPainter::litColor().rgb(), LedPanelPainter::darkColor().rgb() };
}

QSize PanelFrameComposer::size() const
{
    return m_Size;
}

void PanelFrameComposer::fill(QByteArray* frame, int led, char index) const
{
    char* data = frame->data();
    for (int k = m_First.at(led); k < m_First.at(led + 1); ++k)
        std::memset(data + m_Spans.at(k).offset, index, size_t(m_Spans.at(k).length));
}

QByteArray PanelFrameComposer::compose(const QVector<int>& intensities) const
{
    QByteArray frame = m_Body;
    // Dark ones first, lit ones over them, as the painter draws them: only a positive intensity is lit.
    const int leds = m_First.size() - 1;
    for (int led = 0; led < leds; ++led) {
        if (intensities.value(led) <= 0)
            fill(&frame, led, char(Dark));
    }
    for (int led = 0; led < leds; ++led) {
        if (intensities.value(led) > 0)
            fill(&frame, led, char(Lit));
    }
    return frame;
}
