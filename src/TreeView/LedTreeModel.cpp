#include "TreeView/LedTreeModel.h"

#include "Abstract/AbstractCommand.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"

LedTreeModel::LedTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
    , m_pRootItem(nullptr)
    , m_pShow(nullptr)
{
}

LedTreeModel::~LedTreeModel()
{
    if (m_pShow)
        m_pShow->removeObserver(this);
}

void LedTreeModel::setRootItem(LedPanelModel* document)
{
    beginResetModel();
    if (m_pShow)
        m_pShow->removeObserver(this);
    m_pShow = document;
    m_pRootItem = document;
    if (m_pShow)
        m_pShow->addObserver(this);
    endResetModel();
}

AbstractCommand* LedTreeModel::node(const QModelIndex& index) const
{
    if (!index.isValid())
        return m_pRootItem;
    return static_cast<AbstractCommand*>(index.internalPointer());
}

QModelIndex LedTreeModel::index(AbstractCommand* item) const
{
    if (!item || item == m_pRootItem)
        return QModelIndex();
    return createIndex(item->index(), 0, item);
}

QModelIndex LedTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    AbstractCommand* parentItem = node(parent);
    AbstractCommand* child = parentItem->childs().value(row, nullptr);
    if (!child)
        return QModelIndex();
    return createIndex(row, column, child);
}

QModelIndex LedTreeModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return QModelIndex();
    AbstractCommand* parentItem = node(index)->parent();
    if (!parentItem || parentItem == m_pRootItem)
        return QModelIndex();
    return createIndex(parentItem->index(), 0, parentItem);
}

int LedTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const AbstractCommand* parentItem = node(parent);
    return parentItem ? parentItem->childs().count() : 0;
}

int LedTreeModel::columnCount(const QModelIndex& parent) const
{
    Q_UNUSED(parent)
    return 1;
}

Qt::ItemFlags LedTreeModel::flags(const QModelIndex& index) const
{
    return QAbstractItemModel::flags(index);
}

QVariant LedTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node(index)->data(index.column());
    case Qt::TextAlignmentRole:
        return uint(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool LedTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    if (!node(index)->setData(index.column(), value))
        return false;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void LedTreeModel::append(AbstractCommand* item, AbstractCommand* parent)
{
    if (!parent)
        parent = m_pRootItem;
    Q_ASSERT(parent);
    Q_ASSERT(item);

    const int row = parent->childs().count();
    beginInsertRows(index(parent), row, row);
    parent->appendChild(item);
    endInsertRows();
}

void LedTreeModel::insert(int row, AbstractCommand* item, AbstractCommand* parent)
{
    Q_ASSERT(parent);
    Q_ASSERT(item);
    Q_ASSERT(row >= 0 && row <= parent->childs().count());

    beginInsertRows(index(parent), row, row);
    parent->insertChild(row, item);
    endInsertRows();
}

void LedTreeModel::remove(AbstractCommand* item)
{
    Q_ASSERT(item);
    AbstractCommand* parentItem = item->parent();
    Q_ASSERT(parentItem);

    const int row = item->index();
    beginRemoveRows(index(parentItem), row, row);
    parentItem->removeChild(item);
    endRemoveRows();
}

void LedTreeModel::nodesAboutToBeInserted(AbstractCommand* parent, int first, int last)
{
    beginInsertRows(index(parent), first, last);
}

void LedTreeModel::nodesInserted(AbstractCommand*, int, int)
{
    endInsertRows();
}

void LedTreeModel::nodesAboutToBeRemoved(AbstractCommand* parent, int first, int last)
{
    beginRemoveRows(index(parent), first, last);
}

void LedTreeModel::nodesRemoved(AbstractCommand*, int, int)
{
    endRemoveRows();
}

void LedTreeModel::nodesAboutToBeMoved(AbstractCommand* parent, int first, int last, int destination)
{
    const QModelIndex parentIndex = index(parent);
    beginMoveRows(parentIndex, first, last, parentIndex, destination);
}

void LedTreeModel::nodesMoved(AbstractCommand*, int, int, int)
{
    endMoveRows();
}

void LedTreeModel::ledsChanged(LedStateCommand* frame)
{
    const QModelIndex frameIndex = index(frame);
    emit dataChanged(frameIndex, frameIndex, { Qt::DecorationRole });
    emit frameChanged(frameIndex);
}

void LedTreeModel::infoChanged()
{
}

void LedTreeModel::showAboutToBeReset()
{
    beginResetModel();
}

void LedTreeModel::showReset()
{
    endResetModel();
}
