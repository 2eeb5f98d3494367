#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"

#include <QtTest>
#include <memory>

using Leds = QMap<int, QPointF>;

class tst_LedGraphicsScene : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void roundTrip();
};

// "Name=value" entries as the text elements of a Layout element.
static QString elements(const QStringList& entries)
{
    QString text;
    for (const QString& entry : entries)
        text += QString("<%1>%2</%1>").arg(entry.section('=', 0, 0), entry.section('=', 1));
    return text;
}

static std::unique_ptr<AbstractLedGraphicsScene> read(const QString& type, const QString& children,
                                                      bool* failed = nullptr)
{
    std::unique_ptr<AbstractLedGraphicsScene> scene;
    if (type == "Ring")
        scene.reset(new LedGraphicsScene_Ring);
    else
        scene.reset(new LedGraphicsScene_Rectangle);
    QXmlStreamReader xml(QString("<Layout type=\"%1\">%2</Layout>").arg(type, children));
    xml.readNextStartElement();
    scene->readXML(xml);
    if (failed)
        *failed = xml.hasError();
    return scene;
}

void tst_LedGraphicsScene::layout_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("children");
    QTest::addColumn<int>("ledCount"); // -1: refused, no LEDs and a reader error
    QTest::addColumn<QRectF>("sceneRect");
    QTest::addColumn<Leds>("leds");

    const QRectF rect(-6, -6, 54, 30);
    const QRectF ring(-71, -71, 142, 142);
    QTest::newRow("default rectangle") << "Rectangle" << "" << 32 << rect
                                       << Leds{{0, {0, 0}}, {7, {42, 0}}, {8, {0, 6}}, {31, {42, 18}}};
    QTest::newRow("default ring") << "Ring" << "" << 192 << ring
                                  << Leds{{0, {0, -45}}, {1, {5.8737, -44.6150}}, {12, {45, 0}}, {24, {0, 45}},
                                          {36, {-45, 0}}, {47, {-5.8737, -44.6150}}, {48, {0, -50}},
                                          {191, {-7.8316, -59.4867}}};
    // X keeps the right edge, Y the bottom one: the width set before X shrinks.
    QTest::newRow("edge-keeping rectangle")
        << "Rectangle" << elements({"Rectangle_W=100", "Rectangle_X=10", "Rectangle_Y=-10"}) << 32
        << QRectF(10, -10, 84, 34) << Leds();
    QTest::newRow("unknown children skipped whole, last duplicate counts")
        << "Rectangle" << "<Foo>1</Foo><Bar><Rows>9</Rows><Baz/></Bar><Rows>3</Rows><Rows>1</Rows>" << 8 << rect
        << Leds{{7, {42, 0}}};
    QTest::newRow("ring starting on the centre")
        << "Ring" << elements({"FirstLedPosition_X=0", "FirstLedPosition_Y=0"}) << 192 << ring
        << Leds{{47, {0, 0}}, {48, {5, 0}}, {96, {10, 0}}, {60, {0, 5}}};
    QTest::newRow("ring more than a turn")
        << "Ring" << elements({"Columns=60", "OuterDiameter=99"}) << 240 << QRectF(-100, -100, 200, 200)
        << Leds{{48, {0, -45}}, {59, {44.6150, -5.8737}}, {60, {0, -50}}};
    QTest::newRow("most LEDs") << "Rectangle" << elements({"Rows=1", "Columns=65536"}) << 65536 << rect
                               << Leds{{65535, {393210, 0}}};
    QTest::newRow("one LED more") << "Rectangle" << elements({"Rows=65537", "Columns=1"}) << -1 << rect << Leds();
    QTest::newRow("product wraps to the limit") << "Ring" << elements({"Rows=65536", "Columns=65537"}) << -1 << ring
                                                << Leds();
}

void tst_LedGraphicsScene::layout()
{
    QFETCH(QString, type);
    QFETCH(QString, children);
    QFETCH(int, ledCount);
    QFETCH(QRectF, sceneRect);
    QFETCH(Leds, leds);

    bool failed = false;
    auto scene = read(type, children, &failed);
    QCOMPARE(failed, ledCount < 0);
    QCOMPARE(scene->ledItems().count(), qMax(ledCount, 0));
    QVERIFY(ledCount >= 0 || scene->rows() * scene->columns() == 0);
    QCOMPARE(scene->sceneRect(), sceneRect);
    for (auto it = leds.cbegin(); it != leds.cend(); ++it)
        QVERIFY((scene->ledItems().at(it.key())->scenePos() - it.value()).manhattanLength() < 1e-3);
    // The body is the only top-level item; the LEDs are its children.
    QCOMPARE(scene->items().count(), qMax(ledCount, 0) + 1);
    QVERIFY(ledCount <= 0 || !scene->ledItems().last()->parentItem()->parentItem());
}

// Every child written once, in its order, numbers as "%g" writes them; what is
// written reads back the same.
void tst_LedGraphicsScene::roundTrip()
{
    const QStringList written{"Rows=3", "Columns=5", "RowSpacing=1.23457", "ColumnSpacing=-45",
                              "Rectangle_X=123457", "Rectangle_Y=1e-05", "Rectangle_W=999999", "Rectangle_H=1e+06",
                              "FirstLedPosition_X=0.0001", "FirstLedPosition_Y=-1.5"};
    const QStringList read{"FirstLedPosition_Y=-1.5", "Rows=3", "Columns=5", "RowSpacing=1.23456789",
                           "ColumnSpacing=-45.000", "Rectangle_X=123456.7", "Rectangle_Y=0.00001", "Rectangle_W=999999",
                           "Rectangle_H=1000000", "FirstLedPosition_X=0.0001"};
    const QStringList ring{"Rows=2", "Columns=36", "RowSpacing=2.5", "ColumnSpacing=10", "InnerDiameter=12.25",
                           "OuterDiameter=99", "FirstLedPosition_X=20", "FirstLedPosition_Y=0"};
    const QList<QPair<QString, QStringList>> cases{{"Rectangle", read}, {"Rectangle", written}, {"Ring", ring}};
    for (const auto& layout : cases) {
        QString text;
        QXmlStreamWriter xml(&text);
        ::read(layout.first, elements(layout.second))->writeXML(xml);
        const QString expected = elements(layout.first == "Ring" ? ring : written);
        QCOMPARE(text, QString("<Layout type=\"%1\">%2</Layout>").arg(layout.first, expected));
    }
}

QTEST_MAIN(tst_LedGraphicsScene)
#include "tst_LedGraphicsScene.moc"
