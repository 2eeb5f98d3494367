#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "common/TestData.h"

#include <QtTest>

using Leds = QMap<int, QPointF>;

class tst_LedGraphicsScene : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void clicks_data();
    void clicks();
};

void tst_LedGraphicsScene::layout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("ledCount"); // -1: refused, no LEDs and a reader error
    QTest::addColumn<QRectF>("sceneRect");
    QTest::addColumn<Leds>("leds");
    QTest::addColumn<QString>("written"); // checked when given

    const QRectF ring(-71, -71, 142, 142);
    QTest::newRow("default ring") << "<Layout type='Ring'/>" << 192 << ring
                                  << Leds{{1, {5.8737, -44.615}}, {48, {0, -50}}, {191, {-7.8316, -59.4867}}} << "";
    QTest::newRow("65536 x 65537, 65536 in 32 bits")
        << "<Layout type='Ring'><Rows>65536</Rows><Columns>65537</Columns></Layout>" << -1 << ring << Leds() << "";
    // Written: every child once, in its order, numbers as "%g" writes them. Unknown children are
    // skipped whole; of duplicates the last counts. X keeps the right edge and Y the bottom one.
    QTest::newRow("rectangle of the most LEDs, written")
        << "<Layout type='Rectangle'><FirstLedPosition_Y>-1.5</FirstLedPosition_Y><Foo>1</Foo><Bar><Rows>9</Rows><Baz/>"
           "</Bar><Rows>3</Rows><Rows>1</Rows><Columns>65536</Columns><RowSpacing>1.23456789</RowSpacing>"
           "<ColumnSpacing>-0.5</ColumnSpacing><Rectangle_W>999999</Rectangle_W><Rectangle_X>123456.75</Rectangle_X>"
           "<Rectangle_H>1000000</Rectangle_H><Rectangle_Y>2.5e-1</Rectangle_Y>"
           "<FirstLedPosition_X>0.00001</FirstLedPosition_X></Layout>"
        << 65536 << QRectF(123456.75, 0.25, 876536.25, 999993.75) << Leds{{65535, {-32767.5, -1.5}}}
        << "<Layout type=\"Rectangle\"><Rows>1</Rows><Columns>65536</Columns><RowSpacing>1.23457</RowSpacing>"
           "<ColumnSpacing>-0.5</ColumnSpacing><Rectangle_X>123457</Rectangle_X><Rectangle_Y>0.25</Rectangle_Y>"
           "<Rectangle_W>876536</Rectangle_W><Rectangle_H>999994</Rectangle_H>"
           "<FirstLedPosition_X>1e-05</FirstLedPosition_X><FirstLedPosition_Y>-1.5</FirstLedPosition_Y></Layout>";
    // From the centre: the first row all there. The outer edge inside the inner one.
    const QString odd = "<Layout type=\"Ring\"><Rows>2</Rows><Columns>36</Columns><RowSpacing>60</RowSpacing>"
                        "<ColumnSpacing>10</ColumnSpacing><InnerDiameter>70</InnerDiameter>"
                        "<OuterDiameter>40</OuterDiameter><FirstLedPosition_X>0</FirstLedPosition_X>"
                        "<FirstLedPosition_Y>0</FirstLedPosition_Y></Layout>";
    QTest::newRow("ring written") << odd << 72 << QRectF(-41, -41, 82, 82)
                                  << Leds{{35, {0, 0}}, {36, {60, 0}}, {45, {0, 60}}} << odd;
}

