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
    void roundTrip_data();
    void roundTrip();
    void numberText_data();
    void numberText();
    void ledLimit_data();
    void ledLimit();
    void readerErrors();
};

static std::unique_ptr<AbstractLedGraphicsScene> makeScene(const QString& type)
{
    if (type == QLatin1String("Rectangle"))
        return std::make_unique<LedGraphicsScene_Rectangle>();
    return std::make_unique<LedGraphicsScene_Ring>();
}

static QString write(AbstractLedGraphicsScene& scene)
{
    QString text;
    QXmlStreamWriter xml(&text);
    scene.writeXML(xml);
    return text;
}

// The type and the children of a written Layout element, "name=value" in order.
static QStringList parse(const QString& text)
{
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Layout"))
        return {};
    QStringList result{xml.attributes().value("type").toString()};
    while (xml.readNextStartElement())
        result << xml.name() + QLatin1Char('=') + xml.readElementText();
    return result;
}

// Lets the scene read the first element of layoutXml; gives the reader's error.
static QString read(AbstractLedGraphicsScene& scene, const QString& layoutXml)
{
    QXmlStreamReader xml(layoutXml);
    xml.readNextStartElement();
    scene.readXML(xml);
    return xml.errorString();
}

static bool near(const QPointF& a, const QPointF& b)
{
    return qAbs(a.x() - b.x()) < 1e-4 && qAbs(a.y() - b.y()) < 1e-4;
}

void tst_LedGraphicsScene::layout_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("children");
    QTest::addColumn<int>("ledCount");
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
    QTest::newRow("only Rows") << "Rectangle" << "<Rows>2</Rows>" << 16 << rect << Leds{{15, {42, 6}}};
    QTest::newRow("X keeps the right edge") << "Rectangle" << "<Rectangle_X>10</Rectangle_X>" << 32
                                            << QRectF(10, -6, 38, 30) << Leds();
    QTest::newRow("Y keeps the bottom edge") << "Rectangle" << "<Rectangle_Y>-10</Rectangle_Y>" << 32
                                             << QRectF(-6, -10, 54, 34) << Leds();
    QTest::newRow("W before X") << "Rectangle" << "<Rectangle_W>100</Rectangle_W><Rectangle_X>10</Rectangle_X>" << 32
                                << QRectF(10, -6, 84, 30) << Leds();
    QTest::newRow("not a number") << "Rectangle" << "<RowSpacing>abc</RowSpacing>" << 32 << rect
                                  << Leds{{8, {0, 0}}};
    QTest::newRow("comma") << "Rectangle" << "<ColumnSpacing>7,5</ColumnSpacing>" << 32 << rect << Leds{{7, {0, 0}}};
    QTest::newRow("no columns") << "Rectangle" << "<Columns>0</Columns>" << 0 << rect << Leds();
    QTest::newRow("both negative") << "Ring" << "<Rows>-100000</Rows><Columns>-100000</Columns>" << 0 << ring
                                   << Leds();
    QTest::newRow("unknown children skipped") << "Rectangle" << "<Foo>1</Foo><Bar><Rows>9</Rows><Baz/></Bar><Rows>1</Rows>"
                                              << 8 << rect << Leds{{7, {42, 0}}};
    QTest::newRow("last duplicate counts") << "Rectangle" << "<Rows>1</Rows><Rows>3</Rows>" << 24 << rect << Leds();
    QTest::newRow("ring starting left")
        << "Ring" << "<FirstLedPosition_X>-45</FirstLedPosition_X><FirstLedPosition_Y>0</FirstLedPosition_Y>" << 192
        << ring << Leds{{0, {-45, 0}}, {1, {-44.6150, -5.8737}}};
    QTest::newRow("ring starting on the centre")
        << "Ring" << "<FirstLedPosition_X>0</FirstLedPosition_X><FirstLedPosition_Y>0</FirstLedPosition_Y>" << 192
        << ring << Leds{{0, {0, 0}}, {47, {0, 0}}, {48, {5, 0}}, {96, {10, 0}}, {60, {0, 5}}};
    QTest::newRow("ring more than a turn") << "Ring" << "<Columns>60</Columns>" << 240 << ring
                                           << Leds{{48, {0, -45}}, {59, {44.6150, -5.8737}}, {60, {0, -50}}};
    QTest::newRow("ring outer diameter") << "Ring" << "<OuterDiameter>99</OuterDiameter>" << 192
                                         << QRectF(-100, -100, 200, 200) << Leds();
}

