#include "Document/LayoutPreview.h"

#include "Painter/LedPanelPainter.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

const int margin = 12;
// Past this many lines the first LED of every line is no longer labelled: the labels would cover the panel.
const int maxLineLabels = 64;

} // namespace

LayoutPreview::LayoutPreview(QWidget* parent)
    : QWidget(parent)
    , m_HoveredLed(-1)
{
    setMouseTracking(true);
    setMinimumSize(240, 240);
}

void LayoutPreview::setPanelLayout(const LedLayout& layout)
{
    m_Layout = layout;
    m_HoveredLed = -1;
    update();
}

int LayoutPreview::hoveredLed() const
{
    return m_HoveredLed;
}

QSize LayoutPreview::sizeHint() const
{
    return QSize(360, 360);
}

bool LayoutPreview::drawable() const
{
    // A file may hold a longer line than a new layout may have; it is drawn all the same.
    return m_Layout.isValid() || (m_Layout.ledCount() > 0 && m_Layout.ledCount() <= LedLayout::MaxLedCount);
}

QTransform LayoutPreview::toWidget() const
{
    return LedPanelPainter(m_Layout).transformTo(QRectF(rect()).adjusted(margin, margin, -margin, -margin));
}

void LayoutPreview::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), LedPanelPainter::backgroundColor());
    if (!drawable())
        return;
    const QTransform transform = toWidget();
    painter.setTransform(transform);
    LedPanelPainter panel(m_Layout);
    panel.setMinimumLedDiameter(3);
    panel.drawPanel(&painter, QVector<int>());

    // The numbering as one thin path from LED 0 on, so its order shows at a glance.
    const int count = int(m_Layout.ledCount());
    QPolygonF path;
    path.reserve(count);
    for (int led = 0; led < count; ++led)
        path.append(m_Layout.ledPositionOf(led));
    painter.setPen(QPen(QColor(255, 255, 255, 200), 0));
    painter.drawPolyline(path);

    painter.resetTransform();
    painter.setPen(Qt::black);
    for (const Label& label : labels()) {
        // On a light patch, readable over the body and the LEDs.
        painter.fillRect(label.box.adjusted(-1, 0, 1, 0), QColor(255, 255, 255, 220));
        painter.drawText(label.box, Qt::AlignCenter, QString::number(label.led));
    }
}

QVector<LayoutPreview::Label> LayoutPreview::labels() const
{
    QVector<Label> placed;
    if (!drawable())
        return placed;
    const QTransform transform = toWidget();
    const QFontMetrics metrics = fontMetrics();
    // A label goes beside its LED on the first side where it covers no other label, or is left out.
    const auto place = [&](int led, bool always) {
        const QPointF at = transform.map(m_Layout.ledPositionOf(led));
        const QSize size = metrics.size(0, QString::number(led)) + QSize(2, 0);
        const QPoint corners[] = { { 4, -4 - size.height() }, { -4 - size.width(), -4 - size.height() },
                                   { 4, 4 }, { -4 - size.width(), 4 } };
        for (const QPoint& corner : corners) {
            const QRect box(at.toPoint() + corner, size);
            const bool free = rect().contains(box)
                && std::none_of(placed.cbegin(), placed.cend(),
                                [&](const Label& other) { return other.box.intersects(box); });
            if (free) {
                placed.append(Label { led, box });
                return;
            }
        }
        if (always)
            placed.append(Label { led, QRect(at.toPoint() + corners[0], size) });
    };
    place(0, true);
    const int count = int(m_Layout.ledCount());
    for (int led = 1; led < qMin(3, count); ++led)
        place(led, false);
    // The first LED of every line, as long as there are few enough lines to read.
    const int length = m_Layout.order() == LedLayout::Columns ? m_Layout.rows() : m_Layout.columns();
    if (count / length <= maxLineLabels) {
        for (int led = length; led < count; led += length)
            place(led, false);
    }
    if (m_HoveredLed >= 0 && m_HoveredLed < count)
        place(m_HoveredLed, true);
    return placed;
}

void LayoutPreview::mouseMoveEvent(QMouseEvent* event)
{
    int nearest = -1;
    if (drawable()) {
        const QTransform transform = toWidget();
        // Within an LED's spacing of the mouse, the closest one.
        qreal best = 12.0 * 12.0;
        for (int led = 0; led < m_Layout.ledCount(); ++led) {
            const QPointF d = transform.map(m_Layout.ledPositionOf(led)) - event->localPos();
            const qreal distance = QPointF::dotProduct(d, d);
            if (distance < best) {
                best = distance;
                nearest = led;
            }
        }
    }
    if (nearest != m_HoveredLed) {
        m_HoveredLed = nearest;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void LayoutPreview::leaveEvent(QEvent* event)
{
    m_HoveredLed = -1;
    update();
    QWidget::leaveEvent(event);
}
