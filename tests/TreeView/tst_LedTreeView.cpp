#include "TreeView/LedTreeView.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "TreeView/LedTreeModel.h"

#include <QAbstractItemModelTester>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

// The tree as the model shows it, e.g. "Sequence(LedState,LedState),Sequence()".
static QString outline(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const bool ok = model.parent(index) == parent && index.row() == row;
        parts << index.data().toString() + (ok ? QString() : QStringLiteral("<bad>"))
                + (parent.isValid() ? QString() : QLatin1Char('(') + outline(model, index) + QLatin1Char(')'));
    }
    return parts.join(QLatin1Char(','));
}

// Each test starts from the document's own tree view over two sequences, the
// first with two frames.
class tst_LedTreeView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_pDocument; }
    void clicks_data();
    void clicks();
    void editingUnderTester();
    void rolesAndNames();

private:
    AbstractCommand* node(const QString& name) const { return m_Nodes.value(name); }
    QModelIndex index(const QString& name) const { return m_pView->model()->index(node(name)); }

    LedPanelDocument* m_pDocument = nullptr;
    LedTreeView* m_pView = nullptr;
    QHash<QString, AbstractCommand*> m_Nodes;
};

void tst_LedTreeView::init()
{
    m_pDocument = new LedPanelDocument;
    m_pView = m_pDocument->findChild<LedTreeView*>(QStringLiteral("treeView"));
    LedTreeModel* model = m_pView->model();
    auto* sequence = new CommandList(m_pDocument);
    model->append(sequence, nullptr);
    m_Nodes = {{"sequence", sequence}, {"other", new CommandList(m_pDocument)}};
    for (const char* name : {"frame0", "frame1"}) {
        m_Nodes.insert(name, new LedStateCommand(sequence));
        model->append(node(name), sequence);
    }
    model->append(node("other"), nullptr);
    m_pView->expandAll();
    m_pDocument->resize(600, 400);
    m_pDocument->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pDocument));
}

void tst_LedTreeView::clicks_data()
{
    QTest::addColumn<QString>("where"); // empty: below the rows
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("menu");

    const QString text = QStringLiteral("Left button mouse click at (table) index (%1).");
    QTest::newRow("left, first row") << "sequence" << int(Qt::LeftButton) << text.arg("0,0") << false;
    QTest::newRow("left, empty space") << "" << int(Qt::LeftButton) << text.arg("-1,-1") << false;
    QTest::newRow("right, sequence") << "sequence" << int(Qt::RightButton) << "" << true;
    QTest::newRow("right, frame") << "frame0" << int(Qt::RightButton) << "" << false;
    QTest::newRow("right, empty space") << "" << int(Qt::RightButton) << "" << false;
}

void tst_LedTreeView::clicks()
{
    QFETCH(QString, where);
    QFETCH(int, button);
    QFETCH(QString, text);
    QFETCH(bool, menu);

    QWidget* viewport = m_pView->viewport();
    const QPoint pos = where.isEmpty() ? QPoint(10, viewport->height() - 5) : m_pView->visualRect(index(where)).center();
    QSignalSpy messages(m_pView, &LedTreeView::showMessage);
    QTest::mousePress(viewport, Qt::MouseButton(button), {}, pos);
    if (button == Qt::RightButton) {
        QContextMenuEvent request(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
        QApplication::sendEvent(viewport, &request);
    }
    QTest::mouseRelease(viewport, Qt::MouseButton(button), {}, pos);

    QCOMPARE(messages, (text.isEmpty() ? QList<QVariantList>() : QList<QVariantList>{{text, 2000}}));
    auto* popup = m_pView->findChild<QMenu*>(QStringLiteral("contextMenu_table"));
    QVERIFY(popup);
    QCOMPARE(popup->isVisible(), menu);
    if (menu) {
        QCOMPARE(popup->actions().value(0)->text(), QStringLiteral("import"));
        QCOMPARE(popup->actions().value(1)->text(), QStringLiteral("export"));
        QCOMPARE(m_pView->currentIndex(), index(where));
        popup->hide();
    }
}

void tst_LedTreeView::editingUnderTester()
{
    LedTreeModel* model = m_pView->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(outline(*model), QStringLiteral("Sequence(LedState,LedState),Sequence()"));

    auto* sequence = static_cast<CommandList*>(node("sequence"));
    auto* third = new CommandList(m_pDocument);
    third->setData(0, QStringLiteral("Third"));
    model->insert(0, third, m_pDocument);
    auto* c = new LedStateCommand(sequence);
    c->setData(0, QStringLiteral("C"));
    model->insert(0, c, sequence);
    model->append(new LedStateCommand(third), third);
    QCOMPARE(outline(*model), QStringLiteral("Third(LedState),Sequence(C,LedState,LedState),Sequence()"));
    QVERIFY(!model->index(m_pDocument).isValid());

    // Removing detaches only; the caller deletes.
    AbstractCommand* frame0 = node("frame0");
    model->remove(frame0);
    QVERIFY(!frame0->parent());
    delete frame0;
    model->remove(third);
    delete third;
    QCOMPARE(outline(*model), QStringLiteral("Sequence(C,LedState),Sequence()"));
}

void tst_LedTreeView::rolesAndNames()
{
    LedTreeModel* model = m_pView->model();
    const QModelIndex index = model->index(0, 0);
    QCOMPARE(model->data(index, Qt::TextAlignmentRole), QVariant(uint(Qt::AlignLeft | Qt::AlignVCenter)));
    QCOMPARE(model->flags(index), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    QVERIFY(!model->setData(index, QStringLiteral("Intro"), Qt::DisplayRole));
    QVERIFY(model->setData(index, 12, Qt::EditRole));
    QCOMPARE(index.data(), QVariant(QStringLiteral("12")));
    QVERIFY(!node("sequence")->setData(1, QStringLiteral("x")) && !node("sequence")->data(1).isValid());

    // A frame of a sequence outside any document has no layout to take its LEDs from.
    CommandList orphan(nullptr);
    QVERIFY(LedStateCommand(&orphan).leds().isEmpty());
}

QTEST_MAIN(tst_LedTreeView)
#include "tst_LedTreeView.moc"