void tst_LedGraphicsScene::layout()
{
    QFETCH(QString, type);
    QFETCH(QString, children);
    QFETCH(int, ledCount);
    QFETCH(QRectF, sceneRect);
    QFETCH(Leds, leds);

    auto scene = makeScene(type);
    if (!children.isEmpty())
        QCOMPARE(read(*scene, QString("<Layout type='%1'>%2</Layout>").arg(type, children)), QString());
    QCOMPARE(scene->ledItems().count(), ledCount);
    QCOMPARE(scene->sceneRect(), sceneRect);
    for (auto it = leds.cbegin(); it != leds.cend(); ++it) {
        const QPointF actual = scene->ledItems().at(it.key())->scenePos();
        QVERIFY2(near(actual, it.value()),
                 qPrintable(QString("LED %1 at (%2, %3)").arg(it.key()).arg(actual.x()).arg(actual.y())));
    }
    // The body is the only top-level item and holds every LED, still without data.
    QCOMPARE(scene->items().count(), ledCount + 1);
    for (const LedGraphicsItem* item : scene->ledItems()) {
        QVERIFY(item->parentItem() && !item->parentItem()->parentItem());
        QVERIFY(!item->ledData());
    }
}

void tst_LedGraphicsScene::roundTrip_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("children");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("default rectangle")
        << "Rectangle" << ""
        << QStringList{"Rectangle", "Rows=4", "Columns=8", "RowSpacing=6", "ColumnSpacing=6", "Rectangle_X=-6",
                       "Rectangle_Y=-6", "Rectangle_W=54", "Rectangle_H=30", "FirstLedPosition_X=0",
                       "FirstLedPosition_Y=0"};
    QTest::newRow("default ring") << "Ring" << ""
                                  << QStringList{"Ring", "Rows=4", "Columns=48", "RowSpacing=5", "ColumnSpacing=7.5",
                                                 "InnerDiameter=40", "OuterDiameter=70", "FirstLedPosition_X=0",
                                                 "FirstLedPosition_Y=-45"};
    QTest::newRow("odd rectangle")
        << "Rectangle"
        << "<Rows>3</Rows><Columns>5</Columns><RowSpacing>2.5</RowSpacing><ColumnSpacing>-3.25</ColumnSpacing>"
           "<Rectangle_X>-20.5</Rectangle_X><Rectangle_Y>1e-05</Rectangle_Y><Rectangle_W>77.125</Rectangle_W>"
           "<Rectangle_H>12</Rectangle_H><FirstLedPosition_X>4.75</FirstLedPosition_X>"
           "<FirstLedPosition_Y>-1.5</FirstLedPosition_Y>"
        << QStringList{"Rectangle", "Rows=3", "Columns=5", "RowSpacing=2.5", "ColumnSpacing=-3.25",
                       "Rectangle_X=-20.5", "Rectangle_Y=1e-05", "Rectangle_W=77.125", "Rectangle_H=12",
                       "FirstLedPosition_X=4.75", "FirstLedPosition_Y=-1.5"};
    QTest::newRow("odd ring") << "Ring"
                              << "<Rows>2</Rows><Columns>36</Columns><ColumnSpacing>10</ColumnSpacing>"
                                 "<InnerDiameter>12.25</InnerDiameter><FirstLedPosition_X>20</FirstLedPosition_X>"
                                 "<FirstLedPosition_Y>0</FirstLedPosition_Y>"
                              << QStringList{"Ring", "Rows=2", "Columns=36", "RowSpacing=5", "ColumnSpacing=10",
                                             "InnerDiameter=12.25", "OuterDiameter=70", "FirstLedPosition_X=20",
                                             "FirstLedPosition_Y=0"};
}

