#include "TreeView/LedTreeModel.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"

#include <QAbstractItemModelTester>
#include <QtTest>

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

class tst_LedTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void editingUnderTester();
    void rolesAndColumns();
};

void tst_LedTreeModel::editingUnderTester()
{
    LedPanelDocument document;
    LedTreeModel* model = document.treeModel();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(outline(*model), QString());

    auto* first = new CommandList(&document);
    model->append(first, nullptr);
    auto* a = new LedStateCommand(first);
    model->append(a, first);
    model->append(new LedStateCommand(first), first);
    QCOMPARE(outline(*model), QStringLiteral("Sequence(LedState,LedState)"));

    auto* second = new CommandList(&document);
    second->setData(0, QStringLiteral("Second"));
    model->insert(0, second, &document);
    auto* c = new LedStateCommand(first);
    c->setData(0, QStringLiteral("C"));
    model->insert(0, c, first);
    QCOMPARE(outline(*model), QStringLiteral("Second(),Sequence(C,LedState,LedState)"));
    QCOMPARE(model->parent(model->index(c)), model->index(first));
    QVERIFY(!model->index(&document).isValid());

    model->remove(a);
    QVERIFY(!a->parent());
    delete a;
    QCOMPARE(outline(*model), QStringLiteral("Second(),Sequence(C,LedState)"));
    model->remove(first);
    delete first;
    QCOMPARE(outline(*model), QStringLiteral("Second()"));
}

void tst_LedTreeModel::rolesAndColumns()
{
    LedPanelDocument document;
    LedTreeModel* model = document.treeModel();
    auto* sequence = new CommandList(&document);
    model->append(sequence, nullptr);
    model->append(new LedStateCommand(sequence), sequence);
    const QModelIndex index = model->index(0, 0);

    QCOMPARE(model->data(index, Qt::TextAlignmentRole), QVariant(uint(Qt::AlignLeft | Qt::AlignVCenter)));
    QCOMPARE(model->data(index, Qt::ToolTipRole), QVariant());
    QCOMPARE(model->flags(index), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    QVERIFY(!model->setData(index, QStringLiteral("Intro"), Qt::DisplayRole));
    QVERIFY(model->setData(index, QStringLiteral("Intro"), Qt::EditRole));
    QCOMPARE(sequence->name(), QStringLiteral("Intro"));

    ColumnProbe probe;
    probe.setRootItem(&document);
    QCOMPARE(probe.rowCount(probe.at(0, 0, sequence)), 1);
    QCOMPARE(probe.rowCount(probe.at(0, 1, sequence)), 0);
    QCOMPARE(probe.columnCount(probe.at(0, 0, sequence)), 1);
}

QTEST_MAIN(tst_LedTreeModel)
#include "tst_LedTreeModel.moc"
