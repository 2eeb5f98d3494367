#ifndef FRAMETHUMBNAILCACHE_H
#define FRAMETHUMBNAILCACHE_H

#include "Data/LedLayout.h"

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QVector>

class AbstractCommand;
class LedStateCommand;
class LedTreeModel;
class QModelIndex;

// Small pictures of frames for the tree: the panel body, darker than in the LED
// view so the dots stand out, with every LED as a dot, lit ones yellow and dark
// ones grey as in the LED view. A picture is
// drawn when it is first asked for and kept until its frame changes or leaves
// the tree, so a long sequence costs only the rows that are looked at.
class FrameThumbnailCache : public QObject
{
    Q_OBJECT

public:
    static constexpr int Height = 40;
    // More pictures than this are not kept; the ones least recently asked for go first.
    static constexpr int MaxPictures = 4096;

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
    QPixmap m_Body;
    QVector<QPointF> m_Dots;
    qreal m_DotRadius;
    int m_DrawnCount;
};

#endif // FRAMETHUMBNAILCACHE_H
