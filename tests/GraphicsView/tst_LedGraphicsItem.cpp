#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"

#include <QtTest>

// A ring in a real view, zoomed so that an LED is 40 pixels across, and two
// frames of a document with the same ring (or the layout read into it).
struct Panel
{
    explicit Panel(const QByteArray& layout = QByteArray())
        : sequence(&document)
    {
        QByteArray text = "<LedPanelDocument version='1.0'>" + layout + "</LedPanelDocument>";
        QBuffer buffer(&text);
        read = buffer.open(QIODevice::ReadOnly) && document.readXML(&buffer);
        sequence.addFrame();
        sequence.addFrame();
        view.setScene(&scene);
        view.scale(10, 10);
        view.resize(400, 400);
        view.show();
    }
    LedData* data(int frame, int led) { return sequence.frame(frame)->leds().at(led); }
    QPoint point(int led, QPointF offset = QPointF())
    {
        view.centerOn(scene.ledItems().at(led));
        return view.mapFromScene(scene.ledItems().at(led)->scenePos() + offset);
    }
    QColor colour(int led, QPoint offset = QPoint())
    {
        const QPoint at = point(led) + offset; // centres the LED before the grab
        return view.viewport()->grab().toImage().pixelColor(at);
    }

    LedPanelDocument document;
    CommandList sequence;
    bool read = false;
    LedGraphicsScene_Ring scene;
    QGraphicsView view;
};

class tst_LedGraphicsItem : public QObject
{
    Q_OBJECT

private slots:
    void clicks_data();
    void clicks();
    void smallerFrame_data();
    void smallerFrame();
};

void tst_LedGraphicsItem::clicks_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<int>("after");

    QTest::newRow("dark to lit") << 0 << int(Qt::LeftButton) << QPointF() << 1;
    QTest::newRow("intensity 5 to dark") << 5 << int(Qt::LeftButton) << QPointF() << 0;
    QTest::newRow("intensity -1 to dark") << -1 << int(Qt::LeftButton) << QPointF() << 0;
    QTest::newRow("right leaves 200 lit") << 200 << int(Qt::RightButton) << QPointF() << 200;
    QTest::newRow("right leaves -1 dark") << -1 << int(Qt::RightButton) << QPointF() << -1;
    // The bounding square has radius 2; only the circle is hit.
    QTest::newRow("beside the circle") << 0 << int(Qt::LeftButton) << QPointF(1.7, 1.7) << 0;
    QTest::newRow("inside the circle") << 0 << int(Qt::LeftButton) << QPointF(1.3, 1.3) << 1;
}

void tst_LedGraphicsItem::clicks()
{
    QFETCH(int, before);
    QFETCH(int, button);
    QFETCH(QPointF, offset);
    QFETCH(int, after);

    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.view));
    panel.data(0, 30)->setIntensity(before);
    panel.scene.setFrame(panel.sequence.frame(0));
    QSignalSpy toggled(&panel.scene, &AbstractLedGraphicsScene::ledToggled);
    QTest::mouseClick(panel.view.viewport(), Qt::MouseButton(button), Qt::NoModifier, panel.point(30, offset));
    QCOMPARE(panel.data(0, 30)->intensity(), after);
    QCOMPARE(toggled.count(), int(after != before));
    QCOMPARE(panel.data(0, 29)->intensity() + panel.data(0, 31)->intensity() + panel.data(1, 30)->intensity(), 0);

    // Filled inside a thin dark outline: just inside the rim (20 pixels out) it is darker.
    const QColor fill = after > 0 ? QColor(Qt::yellow) : QColor(Qt::darkGray);
    QCOMPARE(panel.colour(30), fill);
    QVERIFY(panel.colour(30, QPoint(19, 0)).lightness() < fill.lightness());

    // Another frame bound: shown at once, and clicks go to it alone.
    panel.scene.setFrame(panel.sequence.frame(1));
    QCOMPARE(panel.colour(30), QColor(Qt::darkGray));
    QTest::mouseClick(panel.view.viewport(), Qt::LeftButton, Qt::NoModifier, panel.point(30));
    QCOMPARE(panel.data(1, 30)->intensity() * 1000 + panel.data(0, 30)->intensity(), 1000 + after);
}

// A layout read after the sequences (a hand-edited file) leaves frames smaller than
// the scene: the rest of the items stay as before any frame, only the body drawn, deaf to clicks.
void tst_LedGraphicsItem::smallerFrame_data()
{
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<int>("frameLeds");

    QTest::newRow("rectangle") << QByteArray("<Layout type='Rectangle'/>") << 32;
    QTest::newRow("no LEDs") << QByteArray("<Layout type='Ring'><Rows>0</Rows></Layout>") << 0;
}

void tst_LedGraphicsItem::smallerFrame()
{
    QFETCH(QByteArray, layout);
    QFETCH(int, frameLeds);

    Panel panel(layout);
    QVERIFY(panel.read && QTest::qWaitForWindowExposed(&panel.view));
    LedStateCommand* frame = panel.sequence.frame(0);
    QCOMPARE(frame->leds().count(), frameLeds);
    panel.scene.setFrame(frame);
    for (int i = 0; i < 192; ++i)
        QCOMPARE(panel.scene.ledItems().at(i)->ledData(), i < frameLeds ? frame->leds().at(i) : nullptr);
    QSignalSpy toggled(&panel.scene, &AbstractLedGraphicsScene::ledToggled);
    QVERIFY(panel.scene.ledItems().at(191)->shape().isEmpty());
    QCOMPARE(panel.colour(191), QColor(Qt::blue));
    QTest::mouseClick(panel.view.viewport(), Qt::LeftButton, Qt::NoModifier, panel.point(191));
    QCOMPARE(toggled.count(), 0);
}

QTEST_MAIN(tst_LedGraphicsItem)
#include "tst_LedGraphicsItem.moc"
