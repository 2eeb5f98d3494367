#include "TreeView/LedTreeView.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "TreeView/LedTreeModel.h"

#include <QAbstractItemModelTester>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(CommandList*)
Q_DECLARE_METATYPE(LedStateCommand*)

namespace {

// The tree as the model shows it, e.g. "Sequence(LedState,LedState),Sequence()".
QString outline(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
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

// Makes the column-1 indexes that a view with more columns would ask about.
class ColumnProbe : public LedTreeModel
{
public:
    QModelIndex at(int row, int column, AbstractCommand* node) const { return createIndex(row, column, node); }
};

} // namespace

// Each test starts from the document's own tree view over two sequences, the
// first with two frames.
class tst_LedTreeView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_pDocument; m_pDocument = nullptr; }
    void currentItemSignals_data();
    void currentItemSignals();
    void removingCurrentRow();
    void clicks_data();
    void clicks();
    void modelDiesWithView();
    void editingUnderTester();
    void rolesAndColumns();

private:
    AbstractCommand* node(const QString& name) const { return m_Nodes.value(name); }
    QModelIndex index(const QString& name) const { return m_pView->model()->index(node(name)); }

    LedPanelDocument* m_pDocument = nullptr;
    LedTreeView* m_pView = nullptr;
    QHash<QString, AbstractCommand*> m_Nodes;
};

void tst_LedTreeView::init()
{
    qRegisterMetaType<CommandList*>();
    qRegisterMetaType<LedStateCommand*>();
    m_pDocument = new LedPanelDocument;
    m_pView = m_pDocument->findChild<LedTreeView*>(QStringLiteral("treeView"));
    QVERIFY(m_pView);
    LedTreeModel* model = m_pView->model();
    auto* sequence = new CommandList(m_pDocument);
    model->append(sequence, nullptr);
    m_Nodes = {{QStringLiteral("sequence"), sequence}, {QStringLiteral("other"), new CommandList(m_pDocument)}};
    for (const QString& name : {QStringLiteral("frame0"), QStringLiteral("frame1")}) {
        m_Nodes.insert(name, new LedStateCommand(sequence));
        model->append(node(name), sequence);
    }
    model->append(node(QStringLiteral("other")), nullptr);
    m_pView->expandAll();
    m_pDocument->resize(600, 400);
    m_pDocument->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pDocument));
}

void tst_LedTreeView::currentItemSignals_data()
{
    QTest::addColumn<QString>("to"); // empty: no current item
    QTest::addColumn<int>("type");   // of the announced node; 0: setNone

    QTest::newRow("frame") << QStringLiteral("frame1") << 1;
    QTest::newRow("sequence") << QStringLiteral("other") << 2;
    QTest::newRow("none") << QString() << 0;
}

void tst_LedTreeView::currentItemSignals()
{
    QFETCH(QString, to);
    QFETCH(int, type);

    m_pView->setCurrentIndex(index(QStringLiteral("frame0")));
    QSignalSpy none(m_pView, &LedTreeView::setNone);
    QSignalSpy sequence(m_pView, &LedTreeView::setSequence);
    QSignalSpy frame(m_pView, &LedTreeView::setFrame);
    if (to.isEmpty())
        m_pView->setCurrentIndex(QModelIndex());
    else
        QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, {}, m_pView->visualRect(index(to)).center());

    QCOMPARE(none.count(), type == 0 ? 1 : 0);
    QCOMPARE(frame.count(), type == 1 ? 1 : 0);
    QCOMPARE(sequence.count(), type == 2 ? 1 : 0);
    if (type == 1)
        QCOMPARE(static_cast<AbstractCommand*>(frame.first().first().value<LedStateCommand*>()), node(to));
    if (type == 2)
        QCOMPARE(static_cast<AbstractCommand*>(sequence.first().first().value<CommandList*>()), node(to));
}

