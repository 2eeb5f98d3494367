#include "TreeView/LedTreeView.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "TreeView/LedTreeModel.h"
#include "common/TestData.h"

#include <QtTest>
#include <QtWidgets>

// The tree as the model shows it, e.g. "Sequence(LedState,LedState),Sequence()".
static QString outline(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        parts << index.data().toString() + (parent.isValid() ? QString() : '(' + outline(model, index) + ')');
    }
    return parts.join(QLatin1Char(','));
}

// Each test starts from the document's own tree view over two sequences, the first with two frames.
class tst_LedTreeView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pDocument = new LedPanelDocument;
        m_pView = m_pDocument->findChild<LedTreeView*>(QStringLiteral("treeView"));
        QVERIFY(readShow(*m_pDocument, showXml(sequenceXml(0, 2) + sequenceXml(1, 0))));
        m_pView->expandAll();
        m_pDocument->resize(600, 400);
        m_pDocument->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pDocument));
    }

    void cleanup() { delete m_pDocument; }

    // A right click on a sequence makes it current and shows import and export; elsewhere nothing shows.
    void contextMenu()
    {
        auto* popup = m_pView->findChild<QMenu*>(QStringLiteral("contextMenu_table"));
        QVERIFY(popup);
        QWidget* viewport = m_pView->viewport();
        AbstractCommand* other = m_pDocument->sequence(1);
        const QList<QPair<AbstractCommand*, bool>> clicks{
            {m_pDocument->sequence(0)->frame(1), false}, {nullptr, false}, {other, true}};
        for (const auto& click : clicks) {
            const QPoint pos = click.first ? m_pView->visualRect(index(click.first)).center()
                                           : QPoint(10, viewport->height() - 5);
            QTest::mousePress(viewport, Qt::RightButton, {}, pos);
            QContextMenuEvent request(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
            QApplication::sendEvent(viewport, &request);
            QTest::mouseRelease(viewport, Qt::RightButton, {}, pos);
            QCOMPARE(popup->isVisible(), click.second);
        }
        QCOMPARE(m_pView->currentIndex(), index(other));
        popup->hide();
    }

    void editingUnderTester()
    {
        LedTreeModel* model = m_pView->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        CommandList* sequence = m_pDocument->sequence(0);
        auto* third = new CommandList(m_pDocument);
        third->setData(0, QStringLiteral("Third"));
        model->insert(0, third, m_pDocument);
        auto* c = new LedStateCommand(sequence);
        c->setData(0, QStringLiteral("C"));
        model->insert(0, c, sequence);
        model->append(new LedStateCommand(third), third);
        QCOMPARE(outline(*model), QStringLiteral("Third(LedState),Sequence(C,LedState,LedState),Sequence()"));

        // Removing detaches only; the caller deletes.
        LedStateCommand* frame = sequence->frame(1);
        model->remove(frame);
        QVERIFY(!frame->parent());
        delete frame;
        model->remove(third);
        delete third;
        QCOMPARE(outline(*model), QStringLiteral("Sequence(C,LedState),Sequence()"));
    }

    // Frames alike in picture and name still differ in the number drawn beside the picture.
    void frameNumbers()
    {
        CommandList* sequence = m_pDocument->sequence(0);
        while (sequence->frameCount() < 40)
            m_pView->model()->append(new LedStateCommand(sequence), sequence);
        // Drawn by the view's delegate as the view would draw the row, unselected.
        const auto row = [&](int frame) {
            const QModelIndex at = index(sequence->frame(frame));
            QStyleOptionViewItem option;
            option.initFrom(m_pView);
            option.widget = m_pView;
            option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
            option.rect = QRect(QPoint(0, 0), m_pView->itemDelegate()->sizeHint(option, at));
            QImage image(option.rect.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            m_pView->itemDelegate()->paint(&painter, option, at);
            return image;
        };
        const QImage a = row(36);
        const QImage b = row(38);
        QCOMPARE(a.size(), b.size());
        QVERIFY(a != b);
    }

    // Qt refuses to drop into a selected row, so a sequence row selected with its frames (as a click on it and a
    // Shift-click on a frame leave it) leaves the selection as the drag starts. Offscreen, the drag ends at once.
    void dragTakesFramesOnly()
    {
        for (AbstractCommand* node : {m_pDocument->node(0), m_pDocument->node(0, 0), m_pDocument->node(0, 1)})
            m_pView->selectionModel()->select(index(node), QItemSelectionModel::Select);
        QWindow* window = m_pDocument->windowHandle();
        const QRect row = m_pView->visualRect(index(m_pDocument->node(0, 0)));
        const QPoint at = m_pView->viewport()->mapTo(m_pDocument, row.center());
        QTest::mousePress(window, Qt::LeftButton, {}, at);
        for (int step = 1; step <= 3; ++step)
            QTest::mouseMove(window, at + QPoint(0, 8 * step));
        QTest::mouseRelease(window, Qt::LeftButton, {}, at);
        QCOMPARE(m_pView->selectionModel()->selectedRows().size(), 2);
    }

private:
    QModelIndex index(AbstractCommand* node) const { return m_pView->model()->index(node); }

    LedPanelDocument* m_pDocument = nullptr;
    LedTreeView* m_pView = nullptr;
};

QTEST_MAIN(tst_LedTreeView)
#include "tst_LedTreeView.moc"
