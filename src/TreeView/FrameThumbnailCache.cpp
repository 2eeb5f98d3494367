#include "TreeView/FrameThumbnailCache.h"

#include "Abstract/AbstractCommand.h"
#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Painter/LedPanelPainter.h"
#include "TreeView/LedTreeModel.h"

#include <QPainter>

FrameThumbnailCache::FrameThumbnailCache(LedTreeModel* model, QObject* parent)
    : QObject(parent)
    , m_pModel(model)
    , m_Pictures(MaxPictures)
    , m_LayoutSet(false)
    , m_DrawnCount(0)
{
    Q_ASSERT(model);
    connect(model, &LedTreeModel::frameChanged, this, &FrameThumbnailCache::forget);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &FrameThumbnailCache::forgetRows);
    // A frame address may come back as another frame once the old one is freed.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this]() { m_Pictures.clear(); });
    connect(model, &QAbstractItemModel::layoutChanged, this, [this]() { m_Pictures.clear(); });
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
    if (layout != m_Layout || !m_LayoutSet)
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
    m_LayoutSet = true;
    m_ToPicture = LedPanelPainter(layout).transformTo(QRectF(QPointF(0, 0), size(layout)));
}

QPixmap FrameThumbnailCache::draw(const LedStateCommand* frame) const
{
    QVector<int> intensities(frame->ledCount());
    for (int i = 0; i < intensities.count(); ++i)
        intensities[i] = frame->led(i)->intensity() > 0 ? 1 : 0;

    QPixmap picture(size(m_Layout));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setTransform(m_ToPicture);
    LedPanelPainter panel(m_Layout);
    // Never much smaller than two pixels across, or a lit LED vanishes in the body.
    panel.setMinimumLedDiameter(1.6);
    panel.drawPanel(&painter, intensities);
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
