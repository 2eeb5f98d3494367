#include "MainWindow/WiringPanelView.h"

#include "Data/LedShapes.h"
#include "Painter/LedPanelPainter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

const int margin = 12;

} // namespace

WiringPanelView::WiringPanelView(QWidget* parent)
    : QWidget(parent)
    , m_MarkedLed(-1)
{
    setMinimumSize(240, 240);
    setFocusPolicy(Qt::StrongFocus);
}

void WiringPanelView::setPanelLayout(const LedLayout& layout)
{
    m_Layout = layout;
    m_MarkedLed = -1;
    m_Cursor.setLayout(layout);
    update();
}

void WiringPanelView::setFrame(const QVector<int>& intensities)
{
    m_Frame = intensities;
    update();
}

void WiringPanelView::setMarkedLed(int led)
{
    m_MarkedLed = led;
    // The keys go on from the LED last taken, by mouse or by key.
    if (led >= 0)
        m_Cursor.setIndex(led);
    update();
}

int WiringPanelView::markedLed() const
{
    return m_MarkedLed;
}

QPoint WiringPanelView::ledPoint(int led) const
{
    return toWidget().map(m_Layout.ledPositionOf(led)).toPoint();
}

QSize WiringPanelView::sizeHint() const
{
    return QSize(360, 360);
}

QTransform WiringPanelView::toWidget() const
{
    return LedPanelPainter(m_Layout).transformTo(QRectF(rect()).adjusted(margin, margin, -margin, -margin));
}

void WiringPanelView::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), LedPanelPainter::backgroundColor());
    if (!m_Layout.isValid())
        return;
    painter.setTransform(toWidget());
    LedPanelPainter panel(m_Layout);
    panel.setMinimumLedDiameter(3);
    panel.drawPanel(&painter, m_Frame);
    if (m_MarkedLed >= 0 && m_MarkedLed < m_Layout.ledCount()) {
        // Around the LED, whatever its size on the screen.
        const qreal radius = qMax(6.0, qAbs(toWidget().m11()) * m_Layout.ledItemsSize() + 4.0);
        painter.resetTransform();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::red, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(ledPoint(m_MarkedLed)), radius, radius);
    }
    if (hasFocus()) {
        painter.setTransform(toWidget());
        m_Cursor.paint(&painter);
    }
}

void WiringPanelView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || !m_Layout.isValid())
        return QWidget::keyPressEvent(event);
    if (m_Cursor.move(key)) {
        update();
        return;
    }
    // Return too: the dialog would otherwise hand it to a button.
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit ledClicked(m_Cursor.index());
        return;
    }
    QWidget::keyPressEvent(event);
}

void WiringPanelView::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void WiringPanelView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void WiringPanelView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_Layout.isValid())
        return QWidget::mousePressEvent(event);
    bool invertible = false;
    const QTransform back = toWidget().inverted(&invertible);
    if (!invertible)
        return;
    const int led = LedShapes::ledAt(m_Layout, back.map(event->localPos()));
    // Ringed by the dialog, and only if the step takes a click.
    if (led >= 0)
        emit ledClicked(led);
}
