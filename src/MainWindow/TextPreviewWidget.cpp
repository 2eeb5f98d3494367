#include "MainWindow/TextPreviewWidget.h"

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
    painter.fillRect(rect(), QColor(40, 40, 40));
    const QRectF scene = m_Layout.sceneRect();
    if (scene.width() <= 0 || scene.height() <= 0 || m_Layout.ledCount() > LedLayout::MaxLedCount)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = qMin((width() - 8) / scene.width(), (height() - 8) / scene.height());
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(scale, scale);
    painter.translate(-scene.center());
    painter.setPen(Qt::NoPen);
    const qreal size = m_Layout.ledItemsSize();
    for (int row = 0; row < m_Layout.rows(); ++row) {
        for (int column = 0; column < m_Layout.columns(); ++column) {
            const int led = row * m_Layout.columns() + column;
            painter.setBrush(m_Values.value(led) ? QColor(Qt::yellow) : QColor(Qt::darkGray));
            painter.drawEllipse(m_Layout.ledPosition(row, column), size, size);
        }
    }
}
