#include "TreeView/FrameThumbnailDelegate.h"

#include "Abstract/AbstractCommand.h"
#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "TreeView/FrameThumbnailCache.h"
#include "TreeView/LedTreeView.h"

#include <QApplication>

namespace {

const LedStateCommand* frameOf(const QModelIndex& index)
{
    const auto* node = static_cast<const AbstractCommand*>(index.internalPointer());
    return node && node->type() == typeLedState ? static_cast<const LedStateCommand*>(node) : nullptr;
}

} // namespace

FrameThumbnailDelegate::FrameThumbnailDelegate(LedTreeView* view)
    : QStyledItemDelegate(view)
    , m_pCache(new FrameThumbnailCache(view->model(), this))
{
}

FrameThumbnailCache* FrameThumbnailDelegate::cache() const
{
    return m_pCache;
}

QSize FrameThumbnailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    // The base's options only: measuring a row must not draw its picture.
    QStyledItemDelegate::initStyleOption(&opt, index);
    if (const LedStateCommand* frame = frameOf(index)) {
        opt.features |= QStyleOptionViewItem::HasDecoration;
        opt.decorationSize = FrameThumbnailCache::size(frame->sequence()->document()->panelLayout());
    }
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    return style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), opt.widget);
}

void FrameThumbnailDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const LedStateCommand* frame = frameOf(index);
    if (!frame)
        return;
    const QPixmap picture = m_pCache->thumbnail(frame);
    QIcon icon(picture);
    // The LEDs keep their colours in a selected row.
    icon.addPixmap(picture, QIcon::Selected);
    option->icon = icon;
    option->decorationSize = picture.size();
    option->features |= QStyleOptionViewItem::HasDecoration;
}
