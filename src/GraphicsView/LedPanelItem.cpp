#include "GraphicsView/LedPanelItem.h"

#include <QPainter>
#include <QPaintDevice>
#include <QStyleOptionGraphicsItem>

#include <cmath>
#include <cstring>

namespace {

// Past this many pixels across, an LED is drawn as it is: few of them fit in a view.
const qreal largestStamp = 400;
// The edge of an outlined LED reaches beyond its radius by half the pen.
const qreal penReach = 0.05;

} // namespace

LedPanelItem::LedPanelItem(const LedPanelPainter& painter, const LedHitIndex& index)
    : m_Painter(painter)
    , m_Index(index)
    , m_Reach(qAbs(painter.layout().ledItemsSize()) + penReach)
    , m_Stamps(painter, 0)
{
    m_Bounds = painter.bodyRect() | index.bounds().adjusted(-m_Reach, -m_Reach, m_Reach, m_Reach);
    setFlag(QGraphicsItem::ItemUsesExtendedStyleOption);
    // Clicks are the scene's to interpret.
    setAcceptedMouseButtons(Qt::NoButton);
}

const QVector<int>& LedPanelItem::values() const
{
    return m_Values;
}

void LedPanelItem::setValues(const QVector<int>& values)
{
    const QVector<int> old = m_Values;
    m_Values = values;
    if (old.size() != values.size()) {
        update();
        return;
    }
    // A few LEDs repaint their squares; beyond that one repaint is cheaper than many.
    const int fewLeds = 256;
    QVector<int> changed;
    for (int led = 0; led < values.size() && changed.size() <= fewLeds; ++led) {
        if ((old.at(led) > 0) != (values.at(led) > 0))
            changed.append(led);
    }
    if (changed.size() > fewLeds) {
        update();
        return;
    }
    for (int led : qAsConst(changed))
        update(ledRect(led));
}

QRectF LedPanelItem::ledRect(int led) const
{
    const QPointF centre = m_Index.centres().value(led);
    return QRectF(centre.x() - m_Reach, centre.y() - m_Reach, 2 * m_Reach, 2 * m_Reach);
}

QRectF LedPanelItem::boundingRect() const
{
    return m_Bounds;
}

void LedPanelItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(widget)
    if (m_Values.isEmpty()) {
        m_Painter.drawBody(painter);
        return;
    }
    drawLeds(painter, option ? option->exposedRect : m_Bounds);
}

bool LedPanelItem::coversMost(const QRectF& rect) const
{
    const QRectF area = rect.adjusted(-m_Reach, -m_Reach, m_Reach, m_Reach);
    const QRectF all = m_Index.bounds();
    const QRectF common = area.intersected(all);
    return area.contains(all) || common.width() * common.height() > all.width() * all.height() / 2;
}

QVector<int> LedPanelItem::ledsNear(const QRectF& rect) const
{
    const QRectF area = rect.adjusted(-m_Reach, -m_Reach, m_Reach, m_Reach);
    // Most of the panel: a look at every centre in order beats sorting what the buckets give.
    if (coversMost(rect)) {
        QVector<int> leds;
        const QVector<QPointF>& centres = m_Index.centres();
        leds.reserve(centres.size());
        for (int led = 0; led < centres.size(); ++led) {
            if (area.contains(centres.at(led)))
                leds.append(led);
        }
        return leds;
    }
    return m_Index.ledsIn(area);
}

