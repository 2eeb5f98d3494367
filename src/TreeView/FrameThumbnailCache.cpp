#include "TreeView/FrameThumbnailCache.h"

#include "Abstract/AbstractCommand.h"
#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "TreeView/LedTreeModel.h"

#include <QPainter>

FrameThumbnailCache::FrameThumbnailCache(LedTreeModel* model, QObject* parent)
    : QObject(parent)
    , m_pModel(model)
    , m_Pictures(MaxPictures)
    , m_DotRadius(0)
    , m_DrawnCount(0)
{
    Q_ASSERT(model);
    connect(model, &LedTreeModel::frameChanged, this, &FrameThumbnailCache::forget);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &FrameThumbnailCache::forgetRows);
    // A frame address may come back as another frame once the old one is freed.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this]() { m_Pictures.clear(); });
}

QSize FrameThumbnailCache::size(const LedLayout& layout)
{
    const QRectF area = layout.sceneRect();
    const qreal aspect = area.height() > 0 ? area.width() / area.height() : 1.0;
    const int width = qBound(Height / 2, qRound(Height * aspect), 3 * Height);
    return QSize(width, Height);
}

int FrameThumbnailCache::drawnCount() const
{
    return m_DrawnCount;
}

QPixmap FrameThumbnailCache::thumbnail(const LedStateCommand* frame)
{
    Q_ASSERT(frame && frame->sequence() && frame->sequence()->document());
    const LedLayout& layout = frame->sequence()->document()->panelLayout();
    if (layout != m_Layout || m_Body.isNull())
        setLayout(layout);
    if (const QPixmap* picture = m_Pictures.object(frame))
        return *picture;
    auto* picture = new QPixmap(draw(frame));
    ++m_DrawnCount;
    m_Pictures.insert(frame, picture);
    return *picture;
}

void FrameThumbnailCache::setLayout(const LedLayout& layout)
{
    m_Pictures.clear();
    m_Layout = layout;
    const QSize pixels = size(layout);
    const QRectF area = layout.sceneRect();
    const qreal scale = area.isEmpty() ? 1.0 : qMin(pixels.width() / area.width(), pixels.height() / area.height());
    QTransform toPicture;
    toPicture.translate(pixels.width() / 2.0, pixels.height() / 2.0);
    toPicture.scale(scale, scale);
    toPicture.translate(-area.center().x(), -area.center().y());

    m_Body = QPixmap(pixels);
    m_Body.fill(Qt::transparent);
    QPainter painter(&m_Body);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toPicture);
    if (layout.type() == LedLayout::Ring) {
        const qreal width = qAbs(layout.outerDiameter() - layout.innerDiameter());
        const qreal radius = (layout.innerDiameter() + layout.outerDiameter()) / 2;
        painter.setPen(QPen(QBrush(Qt::darkBlue), width));
        painter.drawEllipse(QPointF(0, 0), radius, radius);
    } else {
        painter.fillRect(layout.rectangle(), Qt::darkBlue);
    }

    m_Dots.clear();
    const qint64 count = layout.ledCount();
    if (count > 0 && count <= LedLayout::MaxLedCount) {
        m_Dots.reserve(int(count));
        for (int row = 0; row < layout.rows(); ++row) {
            for (int column = 0; column < layout.columns(); ++column)
                m_Dots.append(toPicture.map(layout.ledPosition(row, column)));
        }
    }
    // Never much smaller than two pixels across, or a lit LED vanishes in the body.
    m_DotRadius = qMax(0.8, layout.ledItemsSize() * scale);
}

QPixmap FrameThumbnailCache::draw(const LedStateCommand* frame) const
{
    const int common = qMin(m_Dots.count(), frame->ledCount());
    QPolygonF lit, dark;
    lit.reserve(common);
    dark.reserve(common);
    for (int i = 0; i < common; ++i)
        (frame->led(i)->intensity() > 0 ? lit : dark).append(m_Dots.at(i));

    // Round points in two calls: one ellipse per LED costs twice as much.
    QPixmap picture = m_Body;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QBrush(Qt::darkGray), 2 * m_DotRadius, Qt::SolidLine, Qt::RoundCap));
    painter.drawPoints(dark);
    painter.setPen(QPen(QBrush(Qt::yellow), 2 * m_DotRadius, Qt::SolidLine, Qt::RoundCap));
    painter.drawPoints(lit);
    return picture;
}

void FrameThumbnailCache::forget(const QModelIndex& index)
{
    forgetNode(static_cast<const AbstractCommand*>(index.internalPointer()));
}

void FrameThumbnailCache::forgetNode(const AbstractCommand* node)
{
    if (node && node->type() == typeLedState)
        m_Pictures.remove(static_cast<const LedStateCommand*>(node));
}

void FrameThumbnailCache::forgetRows(const QModelIndex& parent, int first, int last)
{
    for (int row = first; row <= last; ++row) {
        const auto* node = static_cast<const AbstractCommand*>(m_pModel->index(row, 0, parent).internalPointer());
        if (!node)
            continue;
        forgetNode(node);
        const QList<AbstractCommand*> children = node->childs();
        for (const AbstractCommand* child : children)
            forgetNode(child);
    }
}