void tst_LedGraphicsScene::roundTrip()
{
    QFETCH(QString, type);
    QFETCH(QString, children);
    QFETCH(QStringList, written);

    auto original = makeScene(type);
    if (!children.isEmpty())
        QCOMPARE(read(*original, QString("<Layout type='%1'>%2</Layout>").arg(type, children)), QString());
    const QString text = write(*original);
    QCOMPARE(parse(text), written);

    auto copy = makeScene(type);
    QCOMPARE(read(*copy, text), QString());
    QCOMPARE(write(*copy), text);
    QCOMPARE(copy->sceneRect(), original->sceneRect());
    QCOMPARE(copy->ledItems().count(), original->ledItems().count());
    for (int i = 0; i < copy->ledItems().count(); ++i)
        QVERIFY(near(copy->ledItems().at(i)->scenePos(), original->ledItems().at(i)->scenePos()));
}

void tst_LedGraphicsScene::numberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");

    QTest::newRow("integral") << "5.0" << "5";
    QTest::newRow("negative") << "-45.000" << "-45";
    QTest::newRow("six digits") << "1.23456789" << "1.23457";
    QTest::newRow("million") << "1000000" << "1e+06";
    QTest::newRow("rounded") << "123456.7" << "123457";
    QTest::newRow("largest plain") << "999999" << "999999";
    QTest::newRow("small plain") << "0.0001" << "0.0001";
    QTest::newRow("small exponent") << "0.00001" << "1e-05";
}

void tst_LedGraphicsScene::numberText()
{
    QFETCH(QString, text);
    QFETCH(QString, written);

    // Written once from the text, then once more from what was written.
    for (const QString& value : {text, written}) {
        LedGraphicsScene_Ring scene;
        QCOMPARE(read(scene, QString("<Layout type='Ring'><RowSpacing>%1</RowSpacing></Layout>").arg(value)),
                 QString());
        QCOMPARE(parse(write(scene)).value(3), "RowSpacing=" + written);
    }
}

void tst_LedGraphicsScene::ledLimit_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("huge") << "Rectangle" << 100000 << 100000 << false;
    QTest::newRow("product wraps to a small int") << "Ring" << 65536 << 65537 << false;
    QTest::newRow("just above") << "Rectangle" << 65537 << 1 << false;
    QTest::newRow("limit") << "Rectangle" << 1 << 65536 << true;
    QTest::newRow("square limit") << "Ring" << 256 << 256 << true;
}

void tst_LedGraphicsScene::ledLimit()
{
    QFETCH(QString, type);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(bool, accepted);

    auto scene = makeScene(type);
    const QString error = read(
        *scene, QString("<Layout type='%1'><Rows>%2</Rows><Columns>%3</Columns></Layout>").arg(type).arg(rows).arg(columns));
    QCOMPARE(error.isEmpty(), accepted);
    QCOMPARE(scene->ledItems().count(), accepted ? rows * columns : 0);
    QCOMPARE(scene->rows() * scene->columns(), accepted ? rows * columns : 0);
}

void tst_LedGraphicsScene::readerErrors()
{
    // Another element is not read at all: same items, reader left where it was.
    LedGraphicsScene_Rectangle scene;
    const QList<LedGraphicsItem*> before = scene.ledItems();
    QXmlStreamReader other(QStringLiteral("<Other type='Rectangle'><Rows>1</Rows></Other>"));
    other.readNextStartElement();
    scene.readXML(other);
    QVERIFY(other.isStartElement() && other.name() == QLatin1String("Other"));
    QCOMPARE(scene.ledItems(), before);

    // An element inside a value is a reader error.
    QVERIFY(!read(scene, "<Layout type='Rectangle'><Rows>2<b/></Rows></Layout>").isEmpty());
}

QTEST_MAIN(tst_LedGraphicsScene)
#include "tst_LedGraphicsScene.moc"
