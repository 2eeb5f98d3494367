#include "TreeView/LedTreeView.h"

#include "Abstract/AbstractCommand.h"
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "TreeView/FrameThumbnailDelegate.h"
#include "TreeView/LedTreeModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>

namespace {

AbstractCommand* nodeOf(const QModelIndex& index)
{
    return index.isValid() ? static_cast<AbstractCommand*>(index.internalPointer()) : nullptr;
}

} // namespace

LedTreeView::LedTreeView(QWidget* parent)
    : QTreeView(parent)
    , contextMenu_table(new QMenu(this))
    , m_pOwnModel(nullptr)
{
    contextMenu_table->setObjectName(QStringLiteral("contextMenu_table"));
    QAction* importAction = new QAction(QStringLiteral("import"), contextMenu_table);
    connect(importAction, &QAction::triggered, this, &LedTreeView::importSequence);
    contextMenu_table->addAction(importAction);
    QAction* exportAction = new QAction(QStringLiteral("export"), contextMenu_table);
    connect(exportAction, &QAction::triggered, this, &LedTreeView::exportSequence);
    contextMenu_table->addAction(exportAction);

    header()->hide();

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(customMenuRequested(QPoint)));

    m_pOwnModel = new LedTreeModel();
    setModel(m_pOwnModel);
    setItemDelegate(new FrameThumbnailDelegate(this));

    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Frames are dragged to a new place within their sequence (the model decides).
    setDragDropMode(QAbstractItemView::InternalMove);
    setDropIndicatorShown(true);
}

LedTreeView::~LedTreeView()
{
    // The model has no parent; detach it before it goes. Whoever listens to
    // the current-item signals may already be half destroyed, so the view
    // announces nothing while it dies.
    blockSignals(true);
    QTreeView::setModel(nullptr);
    delete m_pOwnModel;
}

LedTreeModel* LedTreeView::model() const
{
    return qobject_cast<LedTreeModel*>(QTreeView::model());
}

void LedTreeView::setModel(LedTreeModel* model)
{
    QTreeView::setModel(model);
}

void LedTreeView::customMenuRequested(QPoint pos)
{
    if (sender() != this)
        return;
    const AbstractCommand* item = nodeOf(indexAt(pos));
    if (item && item->type() == typeCommandList)
        contextMenu_table->popup(viewport()->mapToGlobal(pos));
    else if (item && item->type() == typeLedState)
        emit frameMenuRequested(viewport()->mapToGlobal(pos));
}

void LedTreeView::sectionClicked(int logicalIndex)
{
    emit showMessage(QStringLiteral("Left button mouse click at (header) row %1.").arg(logicalIndex), 2000);
}

CommandList* LedTreeView::currentSequence() const
{
    AbstractCommand* item = nodeOf(currentIndex());
    if (!item || item->type() != typeCommandList)
        return nullptr;
    return static_cast<CommandList*>(item);
}

void LedTreeView::importSequence()
{
    if (CommandList* sequence = currentSequence())
        sequence->importSequence();
}

void LedTreeView::exportSequence()
{
    if (CommandList* sequence = currentSequence())
        sequence->exportSequence();
}

void LedTreeView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->pos());
    emit showMessage(QStringLiteral("Left button mouse click at (table) index (%3,%4).")
                         .arg(index.row())
                         .arg(index.column()),
                     2000);
}

void LedTreeView::startDrag(Qt::DropActions supportedActions)
{
    // Only frames move. A sequence row selected with them, as a click on it and a Shift-click on a frame
    // leave it, would make the view refuse every drop into that sequence.
    QItemSelection sequences;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (!(index.flags() & Qt::ItemIsDragEnabled))
            sequences.select(index, index);
    }
    selectionModel()->select(sequences, QItemSelectionModel::Deselect);
    QTreeView::startDrag(supportedActions);
}

void LedTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    // Qt moves the current item to a neighbour only when that item itself is
    // removed. When it goes with a removed sequence, move it the same way, so
    // the document never keeps showing a frame that is gone.
    for (QModelIndex index = currentIndex().parent(); index.isValid(); index = index.parent()) {
        if (index.parent() != parent || index.row() < start || index.row() > end)
            continue;
        const QAbstractItemModel* items = QTreeView::model();
        if (start > 0)
            setCurrentIndex(items->index(start - 1, 0, parent));
        else if (end + 1 < items->rowCount(parent))
            setCurrentIndex(items->index(end + 1, 0, parent));
        else
            setCurrentIndex(parent);
        break;
    }
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void LedTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);

    AbstractCommand* item = nodeOf(current);
    if (!item) {
        emit setNone();
        return;
    }
    switch (item->type()) {
    case typeLedState:
        emit setFrame(static_cast<LedStateCommand*>(item));
        break;
    case typeCommandList:
        emit setSequence(static_cast<CommandList*>(item));
        break;
    default:
        emit setNone();
        break;
    }
}
