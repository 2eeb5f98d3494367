#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "common/TestData.h"

#include <QtTest>

class tst_LedGraphicsItem : public QObject
{
    Q_OBJECT

private slots:
    void clicks_data();
    void clicks();
};

void tst_LedGraphicsItem::clicks_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("offset"); // from the LED's centre; its circle has radius 2
    QTest::addColumn<int>("after");

    QTest::newRow("dark to lit") << 0 << int(Qt::LeftButton) << QPointF() << 1;
    QTest::newRow("intensity -1 to dark") << -1 << int(Qt::LeftButton) << QPointF() << 0;
    QTest::newRow("right leaves 200 lit") << 200 << int(Qt::RightButton) << QPointF() << 200;
    QTest::newRow("right leaves -1 dark") << -1 << int(Qt::RightButton) << QPointF() << -1;
    QTest::newRow("beside the circle") << 0 << int(Qt::LeftButton) << QPointF(1.7, 1.7) << 0;
    QTest::newRow("inside the circle") << 0 << int(Qt::LeftButton) << QPointF(1.3, 1.3) << 1;
}

void tst_LedGraphicsItem::clicks()
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

QTEST_MAIN(tst_LedGraphicsItem)
#include "tst_LedGraphicsItem.moc"
