#ifndef FRAMETHUMBNAILCACHE_H
#define FRAMETHUMBNAILCACHE_H

#include "Data/LedLayout.h"

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
// with every LED at least two pixels across. A picture is
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
    QTransform m_ToPicture;
    bool m_LayoutSet;
    int m_DrawnCount;
};

#endif // FRAMETHUMBNAILCACHE_H
