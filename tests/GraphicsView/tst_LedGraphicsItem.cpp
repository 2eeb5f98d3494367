#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Rectangle.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"

#include <QtTest>

// A ring scene in a real view, zoomed so that an LED is 40 pixels across, and
// frames of a document that has the same default ring.
class Panel
{
public:
    Panel()
        : sequence(&document)
    {
        sequence.addFrame();
        sequence.addFrame();
        view.setScene(&scene);
        view.scale(10, 10);
        view.resize(400, 400);
        view.show();
    }

    LedGraphicsItem* item(int led) { return scene.ledItems().at(led); }
    LedData* data(int frame, int led) { return sequence.frame(frame)->leds().at(led); }

    QPoint viewportPoint(int led, QPointF offset = QPointF())
    {
        view.centerOn(item(led));
        return view.mapFromScene(item(led)->scenePos() + offset);
    }
    void click(int led, Qt::MouseButton button = Qt::LeftButton, QPointF offset = QPointF())
    {
        QTest::mouseClick(view.viewport(), button, Qt::NoModifier, viewportPoint(led, offset));
    }
    QColor colourOf(int led)
    {
        const QPoint point = viewportPoint(led);
        return view.viewport()->grab().toImage().pixelColor(point);
    }

    LedPanelDocument document;
    CommandList sequence;
    LedGraphicsScene_Ring scene;
    QGraphicsView view;
};

class tst_LedGraphicsItem : public QObject
{
    Q_OBJECT

private slots:
    void withoutFrame();
    void clicks_data();
    void clicks();
    void clickBesideTheCircle();
    void rebinding();
    void frameOfAnotherSize_data();
    void frameOfAnotherSize();
};

void tst_LedGraphicsItem::withoutFrame()
{
    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.view));
    QSignalSpy toggled(&panel.scene, &AbstractLedGraphicsScene::ledToggled);

    QVERIFY(panel.item(0)->boundingRect().isEmpty());
    QVERIFY(panel.item(0)->shape().isEmpty());
    QCOMPARE(panel.item(0)->scene(), &panel.scene);
    // Only the blue body is drawn where the LED would be.
    QCOMPARE(panel.colourOf(0), QColor(Qt::blue));
    panel.click(0);
    QCOMPARE(toggled.count(), 0);
    QVERIFY(!panel.item(0)->isSelected());
}

void tst_LedGraphicsItem::clicks_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("after");

    QTest::newRow("dark to lit") << 0 << int(Qt::LeftButton) << 1 << 1;
    QTest::newRow("lit to dark") << 1 << int(Qt::LeftButton) << 1 << 0;
    QTest::newRow("twice back to dark") << 0 << int(Qt::LeftButton) << 2 << 0;
    QTest::newRow("intensity 5 to dark") << 5 << int(Qt::LeftButton) << 1 << 0;
    QTest::newRow("intensity -1 to dark") << -1 << int(Qt::LeftButton) << 1 << 0;
    QTest::newRow("right leaves dark") << 0 << int(Qt::RightButton) << 1 << 0;
    QTest::newRow("right leaves 200 lit") << 200 << int(Qt::RightButton) << 1 << 200;
    QTest::newRow("right leaves -1 dark") << -1 << int(Qt::RightButton) << 1 << -1;
}

void tst_LedGraphicsItem::clicks()
{
    QFETCH(int, before);
    QFETCH(int, button);
    QFETCH(int, clicks);
    QFETCH(int, after);

    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.view));
    panel.data(0, 30)->setIntensity(before);
    panel.scene.setFrame(panel.sequence.frame(0));
    QSignalSpy toggled(&panel.scene, &AbstractLedGraphicsScene::ledToggled);

    for (int i = 0; i < clicks; ++i)
        panel.click(30, Qt::MouseButton(button));
    QCOMPARE(panel.data(0, 30)->intensity(), after);
    QCOMPARE(toggled.count(), button == Qt::LeftButton ? clicks : 0);
    // Neighbours and the other frame are untouched.
    QCOMPARE(panel.data(0, 29)->intensity() + panel.data(0, 31)->intensity() + panel.data(1, 30)->intensity(), 0);

    const QColor fill = after > 0 ? QColor(Qt::yellow) : QColor(Qt::darkGray);
    QCOMPARE(panel.colourOf(30), fill);
    // A thin dark outline: just inside the rim (20 pixels out) the fill is darkened.
    const QImage image = panel.view.viewport()->grab().toImage();
    QVERIFY(image.pixelColor(panel.viewportPoint(30) + QPoint(19, 0)).lightness() < fill.lightness());
}