void tst_LedTreeView::removingCurrentRow()
{
    LedTreeModel* model = m_pView->model();
    m_pView->setCurrentIndex(index(QStringLiteral("frame0")));
    QSignalSpy frame(m_pView, &LedTreeView::setFrame);
    AbstractCommand* removed = node(QStringLiteral("frame0"));
    model->remove(removed);
    delete removed;
    // Announced during the removal, before the caller could delete the frame.
    QCOMPARE(frame.count(), 1);
    QCOMPARE(static_cast<AbstractCommand*>(frame.first().first().value<LedStateCommand*>()), node(QStringLiteral("frame1")));

    model->remove(node(QStringLiteral("sequence")));
    delete node(QStringLiteral("sequence"));
    m_pView->setCurrentIndex(index(QStringLiteral("other")));
    QSignalSpy none(m_pView, &LedTreeView::setNone);
    model->remove(node(QStringLiteral("other")));
    delete node(QStringLiteral("other"));
    QCOMPARE(none.count(), 1);
}

void tst_LedTreeView::clicks_data()
{
    QTest::addColumn<QString>("where"); // empty: below the rows
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("menu");

    const QString text = QStringLiteral("Left button mouse click at (table) index (%1).");
    QTest::newRow("left, first row") << "sequence" << int(Qt::LeftButton) << text.arg("0,0") << false;
    QTest::newRow("left, second frame") << "frame1" << int(Qt::LeftButton) << text.arg("1,0") << false;
    QTest::newRow("left, empty space") << "" << int(Qt::LeftButton) << text.arg("-1,-1") << false;
    QTest::newRow("right, sequence") << "sequence" << int(Qt::RightButton) << "" << true;
    QTest::newRow("right, second sequence") << "other" << int(Qt::RightButton) << "" << true;
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

    QCOMPARE(messages.count(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty())
        QCOMPARE(messages.first(), QVariantList({text, 2000}));
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

void tst_LedTreeView::modelDiesWithView()
{
    QPointer<LedTreeModel> model;
    {
        LedTreeView view;
        model = view.model();
        QVERIFY(model);
    }
    QVERIFY(model.isNull());
}

void tst_LedTreeView::editingUnderTester()
{
    LedTreeModel* model = m_pView->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(outline(*model), QStringLiteral("Sequence(LedState,LedState),Sequence()"));

    auto* sequence = static_cast<CommandList*>(node(QStringLiteral("sequence")));
    auto* third = new CommandList(m_pDocument);
    third->setData(0, QStringLiteral("Third"));
    model->insert(0, third, m_pDocument);
    auto* c = new LedStateCommand(sequence);
    c->setData(0, QStringLiteral("C"));
    model->insert(0, c, sequence);
    model->append(new LedStateCommand(third), third);
    QCOMPARE(outline(*model), QStringLiteral("Third(LedState),Sequence(C,LedState,LedState),Sequence()"));
    QCOMPARE(model->parent(model->index(c)), model->index(sequence));
    QVERIFY(!model->index(m_pDocument).isValid());

    AbstractCommand* frame0 = node(QStringLiteral("frame0"));
    model->remove(frame0);
    QVERIFY(!frame0->parent());
    delete frame0;
    QCOMPARE(outline(*model), QStringLiteral("Third(LedState),Sequence(C,LedState),Sequence()"));
    model->remove(third);
    delete third;
    QCOMPARE(outline(*model), QStringLiteral("Sequence(C,LedState),Sequence()"));
}

void tst_LedTreeView::rolesAndColumns()
{
    LedTreeModel* model = m_pView->model();
    const QModelIndex index = model->index(0, 0);
    QCOMPARE(model->data(index, Qt::TextAlignmentRole), QVariant(uint(Qt::AlignLeft | Qt::AlignVCenter)));
    QCOMPARE(model->data(index, Qt::ToolTipRole), QVariant());
    QCOMPARE(model->flags(index), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    QVERIFY(!model->setData(index, QStringLiteral("Intro"), Qt::DisplayRole));
    QVERIFY(model->setData(index, QStringLiteral("Intro"), Qt::EditRole));
    QCOMPARE(node(QStringLiteral("sequence"))->name(), QStringLiteral("Intro"));

    ColumnProbe probe;
    probe.setRootItem(m_pDocument);
    QCOMPARE(probe.rowCount(probe.at(0, 0, node(QStringLiteral("sequence")))), 2);
    QCOMPARE(probe.rowCount(probe.at(0, 1, node(QStringLiteral("sequence")))), 0);
    QCOMPARE(probe.columnCount(probe.at(0, 0, node(QStringLiteral("sequence")))), 1);
}

QTEST_MAIN(tst_LedTreeView)
#include "tst_LedTreeView.moc"
