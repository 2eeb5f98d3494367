#include "MainWindow/TextPreviewWidget.h"

#include "Painter/LedPanelPainter.h"

#include <QPainter>

TextPreviewWidget::TextPreviewWidget(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(160, 100);
}

void TextPreviewWidget::setPanelLayout(const LedLayout& layout)
{
    m_Layout = layout;
    update();
}

void TextPreviewWidget::setValues(const QVector<int>& values)
{
    m_Values = values;
    update();
}

QVector<int> TextPreviewWidget::values() const
{
    return m_Values;
}

QSize TextPreviewWidget::sizeHint() const
{
    return QSize(320, 200);
}

void TextPreviewWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), LedPanelPainter::backgroundColor());
    if (!m_Layout.isValid())
        return;
    LedPanelPainter panel(m_Layout);
    painter.setTransform(panel.transformTo(QRectF(rect()).adjusted(4, 4, -4, -4)));
    panel.drawPanel(&painter, m_Values);
}