void tst_LedGraphicsItem::clickBesideTheCircle()
{
    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.view));
    panel.scene.setFrame(panel.sequence.frame(0));

    // Inside the bounding square (radius 2), outside the circle.
    panel.click(12, Qt::LeftButton, QPointF(1.7, 1.7));
    QCOMPARE(panel.data(0, 12)->intensity(), 0);
    panel.click(12, Qt::LeftButton, QPointF(1.3, 1.3));
    QCOMPARE(panel.data(0, 12)->intensity(), 1);

    // A double click is two presses to the item.
    QSignalSpy toggled(&panel.scene, &AbstractLedGraphicsScene::ledToggled);
    const QPoint point = panel.view.viewport()->mapTo(&panel.view, panel.viewportPoint(12));
    QTest::mouseDClick(panel.view.windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
    QCOMPARE(toggled.count(), 2);
    QCOMPARE(panel.data(0, 12)->intensity(), 1);
}

void tst_LedGraphicsItem::rebinding()
{
    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.view));
    panel.scene.setFrame(panel.sequence.frame(0));
    panel.click(3);
    panel.scene.setFrame(panel.sequence.frame(1));
    QCOMPARE(panel.colourOf(3), QColor(Qt::darkGray));
    panel.click(4);

    QCOMPARE(panel.data(0, 3)->intensity(), 1);
    QCOMPARE(panel.data(0, 4)->intensity(), 0);
    QCOMPARE(panel.data(1, 3)->intensity(), 0);
    QCOMPARE(panel.data(1, 4)->intensity(), 1);

    panel.scene.setFrame(panel.sequence.frame(0));
    QCOMPARE(panel.colourOf(3), QColor(Qt::yellow));
    QCOMPARE(panel.colourOf(4), QColor(Qt::darkGray));
}

void tst_LedGraphicsItem::frameOfAnotherSize_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("frameLeds");

    QTest::newRow("smaller frame") << "<Layout type='Rectangle'/>" << 32;
    QTest::newRow("larger frame") << "<Layout type='Ring'><Rows>5</Rows></Layout>" << 240;
    QTest::newRow("empty frame") << "<Layout type='Ring'><Rows>0</Rows></Layout>" << 0;
}

void tst_LedGraphicsItem::frameOfAnotherSize()
{
    QFETCH(QString, layout);
    QFETCH(int, frameLeds);

    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.view));
    QByteArray data = QString("<LedPanelDocument version='1.0'>%1</LedPanelDocument>").arg(layout).toUtf8();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QVERIFY(panel.document.readXML(&buffer));
    panel.sequence.addFrame();
    LedStateCommand* frame = panel.sequence.frame(2);
    QCOMPARE(frame->leds().count(), frameLeds);

    panel.scene.setFrame(frame);
    const int bound = qMin(frameLeds, 192);
    for (int i = 0; i < 192; ++i)
        QCOMPARE(panel.item(i)->ledData(), i < bound ? frame->leds().at(i) : nullptr);

    // The last scene LED is clickable only if the frame reaches it.
    panel.click(191);
    if (frameLeds >= 192)
        QCOMPARE(frame->leds().at(191)->intensity(), 1);
    if (frameLeds > 192)
        QCOMPARE(frame->leds().at(192)->intensity(), 0);
    if (bound > 0) {
        panel.click(bound - 1);
        QCOMPARE(frame->leds().at(bound - 1)->intensity(), bound == 192 ? 0 : 1);
    }
}

QTEST_MAIN(tst_LedGraphicsItem)
#include "tst_LedGraphicsItem.moc"
