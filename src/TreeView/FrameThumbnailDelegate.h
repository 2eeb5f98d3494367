#ifndef FRAMETHUMBNAILDELEGATE_H
#define FRAMETHUMBNAILDELEGATE_H

#include <QStyledItemDelegate>

class FrameThumbnailCache;
class LedTreeView;

// Draws each frame row of the tree with its number, counted from 1, and a
// picture of its LEDs beside its name.
// Pictures come from a cache and are drawn only for rows that are painted;
// a row's size is known without drawing its picture.
class FrameThumbnailDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit FrameThumbnailDelegate(LedTreeView* view);

    FrameThumbnailCache* cache() const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    // Room for the widest number among the row's siblings, so the pictures line up.
    static int numberWidth(const QStyleOptionViewItem& option, const QModelIndex& index);

    FrameThumbnailCache* m_pCache;
};

#endif // FRAMETHUMBNAILDELEGATE_H
