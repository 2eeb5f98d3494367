#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"

#include <QtTest>
#include <memory>

using Pair = QPair<QString, QString>;
using Pairs = QList<Pair>;

class tst_LedGraphicsScene : public QObject
{
    Q_OBJECT

private slots:
    void defaults_data();
    void defaults();
    void positions_data();
    void positions();
    void writtenDefaults_data();
    void writtenDefaults();
    void roundTrip_data();
    void roundTrip();
    void readLayout_data();
    void readLayout();
    void numberText_data();
    void numberText();
    void notALayout();
    void ledLimit_data();
    void ledLimit();
    void childInsideValue();
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

// The type attribute and the children of a written Layout element, in order.
static Pairs parse(const QString& text, QString* type = nullptr)
{
    Pairs pairs;
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Layout"))
        return pairs;
    if (type)
        *type = xml.attributes().value("type").toString();
    while (xml.readNextStartElement())
        pairs << Pair(xml.name().toString(), xml.readElementText());
    return pairs;
}

// Lets the scene read the Layout element in layoutXml; gives the reader's error.
static QString read(AbstractLedGraphicsScene& scene, const QString& layoutXml)
{
    QXmlStreamReader xml(layoutXml);
    if (!xml.readNextStartElement())
        return QStringLiteral("no element");
    scene.readXML(xml);
    return xml.errorString();
}

static QList<QPointF> ledPositions(const AbstractLedGraphicsScene& scene)
{
    QList<QPointF> result;
    for (const LedGraphicsItem* item : scene.ledItems())
        result << item->scenePos();
    return result;
}

static bool near(const QPointF& a, const QPointF& b)
{
    return qAbs(a.x() - b.x()) < 1e-4 && qAbs(a.y() - b.y()) < 1e-4;
}

void tst_LedGraphicsScene::defaults_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("typeCode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QRectF>("sceneRect");
    QTest::addColumn<QRectF>("body");

    QTest::newRow("rectangle") << "Rectangle" << 0 << 4 << 8 << QRectF(-6, -6, 54, 30) << QRectF(-6, -6, 54, 30);
    // The ring body is a stroke of width 30 around radius 55; its bounds grow by half the pen.
    QTest::newRow("ring") << "Ring" << 1 << 4 << 48 << QRectF(-71, -71, 142, 142) << QRectF(-70, -70, 140, 140);
}

void tst_LedGraphicsScene::defaults()
{
    QFETCH(QString, type);
    QFETCH(int, typeCode);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QRectF, sceneRect);
    QFETCH(QRectF, body);

    auto scene = makeScene(type);
    QCOMPARE(int(scene->type()), typeCode);
    QCOMPARE(scene->rows(), rows);
    QCOMPARE(scene->columns(), columns);
    QCOMPARE(scene->ledItemsSize(), 2.0);
    QCOMPARE(scene->ledItems().count(), rows * columns);
    QCOMPARE(scene->sceneRect(), sceneRect);

    // One top-level item, the body, holding every LED.
    const QList<QGraphicsItem*> topLevel = [&] {
        QList<QGraphicsItem*> list;
        for (QGraphicsItem* item : scene->items())
            if (!item->parentItem())
                list << item;
        return list;
    }();
    QCOMPARE(topLevel.count(), 1);
    QCOMPARE(topLevel.first()->childItems().count(), rows * columns);
    QCOMPARE(topLevel.first()->boundingRect(), body);
    for (const LedGraphicsItem* item : scene->ledItems()) {
        QCOMPARE(item->parentItem(), topLevel.first());
        QVERIFY(!item->ledData());
        QVERIFY(item->boundingRect().isEmpty());
    }
}

void tst_LedGraphicsScene::positions_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("led");
    QTest::addColumn<QPointF>("position");

    QTest::newRow("rect 0") << "Rectangle" << 0 << QPointF(0, 0);
    QTest::newRow("rect 7") << "Rectangle" << 7 << QPointF(42, 0);
    QTest::newRow("rect 8") << "Rectangle" << 8 << QPointF(0, 6);
    QTest::newRow("rect 31") << "Rectangle" << 31 << QPointF(42, 18);
    QTest::newRow("ring 0") << "Ring" << 0 << QPointF(0, -45);
    QTest::newRow("ring 1") << "Ring" << 1 << QPointF(5.8737, -44.6150);
    QTest::newRow("ring 12") << "Ring" << 12 << QPointF(45, 0);
    QTest::newRow("ring 24") << "Ring" << 24 << QPointF(0, 45);
    QTest::newRow("ring 36") << "Ring" << 36 << QPointF(-45, 0);
    QTest::newRow("ring 47") << "Ring" << 47 << QPointF(-5.8737, -44.6150);
    QTest::newRow("ring 48") << "Ring" << 48 << QPointF(0, -50);
    QTest::newRow("ring 191") << "Ring" << 191 << QPointF(-7.8316, -59.4867);
}

