#include "MainWindow/DrawToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon DrawToolIcons::icon(eIcon which)
{
    const int size = 24;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    const QColor lit(255, 200, 0);
    painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (which) {
    case Pen: {
        QPainterPath stroke(QPointF(4, 18));
        stroke.cubicTo(QPointF(8, 4), QPointF(14, 22), QPointF(20, 6));
        painter.drawPath(stroke);
        break;
    }
    case Line:
        painter.drawLine(QPointF(4, 20), QPointF(20, 4));
        break;
    case Rectangle:
        painter.drawRect(QRectF(4, 6, 16, 12));
        break;
    case Select:
        painter.setPen(QPen(ink, 2, Qt::DashLine));
        painter.drawRect(QRectF(4, 4, 16, 16));
        break;
    case Ellipse:
        painter.drawEllipse(QRectF(3, 6, 18, 12));
        break;
    case Fill:
        painter.setBrush(lit);
        painter.drawRect(QRectF(4, 4, 16, 16));
        painter.setBrush(ink);
        painter.drawEllipse(QPointF(12, 12), 2.5, 2.5);
        break;
    case Lit:
        painter.setBrush(lit);
        painter.drawEllipse(QPointF(12, 12), 7, 7);
        break;
    case Filled:
        painter.setBrush(ink);
        painter.drawRect(QRectF(4, 6, 16, 12));
        break;
    case Text: {
        QFont font = painter.font();
        font.setPixelSize(18);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    }
    painter.end();
    return QIcon(pixmap);
}
