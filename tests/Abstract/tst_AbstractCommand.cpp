#include "Abstract/AbstractCommand.h"
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"

#include <QtTest>

class tst_AbstractCommand : public QObject
{
    Q_OBJECT

private slots:
    void setData_data();
    void setData();
    void children();
};

void tst_AbstractCommand::setData_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("nameAfter");

    QTest::newRow("rename") << 0 << QVariant(QStringLiteral("Intro")) << true << "Intro";
    QTest::newRow("number becomes text") << 0 << QVariant(12) << true << "12";
    QTest::newRow("column 1 refused") << 1 << QVariant(QStringLiteral("x")) << false << "?";
    QTest::newRow("negative key refused") << -1 << QVariant(QStringLiteral("x")) << false << "?";
}

void tst_AbstractCommand::setData()
{
    QFETCH(int, key);
    QFETCH(QVariant, value);
    QFETCH(bool, accepted);
    QFETCH(QString, nameAfter);

    AbstractCommand node(nullptr);
    QCOMPARE(node.setData(key, value), accepted);
    QCOMPARE(node.data(0), QVariant(nameAfter));
    QVERIFY(!node.data(1).isValid());
}

void tst_AbstractCommand::children()
{
    AbstractCommand root(nullptr);
    auto* a = new AbstractCommand(QStringLiteral("a"), &root);
    auto* b = new AbstractCommand(QStringLiteral("b"), nullptr);
    auto* c = new AbstractCommand(QStringLiteral("c"), nullptr);
    root.insertChild(0, b);
    root.insertChild(1, c);
    QCOMPARE(root.childs(), (QList<AbstractCommand*>{b, c, a}));
    QCOMPARE(b->parent(), &root);
    QCOMPARE(a->index(), 2);

    root.removeChild(c); // detaches only: the node is ours to destroy
    QVERIFY(!c->parent());
    QCOMPARE(c->index(), 0);
    QCOMPARE(a->index(), 1);
    delete c;

    // A frame of a sequence outside any document has no layout to take its LEDs from.
    CommandList orphan(nullptr);
    QVERIFY(LedStateCommand(&orphan).leds().isEmpty());
}

QTEST_APPLESS_MAIN(tst_AbstractCommand)
#include "tst_AbstractCommand.moc"