void tst_LedGraphicsScene::positions()
{
    QFETCH(QString, type);
    QFETCH(int, led);
    QFETCH(QPointF, position);

    auto scene = makeScene(type);
    const QPointF actual = scene->ledItems().at(led)->scenePos();
    QVERIFY2(near(actual, position), qPrintable(QString("(%1, %2)").arg(actual.x()).arg(actual.y())));
}

void tst_LedGraphicsScene::writtenDefaults_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<Pairs>("children");

    QTest::newRow("rectangle") << "Rectangle"
                               << Pairs{{"Rows", "4"}, {"Columns", "8"}, {"RowSpacing", "6"},
                                        {"ColumnSpacing", "6"}, {"Rectangle_X", "-6"}, {"Rectangle_Y", "-6"},
                                        {"Rectangle_W", "54"}, {"Rectangle_H", "30"},
                                        {"FirstLedPosition_X", "0"}, {"FirstLedPosition_Y", "0"}};
    QTest::newRow("ring") << "Ring"
                          << Pairs{{"Rows", "4"}, {"Columns", "48"}, {"RowSpacing", "5"},
                                   {"ColumnSpacing", "7.5"}, {"InnerDiameter", "40"}, {"OuterDiameter", "70"},
                                   {"FirstLedPosition_X", "0"}, {"FirstLedPosition_Y", "-45"}};
}

void tst_LedGraphicsScene::writtenDefaults()
{
    QFETCH(QString, type);
    QFETCH(Pairs, children);

    auto scene = makeScene(type);
    QString writtenType;
    QCOMPARE(parse(write(*scene), &writtenType), children);
    QCOMPARE(writtenType, type);
}

void tst_LedGraphicsScene::roundTrip_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("layout");

    QTest::newRow("default rectangle") << "Rectangle" << QString();
    QTest::newRow("default ring") << "Ring" << QString();
    QTest::newRow("odd rectangle")
        << "Rectangle"
        << "<Layout type='Rectangle'><Rows>3</Rows><Columns>5</Columns><RowSpacing>2.5</RowSpacing>"
           "<ColumnSpacing>-3.25</ColumnSpacing><Rectangle_X>-20.5</Rectangle_X><Rectangle_Y>1e-05</Rectangle_Y>"
           "<Rectangle_W>77.125</Rectangle_W><Rectangle_H>12</Rectangle_H>"
           "<FirstLedPosition_X>4.75</FirstLedPosition_X><FirstLedPosition_Y>-1.5</FirstLedPosition_Y></Layout>";
    QTest::newRow("odd ring")
        << "Ring"
        << "<Layout type='Ring'><Rows>2</Rows><Columns>36</Columns><RowSpacing>3.5</RowSpacing>"
           "<ColumnSpacing>10</ColumnSpacing><InnerDiameter>12.25</InnerDiameter><OuterDiameter>30</OuterDiameter>"
           "<FirstLedPosition_X>20</FirstLedPosition_X><FirstLedPosition_Y>0</FirstLedPosition_Y></Layout>";
}

void tst_LedGraphicsScene::roundTrip()
{
    QFETCH(QString, type);
    QFETCH(QString, layout);

    auto original = makeScene(type);
    if (!layout.isEmpty())
        QCOMPARE(read(*original, layout), QString());
    const QString written = write(*original);

    auto copy = makeScene(type);
    QCOMPARE(read(*copy, written), QString());
    QCOMPARE(parse(write(*copy)), parse(written));
    QCOMPARE(copy->sceneRect(), original->sceneRect());

    const QList<QPointF> expected = ledPositions(*original);
    const QList<QPointF> actual = ledPositions(*copy);
    QCOMPARE(actual.count(), expected.count());
    for (int i = 0; i < actual.count(); ++i)
        QVERIFY2(near(actual.at(i), expected.at(i)), qPrintable(QString::number(i)));
}