void LedPanelItem::drawLeds(QPainter* painter, const QRectF& exposed)
{
    const QTransform transform = painter->worldTransform();
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const qreal deviceScale = transform.m11() * dpr;
    const bool plain = transform.type() <= QTransform::TxScale && qFuzzyCompare(transform.m11(), transform.m22())
        && transform.m11() > 0;
    if (!plain || 2 * m_Reach * deviceScale > largestStamp || !painter->device()) {
        // Turned, mirrored or very close: the painter draws each LED itself.
        m_Painter.drawBody(painter);
        const QVector<int> leds = ledsNear(exposed);
        for (int led : leds)
            m_Painter.drawLedAt(painter, m_Index.centres().at(led), m_Values.value(led) > 0);
        return;
    }

    if (m_Stamps.scale() != deviceScale) {
        m_Stamps = LedStamps(m_Painter, deviceScale);
        m_Spots.clear();
    }
    // Everything in device pixels from here: the stamps land on whole pixels.
    const QRect deviceArea = transform.mapRect(exposed).toAlignedRect()
        & QRect(0, 0, painter->device()->width(), painter->device()->height());
    if (deviceArea.isEmpty())
        return;
    const QSize layerSize = (QSizeF(deviceArea.size()) * dpr).toSize();
    if (m_Layer.size() != layerSize)
        m_Layer = QImage(layerSize, QImage::Format_ARGB32_Premultiplied);
    m_Layer.setDevicePixelRatio(1);
    drawBody(painter, deviceArea, dpr, coversMost(exposed));
    // Scale and move only (checked above): mapped by hand, each LED costs its pixels and little else.
    const qreal scale = transform.m11() * dpr;
    const qreal dx = transform.dx() * dpr - deviceArea.left() * dpr;
    const qreal dy = transform.dy() * dpr - deviceArea.top() * dpr;
    const qreal wholeX = std::floor(dx);
    const qreal wholeY = std::floor(dy);
    const QPointF offset(dx - wholeX, dy - wholeY);
    const QVector<QPointF>& centres = m_Index.centres();
    if (m_Spots.size() != centres.size() || m_SpotsOffset != offset) {
        m_Spots.resize(centres.size());
        for (int led = 0; led < centres.size(); ++led) {
            const QPointF& centre = centres.at(led);
            m_Spots[led] = m_Stamps.spot(centre.x() * scale + offset.x(), centre.y() * scale + offset.y());
        }
        m_SpotsOffset = offset;
    }
    uint* pixels = reinterpret_cast<uint*>(m_Layer.bits());
    const int width = m_Layer.width();
    const int height = m_Layer.height();
    const int stride = m_Layer.bytesPerLine() / 4;
    const LedStamps::Spot* spots = m_Spots.constData();
    const int* values = m_Values.constData();
    const int count = qMin(m_Values.size(), m_Spots.size());
    const int shiftX = int(wholeX);
    const int shiftY = int(wholeY);
    if (coversMost(exposed)) {
        // Every LED in order: those outside the layer cost a test.
        for (int led = 0; led < count; ++led)
            m_Stamps.draw(pixels, width, height, stride, spots[led], shiftX, shiftY, values[led] > 0);
    } else {
        const QVector<int> leds = ledsNear(exposed);
        for (int led : leds) {
            if (led < count)
                m_Stamps.draw(pixels, width, height, stride, spots[led], shiftX, shiftY, values[led] > 0);
        }
    }

    m_Layer.setDevicePixelRatio(dpr);
    painter->save();
    painter->resetTransform();
    painter->drawImage(deviceArea.topLeft(), m_Layer);
    painter->restore();
}

void LedPanelItem::drawBody(const QPainter* painter, const QRect& deviceArea, qreal dpr, bool keep)
{
    // The body under the same view looks the same every frame: kept for the area of
    // the last whole repaint, it is copied rather than drawn again.
    const QTransform transform = painter->worldTransform();
    if (m_BodyArea == deviceArea && m_BodyTransform == transform && m_Body.size() == m_Layer.size()
        && m_Body.bytesPerLine() == m_Layer.bytesPerLine()) {
        std::memcpy(m_Layer.bits(), m_Body.constBits(), size_t(m_Layer.sizeInBytes()));
        return;
    }
    m_Layer.fill(Qt::transparent);
    QPainter body(&m_Layer);
    body.setRenderHints(painter->renderHints());
    body.setTransform(transform * QTransform::fromTranslate(-deviceArea.left(), -deviceArea.top())
                      * QTransform::fromScale(dpr, dpr));
    m_Painter.drawBody(&body);
    body.end();
    if (keep) {
        m_Body = m_Layer.copy();
        m_BodyArea = deviceArea;
        m_BodyTransform = transform;
    }
}