void tst_LedGraphicsScene::layout()
{
    QFETCH(QString, layout);
    QFETCH(int, ledCount);
    QFETCH(QRectF, sceneRect);
    QFETCH(Leds, leds);
    QFETCH(QString, written);

    LedGraphicsScene_Ring ring;
    LedGraphicsScene_Rectangle rectangle;
    auto* scene = layout.contains("Ring") ? static_cast<AbstractLedGraphicsScene*>(&ring) : &rectangle;
    QXmlStreamReader xml(layout);
    xml.readNextStartElement();
    scene->readXML(xml);
    QCOMPARE(xml.hasError(), ledCount < 0);
    QCOMPARE(scene->ledItems().count(), qMax(ledCount, 0));
    QCOMPARE(scene->sceneRect(), sceneRect);
    for (auto it = leds.cbegin(); it != leds.cend(); ++it)
        QVERIFY((scene->ledItems().at(it.key())->scenePos() - it.value()).manhattanLength() < 1e-3);
    // Read over the scene's first layout, as a document does: that one is gone whole.
    QCOMPARE(scene->items().count(), qMax(ledCount, 0) + 1);
    // A negative pen leaves the ring body a hairline that misses LEDs.
    for (LedGraphicsItem* led : scene->ledItems())
        QVERIFY(scene == &rectangle || led->parentItem()->boundingRect().contains(led->pos()));

    QString text;
    QXmlStreamWriter writer(&text);
    scene->writeXML(writer);
    if (!written.isEmpty())
        QCOMPARE(text, written);
}

void tst_LedGraphicsScene::clicks_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("offset"); // from the LED's centre; its circle has radius 2
    QTest::addColumn<int>("after");

    QTest::newRow("intensity -1 to dark") << -1 << int(Qt::LeftButton) << QPointF() << 0;
    QTest::newRow("right leaves 200 lit") << 200 << int(Qt::RightButton) << QPointF() << 200;
    QTest::newRow("beside the circle") << 0 << int(Qt::LeftButton) << QPointF(1.7, 1.7) << 0;
    QTest::newRow("inside the circle") << 0 << int(Qt::LeftButton) << QPointF(1.3, 1.3) << 1;
}

void tst_LedGraphicsScene::clicks()
{
    QFETCH(int, before);
    QFETCH(int, button);
    QFETCH(QPointF, offset);
    QFETCH(int, after);

    // Frames of a 32-LED layout on the 192-LED ring: the items past them draw nothing and take no clicks.
    LedPanelDocument document;
    QVERIFY(readShow(document, showXml("<Layout type='Rectangle'/>")));
    CommandList sequence(&document);
    sequence.addFrame();
    auto data = [&](int led) { return sequence.frame(0)->leds().at(led); };
    LedGraphicsScene_Ring scene;
    QGraphicsView view(&scene);
    view.scale(4, 4); // the whole ring in view, an LED 16 pixels across
    view.resize(600, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto at = [&](int led, QPointF off = {}) { return view.mapFromScene(scene.ledItems().at(led)->scenePos() + off); };
    auto colour = [&](int led) { return view.viewport()->grab().toImage().pixelColor(at(led)); };

    data(30)->setIntensity(before);
    scene.setFrame(sequence.frame(0));
    for (int i = 0; i < scene.ledItems().count(); ++i)
        QCOMPARE(scene.ledItems().at(i)->ledData(), i < 32 ? data(i) : nullptr);
    QList<int> seen; // intensities as the signal arrives: it must come after the change
    connect(&scene, &AbstractLedGraphicsScene::ledToggled, [&] { seen << data(30)->intensity(); });
    QTest::mouseClick(view.viewport(), Qt::MouseButton(button), {}, at(30, offset));
    QCOMPARE(data(30)->intensity(), after);
    QCOMPARE(seen, after == before ? QList<int>() : QList<int>{after});
    QCOMPARE(data(29)->intensity() + data(31)->intensity(), 0);
    QCOMPARE(colour(30), after > 0 ? QColor(Qt::yellow) : QColor(Qt::darkGray));
    QCOMPARE(colour(191), QColor(Qt::blue));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at(191));
    QCOMPARE(seen.count(), int(after != before));
}

QTEST_MAIN(tst_LedGraphicsScene)
#include "tst_LedGraphicsScene.moc"
