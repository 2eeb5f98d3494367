#include "Document/LayoutPreview.h"

#include "Painter/LedPanelPainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const int margin = 12;
// Past this many rows the first LED of every row is no longer labelled: the labels would cover the panel.
const int maxRowLabels = 64;

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

QTransform LayoutPreview::toWidget() const
{
    return LedPanelPainter(m_Layout).transformTo(QRectF(rect()).adjusted(margin, margin, -margin, -margin));
}

void LayoutPreview::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), LedPanelPainter::backgroundColor());
    if (!m_Layout.isValid())
        return;
    const QTransform transform = toWidget();
    painter.setTransform(transform);
    LedPanelPainter panel(m_Layout);
    panel.setMinimumLedDiameter(3);
    panel.drawPanel(&painter, QVector<int>());

    painter.resetTransform();
    painter.setPen(Qt::black);
    // A label that would cover one drawn before is left out: a ring's rows lie close together.
    QVector<QRect> drawn;
    const auto label = [&](int index, bool always) {
        const QPointF at = transform.map(m_Layout.ledPosition(index / m_Layout.columns(), index % m_Layout.columns()));
        const QString text = QString::number(index);
        const QRect box = painter.fontMetrics().boundingRect(text).translated((at + QPointF(3, -3)).toPoint());
        for (const QRect& other : qAsConst(drawn)) {
            if (!always && other.intersects(box))
                return;
        }
        drawn.append(box);
        // On a light patch, readable over the body and the LEDs.
        painter.fillRect(box.adjusted(-1, 0, 1, 0), QColor(255, 255, 255, 220));
        painter.drawText(at + QPointF(3, -3), text);
    };
    if (m_Layout.rows() <= maxRowLabels) {
        for (int row = 0; row < m_Layout.rows(); ++row)
            label(row * m_Layout.columns(), row == 0);
    } else {
        label(0, true);
    }
    if (m_HoveredLed >= 0)
        label(m_HoveredLed, true);
}

void LayoutPreview::mouseMoveEvent(QMouseEvent* event)
{
    int nearest = -1;
    if (m_Layout.isValid()) {
        const QTransform transform = toWidget();
        // Within an LED's spacing of the mouse, the closest one.
        qreal best = 12.0 * 12.0;
        for (int row = 0; row < m_Layout.rows(); ++row) {
            for (int column = 0; column < m_Layout.columns(); ++column) {
                const QPointF d = transform.map(m_Layout.ledPosition(row, column)) - event->localPos();
                const qreal distance = QPointF::dotProduct(d, d);
                if (distance < best) {
                    best = distance;
                    nearest = row * m_Layout.columns() + column;
                }
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
