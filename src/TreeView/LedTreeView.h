#ifndef LEDTREEVIEW_H
#define LEDTREEVIEW_H

#include <QTreeView>

class CommandList;
class LedStateCommand;
class LedTreeModel;
class QMenu;

// The tree of sequences and frames. The current item decides the document's
// right-hand page; a sequence offers CSV import and export.
class LedTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit LedTreeView(QWidget* parent = nullptr);
    ~LedTreeView() override;

    LedTreeModel* model() const;
    void setModel(LedTreeModel* model);

signals:
    void showMessage(const QString& text, int timeout = 2000);
    void setNone();
    void setSequence(CommandList* sequence);
    void setFrame(LedStateCommand* frame);
    // A right click on a frame: whoever edits frames shows its menu at this screen position.
    void frameMenuRequested(const QPoint& globalPos);

public slots:
    void customMenuRequested(QPoint pos);
    void sectionClicked(int logicalIndex);
    void importSequence();
    void exportSequence();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    // Only a LedTreeModel may be shown.
    using QTreeView::setModel;

    CommandList* currentSequence() const;

    QMenu* contextMenu_table;
    LedTreeModel* m_pOwnModel;
};

#endif // LEDTREEVIEW_H
