#include "GraphicsView/LedStateWidget.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "LedPanelContextMenu.h"

#include <QScrollBar>
#include <QtTest>

static void wheel(QGraphicsView& view, const QPoint& pos, int delta)
{
    QWheelEvent event(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &event);
}

static void mouse(QWidget* viewport, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos)
{
    QMouseEvent event(type, pos, viewport->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

class tst_LedStateWidget : public QObject
{
    Q_OBJECT

private slots:
    void zoom_data();
    void zoom();
    void middleDragPansWithoutTouchingLeds();
};

// Wheel deltas, or 0 for "Zoom all" from the right-click menu, in a view of the given size.
void tst_LedStateWidget::zoom_data()
{
    QTest::addColumn<QVector<int>>("steps");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("expected");

    const QSize size(400, 300);
    QTest::newRow("one notch in") << QVector<int>{120} << size << 1.26491;
    QTest::newRow("half notch") << QVector<int>{60} << size << 1.12468;
    QTest::newRow("out at 1 stays 1") << QVector<int>{120, -120, -120} << size << 1.0;
    QTest::newRow("sixteen in") << QVector<int>(16, 120) << size << 42.9497;
    QTest::newRow("seventeenth cut at 50") << QVector<int>(17, 120) << size << 50.0;
    QTest::newRow("twenty in, one out") << (QVector<int>(20, 120) << -120) << size << 50.0 / 1.26491;
    QTest::newRow("zoom all 900x600") << QVector<int>{120, 120, 0, 120} << QSize(900, 600) << 2.85 * 1.26491;
    QTest::newRow("zoom all, 399 counts as 200") << QVector<int>{0} << QSize(399, 700) << 0.95;
    QTest::newRow("zoom all under 200 keeps zoom") << QVector<int>{120, 120, 0} << QSize(150, 600) << 1.6;
}

void tst_LedStateWidget::zoom()
{
    QFETCH(QVector<int>, steps);
    QFETCH(QSize, size);
    QFETCH(qreal, expected);

    LedStateWidget view(nullptr);
    AbstractLedGraphicsScene* ownScene = view.scene();
    // Scrollable both ways at every zoom here, so every point can be brought back under the cursor.
    LedGraphicsScene_Ring wide;
    wide.setSceneRect(-600, -500, 1200, 1000);
    view.setScene(&wide);
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int step : steps) {
        if (step) {
            const QPoint cursor(60 + step / 4, 50);
            const QPointF underCursor = view.mapToScene(cursor);
            wheel(view, cursor, step);
            QVERIFY((view.mapFromScene(underCursor) - cursor).manhattanLength() <= 2);
            continue;
        }
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(20, 20), view.viewport()->mapToGlobal({20, 20}));
        QApplication::sendEvent(view.viewport(), &request);
        auto* menu = view.findChild<LedPanelContextMenu*>();
        QVERIFY(menu->isVisible() && menu->actions().count() == 1);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().first()).center());
        QTRY_VERIFY(!menu->isVisible());
        const QPoint offCentre = view.mapFromScene(view.sceneRect().center()) - view.viewport()->rect().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "the scene rectangle is not centred");
    }
    view.setScene(ownScene); // another scene keeps the zoom
    QVERIFY2(qAbs(view.transform().m11() / expected - 1) < 1e-4, qPrintable(QString::number(view.transform().m11())));
    QCOMPARE(view.transform().m22(), view.transform().m11());
}

void tst_LedStateWidget::middleDragPansWithoutTouchingLeds()
{
    LedPanelDocument document;
    auto* sequence = new CommandList(&document);
    document.appendChild(sequence);
    sequence->addFrame();
    const QList<LedData*> leds = sequence->frame(0)->leds();
    LedStateWidget view(nullptr);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.ZoomAll();
    for (int i = 0; i < 3; ++i)
        wheel(view, view.viewport()->rect().center(), 120);
    view.scene()->setFrame(sequence->frame(0));

    // A middle drag that starts on an LED scrolls and toggles nothing.
    const QRect inner = view.viewport()->rect().adjusted(40, 40, -40, -40);
    auto ledAt = [&](int led) { return view.mapFromScene(view.scene()->ledItems().at(led)->scenePos()); };
    int led = 0;
    while (!inner.contains(ledAt(led)))
        ++led;
    const QPoint scrolled(view.horizontalScrollBar()->value() - 20, view.verticalScrollBar()->value() - 30);
    QVERIFY(scrolled.x() >= view.horizontalScrollBar()->minimum());
    QVERIFY(scrolled.y() >= view.verticalScrollBar()->minimum());
    const QPoint start = ledAt(led);
    mouse(view.viewport(), QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, start);
    for (int step = 1; step <= 5; ++step)
        mouse(view.viewport(), QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, start + QPoint(4 * step, 6 * step));
    mouse(view.viewport(), QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, start + QPoint(20, 30));
    QCOMPARE(QPoint(view.horizontalScrollBar()->value(), view.verticalScrollBar()->value()), scrolled);
    QVERIFY(std::all_of(leds.cbegin(), leds.cend(), [](const LedData* data) { return data->intensity() == 0; }));

    // A left click still reaches the LED, and a left drag beside the LEDs now draws a rubber band.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, ledAt(led));
    QCOMPARE(leds.at(led)->intensity(), 1);
    const QPoint empty(5, 5);
    QVERIFY(view.items(empty).isEmpty());
    mouse(view.viewport(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, empty);
    mouse(view.viewport(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, empty + QPoint(30, 30));
    QVERIFY(!view.rubberBandRect().isEmpty());
    mouse(view.viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, empty + QPoint(30, 30));
    QCOMPARE(leds.at(led)->intensity(), 1);
    view.scene()->clearFrame();
}

QTEST_MAIN(tst_LedStateWidget)
#include "tst_LedStateWidget.moc"
