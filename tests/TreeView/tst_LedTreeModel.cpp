#include "TreeView/LedTreeModel.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

// The tree as the model shows it: "Sequence(LedState,LedState),Sequence()".
QString outline(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        QString part = index.data().toString();
        if (model.parent(index) != parent)
            part += QStringLiteral("<bad parent>");
        if (model.rowCount(index) > 0 || !parent.isValid())
            part += QLatin1Char('(') + outline(model, index) + QLatin1Char(')');
        parts << part;
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

class tst_LedTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void withoutRoot();
    void editingUnderTester();
    void indexOfNode();
    void roles_data();
    void roles();
    void setDataRenames_data();
    void setDataRenames();
    void higherColumnsHaveNoRows();
};

void tst_LedTreeModel::withoutRoot()
{
    LedTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 1);
    QVERIFY(!model.index(0, 0).isValid());
}

void tst_LedTreeModel::editingUnderTester()
{
    LedPanelDocument document;
    LedTreeModel* model = document.treeModel();
    QVERIFY(model);
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);

    QCOMPARE(outline(*model), QString());

    auto* first = new CommandList(&document);
    model->append(first, nullptr);
    QCOMPARE(outline(*model), QStringLiteral("Sequence()"));

    auto* a = new LedStateCommand(first);
    auto* b = new LedStateCommand(first);
    model->append(a, first);
    model->append(b, first);
    first->setLabel(QStringLiteral("ignored by the tree"));
    QCOMPARE(outline(*model), QStringLiteral("Sequence(LedState,LedState)"));
    QCOMPARE(model->index(1, 0, model->index(first)).internalPointer(), static_cast<void*>(b));

    auto* second = new CommandList(&document);
    second->setData(0, QStringLiteral("Second"));
    model->insert(0, second, &document);
    auto* c = new LedStateCommand(first);
    c->setData(0, QStringLiteral("C"));
    model->insert(0, c, first);
    QCOMPARE(outline(*model), QStringLiteral("Second(),Sequence(C,LedState,LedState)"));
    QCOMPARE(inserted.count(), 5);
    QCOMPARE(a->index(), 1);

    model->remove(a);
    QVERIFY(a->parent() == nullptr);
    delete a;
    QCOMPARE(outline(*model), QStringLiteral("Second(),Sequence(C,LedState)"));
    QCOMPARE(model->index(1, 0, model->index(first)).internalPointer(), static_cast<void*>(b));

    // A sequence goes with its frames.
    model->remove(first);
    QCOMPARE(removed.count(), 2);
    QCOMPARE(removed.last().at(1).toInt(), 1);
    QVERIFY(!removed.last().at(0).value<QModelIndex>().isValid());
    delete first;
    QCOMPARE(outline(*model), QStringLiteral("Second()"));
}

void tst_LedTreeModel::indexOfNode()
{
    LedPanelDocument document;
    LedTreeModel* model = document.treeModel();
    auto* sequence = new CommandList(&document);
    model->append(sequence, nullptr);
    model->append(new LedStateCommand(sequence), sequence);
    auto* frame = new LedStateCommand(sequence);
    model->append(frame, sequence);

    QVERIFY(!model->index(&document).isValid());
    const QModelIndex frameIndex = model->index(frame);
    QCOMPARE(frameIndex.row(), 1);
    QCOMPARE(frameIndex.column(), 0);
    QCOMPARE(frameIndex.internalPointer(), static_cast<void*>(frame));
    QCOMPARE(model->parent(frameIndex), model->index(sequence));
    QCOMPARE(model->index(1, 0, model->index(sequence)), frameIndex);
    QVERIFY(!model->index(2, 0, model->index(sequence)).isValid());
    QVERIFY(!model->index(0, 1, model->index(sequence)).isValid());
}

void tst_LedTreeModel::roles_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("display") << int(Qt::DisplayRole) << QVariant(QStringLiteral("Sequence"));
    QTest::newRow("edit") << int(Qt::EditRole) << QVariant(QStringLiteral("Sequence"));
    QTest::newRow("alignment") << int(Qt::TextAlignmentRole) << QVariant(uint(Qt::AlignLeft | Qt::AlignVCenter));
    QTest::newRow("tooltip") << int(Qt::ToolTipRole) << QVariant();
    QTest::newRow("decoration") << int(Qt::DecorationRole) << QVariant();
}

void tst_LedTreeModel::roles()
{
    QFETCH(int, role);
    QFETCH(QVariant, expected);

    LedPanelDocument document;
    LedTreeModel* model = document.treeModel();
    model->append(new CommandList(&document), nullptr);
    const QModelIndex index = model->index(0, 0);

    QCOMPARE(model->data(index, role), expected);
    QCOMPARE(model->data(QModelIndex(), role), QVariant());
    QCOMPARE(model->flags(index), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

void tst_LedTreeModel::setDataRenames_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("name");

    QTest::newRow("edit role") << int(Qt::EditRole) << true << QStringLiteral("Intro");
    QTest::newRow("display role") << int(Qt::DisplayRole) << false << QStringLiteral("Sequence");
}

void tst_LedTreeModel::setDataRenames()
{
    QFETCH(int, role);
    QFETCH(bool, accepted);
    QFETCH(QString, name);

    LedPanelDocument document;
    LedTreeModel* model = document.treeModel();
    auto* sequence = new CommandList(&document);
    model->append(sequence, nullptr);

    QCOMPARE(model->setData(model->index(0, 0), QStringLiteral("Intro"), role), accepted);
    QCOMPARE(sequence->name(), name);
    QVERIFY(!model->setData(QModelIndex(), QStringLiteral("x"), Qt::EditRole));
}

void tst_LedTreeModel::higherColumnsHaveNoRows()
{
    LedPanelDocument document;
    LedTreeModel* model = document.treeModel();
    auto* sequence = new CommandList(&document);
    model->append(sequence, nullptr);
    model->append(new LedStateCommand(sequence), sequence);

    const QModelIndex column0 = model->index(0, 0);
    QCOMPARE(model->rowCount(column0), 1);
    ColumnProbe probe;
    probe.setRootItem(&document);
    QCOMPARE(probe.rowCount(probe.at(0, 0, sequence)), 1);
    QCOMPARE(probe.rowCount(probe.at(0, 1, sequence)), 0);
    QCOMPARE(probe.rowCount(probe.at(0, 3, sequence)), 0);
    QCOMPARE(model->columnCount(column0), 1);
    QCOMPARE(model->columnCount(model->index(0, 0, column0)), 1);
}

QTEST_MAIN(tst_LedTreeModel)
#include "tst_LedTreeModel.moc"
