#include "TreeView/FrameThumbnailDelegate.h"

#include "Abstract/AbstractCommand.h"
#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "TreeView/FrameThumbnailCache.h"
#include "TreeView/LedTreeView.h"

#include <QApplication>
#include <QPainter>

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
    QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), opt.widget);
    if (frameOf(index))
        size.rwidth() += numberWidth(opt, index);
    return size;
}

int FrameThumbnailDelegate::numberWidth(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const int widest = index.model()->rowCount(index.parent());
    return option.fontMetrics.horizontalAdvance(QString::number(widest)) + option.fontMetrics.averageCharWidth();
}

void FrameThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    if (!frameOf(index))
        return QStyledItemDelegate::paint(painter, option, index);

    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The row's background runs under the number too.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const int width = numberWidth(opt, index);
    QRect numberRect = opt.rect;
    numberRect.setWidth(width - opt.fontMetrics.averageCharWidth() / 2);
    const QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                   : QPalette::Text));
    painter->drawText(numberRect, Qt::AlignRight | Qt::AlignVCenter, QString::number(index.row() + 1));
    painter->restore();

    QStyleOptionViewItem rest = option;
    rest.rect.setLeft(option.rect.left() + width);
    QStyledItemDelegate::paint(painter, rest, index);
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
