#include "Painter/LedStamps.h"

#include <QPainter>

#include <cmath>

namespace {

const int phases = 4;
// Room for the outline and a minimum size the painter may give small LEDs.
const qreal outlineReach = 0.05;
const qreal smallestRadius = 1.0;

// Source over destination, both premultiplied.
inline uint blend(uint source, uint destination)
{
    const uint alpha = source >> 24;
    if (alpha == 255)
        return source;
    const uint rest = 255 - alpha;
    uint rb = (destination & 0xff00ff) * rest;
    rb = ((rb + ((rb >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    uint ag = ((destination >> 8) & 0xff00ff) * rest;
    ag = (ag + ((ag >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return source + (ag | rb);
}

} // namespace

LedStamps::LedStamps(const LedPanelPainter& painter, qreal scale)
    : m_Painter(painter)
    , m_Scale(scale)
    , m_Stamps(2 * phases * phases)
{
    const qreal radius = qMax(qAbs(painter.layout().ledItemsSize()) * scale, smallestRadius);
    m_Origin = int(std::ceil(radius + outlineReach * scale)) + 1;
}

qreal LedStamps::scale() const
{
    return m_Scale;
}

int LedStamps::reach() const
{
    return m_Origin + 1;
}

void LedStamps::draw(QImage& target, const QPointF& centre, bool lit)
{
    Q_ASSERT(target.format() == QImage::Format_ARGB32_Premultiplied);
    const qreal fx = std::floor(centre.x());
    const qreal fy = std::floor(centre.y());
    const Stamp& picture = stamp(lit, qBound(0, int((centre.x() - fx) * phases), phases - 1),
                                 qBound(0, int((centre.y() - fy) * phases), phases - 1));
    const int left = int(fx) - m_Origin;
    const int top = int(fy) - m_Origin;
    const int x0 = qMax(picture.used.left(), -left);
    const int x1 = qMin(picture.used.right() + 1, target.width() - left);
    const int y0 = qMax(picture.used.top(), -top);
    const int y1 = qMin(picture.used.bottom() + 1, target.height() - top);
    for (int y = y0; y < y1; ++y) {
        const auto* source = reinterpret_cast<const uint*>(picture.image.constScanLine(y));
        auto* pixel = reinterpret_cast<uint*>(target.scanLine(top + y)) + left;
        for (int x = x0; x < x1; ++x) {
            if (source[x])
                pixel[x] = blend(source[x], pixel[x]);
        }
    }
}

const LedStamps::Stamp& LedStamps::stamp(bool lit, int phaseX, int phaseY)
{
    Stamp& picture = m_Stamps[(lit ? phases * phases : 0) + phaseY * phases + phaseX];
    if (picture.image.isNull()) {
        const int size = 2 * m_Origin + 2;
        picture.image = QImage(size, size, QImage::Format_ARGB32_Premultiplied);
        picture.image.fill(Qt::transparent);
        QPainter led(&picture.image);
        led.translate(m_Origin + qreal(phaseX) / phases, m_Origin + qreal(phaseY) / phases);
        led.scale(m_Scale, m_Scale);
        m_Painter.drawLedAt(&led, QPointF(0, 0), lit);
        led.end();
        for (int y = 0; y < size; ++y) {
            const auto* line = reinterpret_cast<const uint*>(picture.image.constScanLine(y));
            for (int x = 0; x < size; ++x) {
                if (line[x])
                    picture.used |= QRect(x, y, 1, 1);
            }
        }
    }
    return picture;
}
