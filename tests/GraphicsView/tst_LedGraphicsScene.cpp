#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "Painter/LedPanelPainter.h"
#include "common/TestData.h"

#include <QtTest>

using Leds = QMap<int, QPointF>;
Q_DECLARE_METATYPE(LedLayout)

class tst_LedGraphicsScene : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void clicks_data();
    void clicks();
    void drawsAsThePainter_data();
    void drawsAsThePainter();
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

    QScopedPointer<AbstractLedGraphicsScene> scene(
        AbstractLedGraphicsScene::create(LedLayout(layout.contains("Ring") ? LedLayout::Ring : LedLayout::Rectangle)));
    QXmlStreamReader xml(layout);
    xml.readNextStartElement();
    scene->readXML(xml);
    QCOMPARE(xml.hasError(), ledCount < 0);
    QCOMPARE(scene->layout().ledCount(), qMax(ledCount, 0));
    QCOMPARE(scene->sceneRect(), sceneRect);
    for (auto it = leds.cbegin(); it != leds.cend(); ++it)
        QVERIFY((scene->layout().ledPositionOf(it.key()) - it.value()).manhattanLength() < 1e-3);
    // Read over the scene's first layout, as a document does: that one is gone whole.
    QCOMPARE(scene->items().count(), 1);

    QString text;
    QXmlStreamWriter writer(&text);
    scene->writeXML(writer);
    if (!written.isEmpty())
        QCOMPARE(text, written);
}

void tst_LedGraphicsScene::clicks_data()
{
    QTest::addColumn<LedLayout>("layout");
    QTest::addColumn<qreal>("zoom");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("offset"); // from LED 30's centre, in LED radii
    QTest::addColumn<int>("led");        // the one the press is on, -1 for none

    const LedLayout ring;
    const LedLayout grid = LedLayout::create(LedLayout::Rectangle, 16, 16);
    QTest::newRow("ring, inside the circle") << ring << 4.0 << int(Qt::LeftButton) << QPointF(0.65, 0.65) << 30;
    QTest::newRow("ring, beside the circle") << ring << 4.0 << int(Qt::LeftButton) << QPointF(0.85, 0.85) << -1;
    QTest::newRow("ring, right button") << ring << 4.0 << int(Qt::RightButton) << QPointF() << 30;
    QTest::newRow("grid, close up") << grid << 12.0 << int(Qt::LeftButton) << QPointF(-0.6, 0.6) << 30;
}

// The scene tells which LED a press is on and repaints what changed; it never changes the frame itself.
void tst_LedGraphicsScene::clicks()
{
    QFETCH(LedLayout, layout);
    QFETCH(qreal, zoom);
    QFETCH(int, button);
    QFETCH(QPointF, offset);
    QFETCH(int, led);

    LedPanelModel show;
    QVERIFY(show.submit(new ChangeLayoutEdit(show, layout)));
    CommandList sequence(&show);
    sequence.addFrame();
    LedStateCommand* frame = sequence.frame(0);
    QScopedPointer<AbstractLedGraphicsScene> scene(AbstractLedGraphicsScene::create(layout));
    QGraphicsView view(scene.data());
    view.scale(zoom, zoom);
    view.resize(500, 500);
    const QPointF centre = layout.ledPositionOf(30);
    view.centerOn(centre);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto at = [&](const QPointF& point) { return view.mapFromScene(point); };
    auto colour = [&](const QPointF& point) { return view.viewport()->grab().toImage().pixelColor(at(point)); };
    QSignalSpy pressed(scene.data(), &AbstractLedGraphicsScene::ledPressed);

    // Before a frame the body alone is drawn and a press is on no LED.
    QCOMPARE(colour(centre), QColor(Qt::blue));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at(centre));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.takeFirst().at(0).value<LedPointerEvent>().led, -1);

    scene->setFrame(frame);
    QCOMPARE(colour(centre), QColor(Qt::darkGray));
    const QPointF point = centre + offset * layout.ledItemsSize();
    QTest::mouseClick(view.viewport(), Qt::MouseButton(button), Qt::ShiftModifier, at(point));
    QCOMPARE(pressed.count(), 1);
    const LedPointerEvent event = pressed.takeFirst().at(0).value<LedPointerEvent>();
    QCOMPARE(event.led, led);
    QCOMPARE(int(event.button), button);
    QCOMPARE(event.modifiers, Qt::ShiftModifier);
    QVERIFY((event.scenePos - point).manhattanLength() < 2 / zoom);
    QCOMPARE(frame->intensities(), QVector<int>(frame->ledCount(), 0));

    // The frame changed and shown again: the LED that changed is repainted, its neighbour stays dark.
    frame->led(30)->setIntensity(5);
    scene->setFrame(frame);
    QTRY_COMPARE(colour(centre), QColor(Qt::yellow));
    QCOMPARE(colour(layout.ledPositionOf(31)), QColor(Qt::darkGray));
    QCOMPARE(scene->values(), frame->intensities());
}

