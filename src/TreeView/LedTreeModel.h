#ifndef LEDTREEMODEL_H
#define LEDTREEMODEL_H

#include "Data/LedPanelObserver.h"

#include <QAbstractItemModel>

class AbstractCommand;
class LedPanelModel;

// The document's command tree as an item model: sequences at the top level,
// their frames below. Indexes point straight at the nodes; nothing is copied.
// It follows every edit of the show.
class LedTreeModel : public QAbstractItemModel, private LedPanelObserver
{
    Q_OBJECT

public:
    explicit LedTreeModel(QObject* parent = nullptr);
    ~LedTreeModel() override;

    void setRootItem(LedPanelModel* document);

    QModelIndex index(AbstractCommand* item) const;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Frames are dragged within their sequence; the move is an edit of the show.
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                  int destinationChild) override;

    // Structural changes made outside the show's edits go through these.
    void append(AbstractCommand* item, AbstractCommand* parent);
    void insert(int row, AbstractCommand* item, AbstractCommand* parent);
    void remove(AbstractCommand* item);

signals:
    // The intensities of a frame changed.
    void frameChanged(const QModelIndex& frame);

private:
    AbstractCommand* node(const QModelIndex& index) const;
    // The frames a drag of ours carries, as rows of the given sequence; false for anything else.
    bool draggedRows(const QMimeData* data, const QModelIndex& parent, QList<int>* rows) const;
    bool moveFrames(const QModelIndex& parent, const QList<int>& rows, int destination);

    void nodesAboutToBeInserted(AbstractCommand* parent, int first, int last) override;
    void nodesInserted(AbstractCommand* parent, int first, int last) override;
    void nodesAboutToBeRemoved(AbstractCommand* parent, int first, int last) override;
    void nodesRemoved(AbstractCommand* parent, int first, int last) override;
    void nodesAboutToBeMoved(AbstractCommand* parent, int first, int last, int destination) override;
    void nodesMoved(AbstractCommand* parent, int first, int last, int destination) override;
    void ledsChanged(LedStateCommand* frame) override;
    void infoChanged() override;
    void showAboutToBeReset() override;
    void showReset() override;
    void layoutAboutToBeChanged() override;
    void layoutChanged() override;

    AbstractCommand* m_pRootItem;
    LedPanelModel* m_pShow;
};

#endif // LEDTREEMODEL_H