void tst_LedGraphicsScene::readLayout_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("ledCount");
    QTest::addColumn<QRectF>("sceneRect");
    QTest::addColumn<QMap<int, QPointF>>("leds");

    const QRectF defaultRect(-6, -6, 54, 30);
    const QRectF defaultRing(-71, -71, 142, 142);

    QTest::newRow("only Rows") << "Rectangle" << "<Layout type='Rectangle'><Rows>2</Rows></Layout>" << 16
                               << defaultRect << QMap<int, QPointF>{{15, QPointF(42, 6)}};
    QTest::newRow("X keeps the right edge")
        << "Rectangle" << "<Layout type='Rectangle'><Rectangle_X>10</Rectangle_X></Layout>" << 32
        << QRectF(10, -6, 38, 30) << QMap<int, QPointF>();
    QTest::newRow("Y keeps the bottom edge")
        << "Rectangle" << "<Layout type='Rectangle'><Rectangle_Y>-10</Rectangle_Y></Layout>" << 32
        << QRectF(-6, -10, 54, 34) << QMap<int, QPointF>();
    QTest::newRow("W before X changes the width")
        << "Rectangle"
        << "<Layout type='Rectangle'><Rectangle_W>100</Rectangle_W><Rectangle_X>10</Rectangle_X></Layout>" << 32
        << QRectF(10, -6, 84, 30) << QMap<int, QPointF>();
    QTest::newRow("not a number") << "Rectangle" << "<Layout type='Rectangle'><RowSpacing>abc</RowSpacing></Layout>"
                                  << 32 << defaultRect << QMap<int, QPointF>{{8, QPointF(0, 0)}};
    QTest::newRow("comma is no decimal point")
        << "Rectangle" << "<Layout type='Rectangle'><ColumnSpacing>7,5</ColumnSpacing></Layout>" << 32
        << defaultRect << QMap<int, QPointF>{{7, QPointF(0, 0)}};
    QTest::newRow("no columns") << "Rectangle" << "<Layout type='Rectangle'><Columns>0</Columns></Layout>" << 0
                                << defaultRect << QMap<int, QPointF>();
    QTest::newRow("negative rows") << "Ring" << "<Layout type='Ring'><Rows>-3</Rows></Layout>" << 0 << defaultRing
                                   << QMap<int, QPointF>();
    QTest::newRow("both negative")
        << "Ring" << "<Layout type='Ring'><Rows>-100000</Rows><Columns>-100000</Columns></Layout>" << 0
        << defaultRing << QMap<int, QPointF>();
    QTest::newRow("unknown children skipped")
        << "Rectangle"
        << "<Layout type='Rectangle'><Foo>1</Foo><Bar><Rows>9</Rows><Baz/></Bar><Rows>1</Rows></Layout>" << 8
        << defaultRect << QMap<int, QPointF>{{7, QPointF(42, 0)}};
    QTest::newRow("last duplicate counts")
        << "Rectangle" << "<Layout type='Rectangle'><Rows>1</Rows><Rows>3</Rows></Layout>" << 24 << defaultRect
        << QMap<int, QPointF>();
    QTest::newRow("ring first LED left")
        << "Ring" << "<Layout type='Ring'><FirstLedPosition_X>-45</FirstLedPosition_X>"
                     "<FirstLedPosition_Y>0</FirstLedPosition_Y></Layout>"
        << 192 << defaultRing << QMap<int, QPointF>{{0, QPointF(-45, 0)}, {1, QPointF(-44.6150, -5.8737)}};
    QTest::newRow("ring first LED on the centre")
        << "Ring" << "<Layout type='Ring'><FirstLedPosition_X>0</FirstLedPosition_X>"
                     "<FirstLedPosition_Y>0</FirstLedPosition_Y></Layout>"
        << 192 << defaultRing
        << QMap<int, QPointF>{{0, QPointF(0, 0)}, {47, QPointF(0, 0)}, {48, QPointF(5, 0)}, {96, QPointF(10, 0)},
                              {60, QPointF(0, 5)}};
    QTest::newRow("ring more columns than a turn")
        << "Ring" << "<Layout type='Ring'><Columns>60</Columns></Layout>" << 240 << defaultRing
        << QMap<int, QPointF>{{48, QPointF(0, -45)}, {59, QPointF(44.6150, -5.8737)}, {60, QPointF(0, -50)}};
    QTest::newRow("ring outer diameter") << "Ring" << "<Layout type='Ring'><OuterDiameter>99</OuterDiameter></Layout>"
                                         << 192 << QRectF(-100, -100, 200, 200) << QMap<int, QPointF>();
}

