#include "Painter/LedStamps.h"

#include <QPainter>

#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The same over a row of pixels: two at a time where the processor allows.
inline void blendRun(const uint* source, uint* target, int count)
{
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(0x80);
    // Each channel widened to 16 bits and rounded as blend() rounds: the pixels come out the same.
    for (; i + 2 <= count; i += 2) {
        const __m128i s = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + i)), zero);
        const __m128i d = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(target + i)), zero);
        const __m128i alpha
            = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
        __m128i t = _mm_mullo_epi16(d, _mm_sub_epi16(full, alpha));
        t = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(target + i), _mm_packus_epi16(_mm_add_epi16(s, t), zero));
    }
#endif
    for (; i < count; ++i)
        target[i] = blend(source[i], target[i]);
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

LedStamps::Spot LedStamps::spot(qreal x, qreal y) const
{
    const qreal fx = std::floor(x);
    const qreal fy = std::floor(y);
    Spot spot;
    spot.left = int(fx) - m_Origin;
    spot.top = int(fy) - m_Origin;
    spot.phase = qBound(0, int((y - fy) * phases), phases - 1) * phases + qBound(0, int((x - fx) * phases), phases - 1);
    return spot;
}

void LedStamps::draw(QImage& target, const QPointF& centre, bool lit)
{
    Q_ASSERT(target.format() == QImage::Format_ARGB32_Premultiplied);
    draw(reinterpret_cast<uint*>(target.bits()), target.width(), target.height(), target.bytesPerLine() / 4,
         spot(centre.x(), centre.y()), 0, 0, lit);
}

void LedStamps::draw(uint* pixels, int width, int height, int stride, const Spot& spot, int dx, int dy, bool lit)
{
    const Stamp& picture = stamp(lit, spot.phase);
    const int left = spot.left + dx;
    const int top = spot.top + dy;
    const QRect& used = picture.used;
    if (left + used.left() >= 0 && top + used.top() >= 0 && left + used.right() < width
        && top + used.bottom() < height) {
        // Wholly inside, as nearly every LED is: only the coloured pixels are visited.
        uint* origin = pixels + top * stride + left;
        for (const Run& run : picture.runs) {
            blendRun(run.pixels, origin + run.y * stride + run.x, run.count);
        }
        return;
    }
    const int x0 = qMax(used.left(), -left);
    const int x1 = qMin(used.right() + 1, width - left);
    const int y0 = qMax(used.top(), -top);
    const int y1 = qMin(used.bottom() + 1, height - top);
    if (x0 >= x1 || y0 >= y1)
        return;
    const uint* source = picture.pixels + y0 * picture.stride;
    uint* target = pixels + (top + y0) * stride + left;
    for (int row = y0; row < y1; ++row, source += picture.stride, target += stride) {
        for (int column = x0; column < x1; ++column) {
            if (source[column])
                target[column] = blend(source[column], target[column]);
        }
    }
}

const LedStamps::Stamp& LedStamps::stamp(bool lit, int phase)
{
    Stamp& picture = m_Stamps[(lit ? phases * phases : 0) + phase];
    if (picture.image.isNull()) {
        const int size = 2 * m_Origin + 2;
        picture.image = QImage(size, size, QImage::Format_ARGB32_Premultiplied);
        picture.image.fill(Qt::transparent);
        QPainter led(&picture.image);
        led.translate(m_Origin + qreal(phase % phases) / phases, m_Origin + qreal(phase / phases) / phases);
        led.scale(m_Scale, m_Scale);
        m_Painter.drawLedAt(&led, QPointF(0, 0), lit);
        led.end();
        picture.pixels = reinterpret_cast<const uint*>(picture.image.constBits());
        picture.stride = picture.image.bytesPerLine() / 4;
        for (int y = 0; y < size; ++y) {
            const uint* line = picture.pixels + y * picture.stride;
            for (int x = 0; x < size; ++x) {
                if (!line[x])
                    continue;
                picture.used |= QRect(x, y, 1, 1);
                if (picture.runs.isEmpty() || picture.runs.last().y != y
                    || picture.runs.last().x + picture.runs.last().count != x) {
                    Run run;
                    run.x = x;
                    run.y = y;
                    run.pixels = line + x;
                    picture.runs.append(run);
                }
                ++picture.runs.last().count;
            }
        }
    }
    return picture;
}
