#ifndef LEDTREEMODEL_H
#define LEDTREEMODEL_H

#include <QAbstractItemModel>

class AbstractCommand;
class LedPanelDocument;

// The document's command tree as an item model: sequences at the top level,
// their frames below. Indexes point straight at the nodes; nothing is copied.
class LedTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit LedTreeModel(QObject* parent = nullptr);

    void setRootItem(LedPanelDocument* document);

    QModelIndex index(AbstractCommand* item) const;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Structural changes while a view shows the tree go through these.
    void append(AbstractCommand* item, AbstractCommand* parent);
    void insert(int row, AbstractCommand* item, AbstractCommand* parent);
    void remove(AbstractCommand* item);

private:
    AbstractCommand* node(const QModelIndex& index) const;

    AbstractCommand* m_pRootItem;
};

#endif // LEDTREEMODEL_H
