#include "TreeView/LedTreeModel.h"

#include "Abstract/AbstractCommand.h"
#include "Data/FrameClipboard.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Data/MoveFramesEdit.h"

#include <QDataStream>
#include <QMimeData>

#include <algorithm>

namespace {

// Which frames a drag carries: the model it started in, the sequence and the rows.
const char* const RowsMimeType = "application/x-tessaloom-frame-rows";

} // namespace

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
    const Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    const AbstractCommand* item = index.isValid() ? node(index) : nullptr;
    if (item && item->type() == typeLedState)
        return flags | Qt::ItemIsDragEnabled;
    if (item && item->type() == typeCommandList)
        return flags | Qt::ItemIsDropEnabled;
    return flags;
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

void LedTreeModel::layoutAboutToBeChanged()
{
    // Every frame's picture and size change; no node moves.
    emit QAbstractItemModel::layoutAboutToBeChanged();
}

void LedTreeModel::layoutChanged()
{
    emit QAbstractItemModel::layoutChanged();
}

void LedTreeModel::showAboutToBeReset()
{
    beginResetModel();
}

void LedTreeModel::showReset()
{
    endResetModel();
}

Qt::DropActions LedTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions LedTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList LedTreeModel::mimeTypes() const
{
    return { QLatin1String(RowsMimeType) };
}

QMimeData* LedTreeModel::mimeData(const QModelIndexList& indexes) const
{
    // The frames of the first dragged frame's sequence, in their order.
    const AbstractCommand* sequence = nullptr;
    QList<int> rows;
    for (const QModelIndex& index : indexes) {
        const AbstractCommand* item = index.isValid() ? node(index) : nullptr;
        if (!item || item->type() != typeLedState || (sequence && item->parent() != sequence))
            continue;
        sequence = item->parent();
        rows.append(index.row());
    }
    if (!sequence)
        return nullptr;
    std::sort(rows.begin(), rows.end());

    auto* data = new QMimeData;
    FrameClipboard::Frames frames;
    for (int row : qAsConst(rows))
        frames.append(static_cast<const LedStateCommand*>(sequence->childs().at(row))->intensities());
    FrameClipboard::store(data, frames);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint64(quintptr(this)) << qint32(sequence->index()) << rows;
    data->setData(QLatin1String(RowsMimeType), bytes);
    return data;
}

bool LedTreeModel::draggedRows(const QMimeData* data, const QModelIndex& parent, QList<int>* rows) const
{
    const AbstractCommand* sequence = parent.isValid() ? node(parent) : nullptr;
    if (!data || !sequence || sequence->type() != typeCommandList || !data->hasFormat(QLatin1String(RowsMimeType)))
        return false;
    QDataStream in(data->data(QLatin1String(RowsMimeType)));
    quint64 model = 0;
    qint32 sequenceRow = -1;
    in >> model >> sequenceRow >> *rows;
    if (in.status() != QDataStream::Ok || model != quint64(quintptr(this)) || sequenceRow != parent.row()
        || rows->isEmpty())
        return false;
    const int frames = sequence->childs().count();
    return std::all_of(rows->cbegin(), rows->cend(), [frames](int row) { return row >= 0 && row < frames; });
}

bool LedTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                   const QModelIndex& parent) const
{
    Q_UNUSED(row)
    Q_UNUSED(column)
    QList<int> rows;
    return action == Qt::MoveAction && draggedRows(data, parent, &rows);
}

bool LedTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                const QModelIndex& parent)
{
    Q_UNUSED(column)
    QList<int> rows;
    if (action != Qt::MoveAction || !draggedRows(data, parent, &rows))
        return false;
    // Dropped on the sequence itself: to its end. A view then asks to remove the
    // dragged rows; removeRows is left unimplemented, so the move is all that happens.
    return moveFrames(parent, rows, row < 0 ? rowCount(parent) : row);
}

bool LedTreeModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                            const QModelIndex& destinationParent, int destinationChild)
{
    const AbstractCommand* sequence = sourceParent.isValid() ? node(sourceParent) : nullptr;
    if (sourceParent != destinationParent || !sequence || sequence->type() != typeCommandList || count <= 0
        || sourceRow < 0 || sourceRow + count > rowCount(sourceParent) || destinationChild < 0
        || destinationChild > rowCount(sourceParent))
        return false;
    QList<int> rows;
    for (int row = sourceRow; row < sourceRow + count; ++row)
        rows.append(row);
    return moveFrames(sourceParent, rows, destinationChild);
}

bool LedTreeModel::moveFrames(const QModelIndex& parent, const QList<int>& rows, int destination)
{
    if (!m_pShow)
        return false;
    auto* edit = new MoveFramesEdit(tr("Move frame"), parent.row(), rows, destination);
    if (edit->isEmpty()) {
        delete edit;
        return false;
    }
    return m_pShow->submit(edit);
}