void tst_LedGraphicsScene::drawsAsThePainter_data()
{
    QTest::addColumn<LedLayout>("layout");
    QTest::addColumn<qreal>("zoom");
    QTest::addColumn<QPoint>("scroll"); // pixels the view moves after a first look

    QTest::newRow("ring") << LedLayout() << 2.0 << QPoint();
    QTest::newRow("ring, scrolled") << LedLayout() << 5.0 << QPoint(7, -3);
    QTest::newRow("grid, small LEDs") << LedLayout::create(LedLayout::Rectangle, 100, 80) << 0.45 << QPoint();
    QTest::newRow("grid, scrolled") << LedLayout::create(LedLayout::Rectangle, 40, 40) << 1.3 << QPoint(-5, 11);
}

// The view draws busy frames as the panel painter draws each LED on the body, up to the quarter pixel the
// view rounds an LED's place to, also where moving the view keeps what it worked out before.
void tst_LedGraphicsScene::drawsAsThePainter()
{
    QFETCH(LedLayout, layout);
    QFETCH(qreal, zoom);
    QFETCH(QPoint, scroll);

    LedPanelModel show;
    QVERIFY(show.submit(new ChangeLayoutEdit(show, layout)));
    CommandList sequence(&show);
    sequence.addFrame();
    LedStateCommand* frame = sequence.frame(0);
    for (int led = 0; led < frame->ledCount(); ++led)
        frame->led(led)->setIntensity((led * 7 + led / 3) % 5 < 2 ? 9 : 0);
    QScopedPointer<AbstractLedGraphicsScene> scene(AbstractLedGraphicsScene::create(layout));
    QScopedPointer<AbstractLedGraphicsScene> bare(AbstractLedGraphicsScene::create(layout));
    scene->setFrame(frame);
    QGraphicsView view;
    view.setRenderHint(QPainter::Antialiasing);
    view.scale(zoom, zoom);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto look = [&view](QGraphicsScene* shown, const QPoint& at) {
        view.setScene(shown);
        view.horizontalScrollBar()->setValue(at.x());
        view.verticalScrollBar()->setValue(at.y());
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    view.setScene(scene.data());
    view.centerOn(layout.ledPositionOf(0));
    const QPoint first(view.horizontalScrollBar()->value(), view.verticalScrollBar()->value());
    // Over every channel of every pixel; the grabbed viewport is opaque.
    auto distance = [](const QImage& one, const QImage& other) {
        qint64 sum = 0;
        for (qsizetype i = 0; i < one.sizeInBytes(); ++i)
            sum += qAbs(one.constBits()[i] - other.constBits()[i]);
        return sum;
    };

    for (const QPoint& at : { first, first + scroll }) {
        // The body alone, then every LED drawn on it by the painter.
        QImage expected = look(bare.data(), at);
        const QImage body = expected;
        {
            LedPanelPainter panel(layout);
            panel.setOutlined(true);
            QPainter painter(&expected);
            painter.setTransform(view.viewportTransform());
            for (int led = 0; led < frame->ledCount(); ++led)
                panel.drawLedAt(&painter, layout.ledPositionOf(led), frame->led(led)->intensity() > 0);
        }
        const QImage shown = look(scene.data(), at);
        QCOMPARE(shown.size(), expected.size());
        // Against what the LEDs add to the body: a quarter pixel moves far less than a whole LED
        // in the wrong place or colour, or every LED a pixel off.
        const qint64 difference = distance(shown, expected);
        const qint64 leds = distance(body, expected);
        QVERIFY2(3 * difference < leds, qPrintable(QStringLiteral("%1 of %2").arg(difference).arg(leds)));
    }
}

QTEST_MAIN(tst_LedGraphicsScene)
#include "tst_LedGraphicsScene.moc"
