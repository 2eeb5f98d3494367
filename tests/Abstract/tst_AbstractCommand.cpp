#include "Abstract/AbstractCommand.h"

#include <QtTest>

// Records the order in which nodes die.
class TracedCommand : public AbstractCommand
{
public:
    TracedCommand(const QString& name, AbstractCommand* parent, QStringList* deaths)
        : AbstractCommand(name, parent)
        , m_pDeaths(deaths)
    {
    }
    ~TracedCommand() override { m_pDeaths->append(name()); }

private:
    QStringList* m_pDeaths;
};

class tst_AbstractCommand : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void dataKeys_data();
    void dataKeys();
    void insertAndRemove();
    void destroysSubtreeInOrder();
};

void tst_AbstractCommand::construction()
{
    AbstractCommand root(nullptr);
    QCOMPARE(root.name(), QStringLiteral("?"));
    QCOMPARE(root.type(), -1);
    QCOMPARE(root.index(), 0);
    QVERIFY(!root.parent());

    auto* first = new AbstractCommand(&root);
    auto* second = new AbstractCommand(QStringLiteral("second"), &root);
    QCOMPARE(root.childs(), (QList<AbstractCommand*>{first, second}));
    QCOMPARE(second->parent(), &root);
    QCOMPARE(second->index(), 1);

    // childs() is a copy: changing it leaves the node alone.
    QList<AbstractCommand*> copy = root.childs();
    copy.clear();
    QCOMPARE(root.childs().count(), 2);
}

void tst_AbstractCommand::dataKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("nameAfter");

    QTest::newRow("rename") << 0 << QVariant(QStringLiteral("Intro")) << true << "Intro";
    QTest::newRow("number becomes text") << 0 << QVariant(12) << true << "12";
    QTest::newRow("column 1 refused") << 1 << QVariant(QStringLiteral("x")) << false << "node";
    QTest::newRow("negative key refused") << -1 << QVariant(QStringLiteral("x")) << false << "node";
}

void tst_AbstractCommand::dataKeys()
{
    QFETCH(int, key);
    QFETCH(QVariant, value);
    QFETCH(bool, accepted);
    QFETCH(QString, nameAfter);

    AbstractCommand node(QStringLiteral("node"), nullptr);
    QCOMPARE(node.setData(key, value), accepted);
    QCOMPARE(node.name(), nameAfter);
    QCOMPARE(node.data(0), QVariant(nameAfter));
    QVERIFY(!node.data(key == 0 ? 1 : key).isValid());
}

void tst_AbstractCommand::insertAndRemove()
{
    AbstractCommand root(nullptr);
    auto* a = new AbstractCommand(QStringLiteral("a"), &root);
    auto* b = new AbstractCommand(QStringLiteral("b"), nullptr);
    root.insertChild(0, b);
    QCOMPARE(b->parent(), &root);
    QCOMPARE(b->index(), 0);
    QCOMPARE(a->index(), 1);

    auto* c = new AbstractCommand(QStringLiteral("c"), nullptr);
    root.insertChild(1, c);
    QCOMPARE(root.childs(), (QList<AbstractCommand*>{b, c, a}));

    root.removeChild(c);
    QVERIFY(!c->parent());
    QCOMPARE(c->index(), 0);
    QCOMPARE(a->index(), 1);
    QCOMPARE(root.childs(), (QList<AbstractCommand*>{b, a}));
    delete c; // detached: ours to destroy
}

void tst_AbstractCommand::destroysSubtreeInOrder()
{
    QStringList deaths;
    auto* root = new TracedCommand(QStringLiteral("root"), nullptr, &deaths);
    auto* first = new TracedCommand(QStringLiteral("first"), root, &deaths);
    new TracedCommand(QStringLiteral("first.child"), first, &deaths);
    new TracedCommand(QStringLiteral("second"), root, &deaths);
    auto* detached = new TracedCommand(QStringLiteral("detached"), root, &deaths);
    root->removeChild(detached);

    delete root;
    // A node's own destructor runs before its base destroys the children.
    QCOMPARE(deaths, (QStringList{"root", "first", "first.child", "second"}));
    delete detached;
    QCOMPARE(deaths.last(), QStringLiteral("detached"));
}

QTEST_APPLESS_MAIN(tst_AbstractCommand)
#include "tst_AbstractCommand.moc"
