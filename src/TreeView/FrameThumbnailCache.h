#ifndef FRAMETHUMBNAILCACHE_H
#define FRAMETHUMBNAILCACHE_H

#include "Data/LedLayout.h"
#include "Painter/LedStamps.h"

#include <QImage>
#include <memory>

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QTransform>
#include <QVector>

class AbstractCommand;
class LedStateCommand;
class LedTreeModel;
class QModelIndex;

// Small pictures of frames for the tree, drawn as the LED view draws the panel,
// with every LED at least two pixels across. A picture is drawn when it is first
// asked for and kept until its frame changes or leaves the tree, or until newer
// pictures fill the memory given to them. Drawing one costs about the same on any
// panel: the body is drawn once per layout, LEDs are stamped from ready pictures,
// and where LEDs are packed closer than the pixels each pixel takes the share of
// lit LEDs in it.
class FrameThumbnailCache : public QObject
{
    Q_OBJECT

public:
    static constexpr int Height = 40;
    // Kilobytes of pictures kept; the ones least recently asked for go first, so
    // those on screen stay.
    static constexpr int MaxKilobytes = 64 * 1024;

    explicit FrameThumbnailCache(LedTreeModel* model, QObject* parent = nullptr);

    static QSize size(const LedLayout& layout);
    QPixmap thumbnail(const LedStateCommand* frame);
    // How many pictures have been drawn so far.
    int drawnCount() const;

private:
    void setLayout(const LedLayout& layout);
    QPixmap draw(const LedStateCommand* frame) const;
    void forget(const QModelIndex& index);
    void forgetNode(const AbstractCommand* node);
    void forgetRows(const QModelIndex& parent, int first, int last);

    LedTreeModel* m_pModel;
    QCache<const LedStateCommand*, QPixmap> m_Pictures;
    LedLayout m_Layout;
    QTransform m_ToPicture;
    QImage m_Body;
    // Each LED's centre in the picture's pixels.
    QVector<QPointF> m_Centres;
    // Where LEDs share pixels: the pixel each falls in, and how many fall in each pixel.
    QVector<int> m_Cells;
    QVector<int> m_CellCounts;
    std::unique_ptr<LedStamps> m_pStamps;
    bool m_LayoutSet;
    int m_DrawnCount;
};

#endif // FRAMETHUMBNAILCACHE_H