void tst_LedGraphicsScene::readLayout()
{
    QFETCH(QString, type);
    QFETCH(QString, layout);
    QFETCH(int, ledCount);
    QFETCH(QRectF, sceneRect);
    using LedMap = QMap<int, QPointF>;
    QFETCH(LedMap, leds);

    auto scene = makeScene(type);
    QCOMPARE(read(*scene, layout), QString());
    QCOMPARE(scene->ledItems().count(), ledCount);
    QCOMPARE(scene->sceneRect(), sceneRect);
    for (auto it = leds.cbegin(); it != leds.cend(); ++it) {
        const QPointF actual = scene->ledItems().at(it.key())->scenePos();
        QVERIFY2(near(actual, it.value()),
                 qPrintable(QString("LED %1 at (%2, %3)").arg(it.key()).arg(actual.x()).arg(actual.y())));
    }
}

void tst_LedGraphicsScene::numberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");

    QTest::newRow("integral") << "5.0" << "5";
    QTest::newRow("fraction") << "7.5" << "7.5";
    QTest::newRow("negative") << "-45.000" << "-45";
    QTest::newRow("six digits") << "1.23456789" << "1.23457";
    QTest::newRow("million") << "1000000" << "1e+06";
    QTest::newRow("rounded") << "123456.7" << "123457";
    QTest::newRow("largest plain") << "999999" << "999999";
    QTest::newRow("small plain") << "0.0001" << "0.0001";
    QTest::newRow("small exponent") << "0.00001" << "1e-05";
    QTest::newRow("zero") << "0" << "0";
}

void tst_LedGraphicsScene::numberText()
{
    QFETCH(QString, text);
    QFETCH(QString, written);

    LedGraphicsScene_Ring scene;
    QCOMPARE(read(scene, QString("<Layout type='Ring'><RowSpacing>%1</RowSpacing></Layout>").arg(text)), QString());
    const Pairs children = parse(write(scene));
    QCOMPARE(children.at(2), Pair("RowSpacing", written));

    // And the written text reads back as the same number.
    LedGraphicsScene_Ring again;
    QCOMPARE(read(again, QString("<Layout type='Ring'><RowSpacing>%1</RowSpacing></Layout>").arg(written)), QString());
    QCOMPARE(parse(write(again)).at(2), Pair("RowSpacing", written));
}

void tst_LedGraphicsScene::notALayout()
{
    LedGraphicsScene_Rectangle scene;
    const QList<LedGraphicsItem*> before = scene.ledItems();

    QXmlStreamReader xml(QStringLiteral("<Other type='Rectangle'><Rows>1</Rows></Other>"));
    QVERIFY(xml.readNextStartElement());
    scene.readXML(xml);
    QCOMPARE(xml.name().toString(), QStringLiteral("Other"));
    QVERIFY(xml.isStartElement());
    // Not laid out again: the very same items.
    QCOMPARE(scene.ledItems(), before);
    QCOMPARE(scene.rows(), 4);
}

void tst_LedGraphicsScene::ledLimit_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("huge") << "Rectangle" << 100000 << 100000 << false;
    QTest::newRow("huge ring") << "Ring" << 100000 << 100000 << false;
    QTest::newRow("product overflows to a small int") << "Ring" << 65536 << 65537 << false;
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
    const QString error = read(*scene, QString("<Layout type='%1'><Rows>%2</Rows><Columns>%3</Columns></Layout>")
                                           .arg(type)
                                           .arg(rows)
                                           .arg(columns));
    if (accepted) {
        QCOMPARE(error, QString());
        QCOMPARE(scene->ledItems().count(), rows * columns);
        QCOMPARE(scene->rows(), rows);
    } else {
        QVERIFY(!error.isEmpty());
        QCOMPARE(scene->ledItems().count(), 0);
        QCOMPARE(scene->rows() * scene->columns(), 0);
        QCOMPARE(scene->items().count(), 1); // the body is still there
    }
}

void tst_LedGraphicsScene::childInsideValue()
{
    LedGraphicsScene_Rectangle scene;
    QVERIFY(!read(scene, "<Layout type='Rectangle'><Rows>2<b/></Rows><Columns>3</Columns></Layout>").isEmpty());
}

QTEST_MAIN(tst_LedGraphicsScene)
#include "tst_LedGraphicsScene.moc"
