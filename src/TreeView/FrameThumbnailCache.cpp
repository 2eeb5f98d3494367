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
    , m_Pictures(MaxKilobytes)
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
    const QPixmap shown = *picture;
    m_Pictures.insert(frame, picture, qMax(1, picture->width() * picture->height() * 4 / 1024));
    return shown;
}

void FrameThumbnailCache::setLayout(const LedLayout& layout)
{
    m_Pictures.clear();
    m_Layout = layout;
    m_LayoutSet = true;
    const QSize pictureSize = size(layout);
    m_ToPicture = LedPanelPainter(layout).transformTo(QRectF(QPointF(0, 0), pictureSize));

    LedPanelPainter panel(m_Layout);
    // Never much smaller than two pixels across, or a lit LED vanishes in the body.
    panel.setMinimumLedDiameter(1.6);
    m_Body = QImage(pictureSize, QImage::Format_ARGB32_Premultiplied);
    m_Body.fill(Qt::transparent);
    QPainter painter(&m_Body);
    painter.setTransform(m_ToPicture);
    panel.drawBody(&painter);
    painter.end();

    m_Centres.clear();
    const qint64 count = layout.ledCount();
    if (count > 0 && count <= LedLayout::MaxLedCount) {
        m_Centres.reserve(int(count));
        for (int led = 0; led < count; ++led)
            m_Centres.append(m_ToPicture.map(layout.ledPositionOf(led)));
    }
    // LEDs a pixel or more apart are stamped; closer ones share their pixels.
    const qreal pixels = qreal(pictureSize.width()) * pictureSize.height();
    m_pStamps.reset(m_Centres.size() <= pixels / 4 ? new LedStamps(panel, m_ToPicture.m11()) : nullptr);
    m_Cells.clear();
    m_CellCounts.clear();
    if (m_pStamps)
        return;
    // LEDs outside the picture fall in one more cell past its pixels.
    const int outside = pictureSize.width() * pictureSize.height();
    m_Cells.reserve(m_Centres.size());
    m_CellCounts.fill(0, outside + 1);
    for (const QPointF& centre : qAsConst(m_Centres)) {
        const int x = int(centre.x());
        const int y = int(centre.y());
        const bool inside = x >= 0 && y >= 0 && x < pictureSize.width() && y < pictureSize.height();
        m_Cells.append(inside ? y * pictureSize.width() + x : outside);
        ++m_CellCounts[m_Cells.last()];
    }
}

QPixmap FrameThumbnailCache::draw(const LedStateCommand* frame) const
{
    QImage picture = m_Body.copy();
    const QVector<int> values = frame->intensities();
    const int count = qMin(values.size(), m_Centres.size());
    if (m_pStamps) {
        for (int led = 0; led < count; ++led)
            m_pStamps->draw(picture, m_Centres.at(led), values.at(led) > 0);
        return QPixmap::fromImage(picture);
    }

    // Many LEDs to a pixel: the pixel shows how many of them are lit, as a picture scaled down would.
    const int width = picture.width();
    const int height = picture.height();
    QVector<int> lit(m_CellCounts.size(), 0);
    int* litIn = lit.data();
    const int* cells = m_Cells.constData();
    const int* value = values.constData();
    // Without a branch: half the LEDs of a busy frame are lit, in no order a guess could follow.
    for (int led = 0; led < count; ++led)
        litIn[cells[led]] += int(value[led] > 0);
    const QColor on = LedPanelPainter::litColor();
    const QColor off = LedPanelPainter::darkColor();
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = m_CellCounts.at(y * width + x);
            if (n == 0)
                continue;
            const int k = lit.at(y * width + x);
            line[x] = qRgb((on.red() * k + off.red() * (n - k)) / n, (on.green() * k + off.green() * (n - k)) / n,
                           (on.blue() * k + off.blue() * (n - k)) / n);
        }
    }
    return QPixmap::fromImage(picture);
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
