#include "GraphicsView/LedStateWidget.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedGraphicsScene_Ring.h"
#include "LedPanelContextMenu.h"

#include <QPointer>
#include <QScrollBar>
#include <QtTest>

namespace {

qreal zoomOf(const QGraphicsView& view)
{
    return view.transform().m11();
}

bool near(qreal actual, qreal expected)
{
    return qAbs(actual - expected) < 1e-4 * expected;
}

void wheel(QGraphicsView& view, const QPoint& pos, int delta)
{
    QWheelEvent event(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &event);
}

void mouse(QWidget* viewport, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
           const QPoint& pos)
{
    QMouseEvent event(type, pos, viewport->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

} // namespace

class tst_LedStateWidget : public QObject
{
    Q_OBJECT

private slots:
    void defaultSceneAndOtherScene();
    void wheelZoom_data();
    void wheelZoom();
    void zoomAllFromMenu_data();
    void zoomAllFromMenu();
    void middleDragPansWithoutTouchingLeds();
};

void tst_LedStateWidget::defaultSceneAndOtherScene()
{
    QPointer<AbstractLedGraphicsScene> defaultScene;
    {
        LedStateWidget view(nullptr);
        defaultScene = view.scene();
        QVERIFY(defaultScene);
        QCOMPARE(defaultScene->type(), AbstractLedGraphicsScene::Ring);
        QCOMPARE(defaultScene->ledItems().count(), 192);
        QVERIFY(view.transform().isIdentity());

        wheel(view, QPoint(10, 10), 240);
        const QTransform zoomed = view.transform();
        LedGraphicsScene_Ring other;
        view.setScene(&other);
        QCOMPARE(view.transform(), zoomed);
        view.setScene(nullptr);
    }
    QVERIFY(defaultScene.isNull());
}

void tst_LedStateWidget::wheelZoom_data()
{
    QTest::addColumn<QVector<int>>("deltas");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<qreal>("expected");

    QTest::newRow("one notch in") << QVector<int>{120} << QPoint(60, 50) << 1.26491;
    QTest::newRow("one notch out at 1") << QVector<int>{-120} << QPoint(300, 80) << 1.0;
    QTest::newRow("out below 1") << QVector<int>{120, -120, -120} << QPoint(330, 240) << 1.0;
    QTest::newRow("half notch") << QVector<int>{60} << QPoint(40, 200) << 1.12468;
    QTest::newRow("sixteen in") << QVector<int>(16, 120) << QPoint(200, 150) << 42.9497;
    QTest::newRow("seventeen in") << QVector<int>(17, 120) << QPoint(200, 150) << 50.0;
    QTest::newRow("twenty in, one out") << (QVector<int>(20, 120) << -120) << QPoint(150, 100) << 50.0 / 1.26491;
}

void tst_LedStateWidget::wheelZoom()
{
    QFETCH(QVector<int>, deltas);
    QFETCH(QPoint, cursor);
    QFETCH(qreal, expected);

    LedStateWidget view(nullptr);
    // Scrollable both ways even at zoom 1, so every point can be brought back.
    LedGraphicsScene_Ring wide;
    wide.setSceneRect(-300, -250, 600, 500);
    view.setScene(&wide);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int delta : deltas) {
        const QPointF underCursor = view.mapToScene(cursor);
        wheel(view, cursor, delta);
        const QPoint back = view.mapFromScene(underCursor);
        QVERIFY2((back - cursor).manhattanLength() <= 2, qPrintable(QStringLiteral("(%1,%2)").arg(back.x()).arg(back.y())));
    }
    QVERIFY2(near(zoomOf(view), expected), qPrintable(QString::number(zoomOf(view), 'g', 8)));
    QCOMPARE(view.transform().m22(), view.transform().m11());
    view.setScene(nullptr);
}

void tst_LedStateWidget::zoomAllFromMenu_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("notchesBefore");
    QTest::addColumn<qreal>("expected");

    QTest::newRow("900x600") << QSize(900, 600) << 5 << 2.85;
    QTest::newRow("399 counts as one") << QSize(399, 700) << 3 << 0.95;
    QTest::newRow("narrower than 200 keeps zoom") << QSize(150, 600) << 2 << 1.6;
    QTest::newRow("lower than 200 keeps zoom") << QSize(600, 190) << 0 << 1.0;
}

void tst_LedStateWidget::zoomAllFromMenu()
{
    QFETCH(QSize, size);
    QFETCH(int, notchesBefore);
    QFETCH(qreal, expected);

    LedStateWidget view(nullptr);
    // Larger than any of these views at their zoom, so centring shows.
    LedGraphicsScene_Ring wide;
    wide.setSceneRect(-300, -250, 600, 500);
    view.setScene(&wide);
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int i = 0; i < notchesBefore; ++i)
        wheel(view, QPoint(5, 5), 120);

    const QPoint pos(20, 20);
    QContextMenuEvent request(QContextMenuEvent::Mouse, pos, view.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view.viewport(), &request);
    auto* menu = view.findChild<LedPanelContextMenu*>();
    QVERIFY(menu && menu->isVisible());
    QCOMPARE(menu->actions().count(), 1);
    QAction* zoomAll = menu->actions().first();
    QCOMPARE(zoomAll->text(), QStringLiteral("Zoom all"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(zoomAll).center());
    QTRY_VERIFY(!menu->isVisible());

    QVERIFY2(near(zoomOf(view), expected), qPrintable(QString::number(zoomOf(view), 'g', 8)));
    const QPoint offCentre = view.mapFromScene(view.sceneRect().center()) - view.viewport()->rect().center();
    QVERIFY2(offCentre.manhattanLength() <= 2, "the scene rectangle is not centred");
    // The wheel goes on from the zoom that Zoom all left.
    wheel(view, view.viewport()->rect().center(), 120);
    QVERIFY(near(zoomOf(view), expected * 1.26491));
    view.setScene(nullptr);
}

void tst_LedStateWidget::middleDragPansWithoutTouchingLeds()
{
    LedPanelDocument document;
    CommandList* sequence = new CommandList(&document);
    document.appendChild(sequence);
    sequence->addFrame();
    LedStateCommand* frame = sequence->frame(0);

    LedStateWidget view(nullptr);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.ZoomAll();
    for (int i = 0; i < 3; ++i)
        wheel(view, view.viewport()->rect().center(), 120);
    view.scene()->setFrame(frame);
    QCOMPARE(frame->leds().count(), view.scene()->ledItems().count());

    // A middle drag that starts on an LED scrolls and toggles nothing.
    const QRect inner = view.viewport()->rect().adjusted(40, 40, -40, -40);
    int ledIndex = -1;
    for (int i = 0; i < view.scene()->ledItems().count() && ledIndex < 0; ++i) {
        if (inner.contains(view.mapFromScene(view.scene()->ledItems().at(i)->scenePos())))
            ledIndex = i;
    }
    QVERIFY(ledIndex >= 0);
    LedGraphicsItem* led = view.scene()->ledItems().at(ledIndex);
    const QPoint onLed = view.mapFromScene(led->scenePos());
    const int hBefore = view.horizontalScrollBar()->value();
    const int vBefore = view.verticalScrollBar()->value();
    QVERIFY(hBefore - 20 >= view.horizontalScrollBar()->minimum());
    QVERIFY(vBefore - 30 >= view.verticalScrollBar()->minimum());
    mouse(view.viewport(), QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, onLed);
    QVERIFY(!view.isInteractive());
    for (int step = 1; step <= 5; ++step)
        mouse(view.viewport(), QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, onLed + QPoint(4 * step, 6 * step));
    mouse(view.viewport(), QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, onLed + QPoint(20, 30));

    QCOMPARE(view.horizontalScrollBar()->value(), hBefore - 20);
    QCOMPARE(view.verticalScrollBar()->value(), vBefore - 30);
    for (const LedData* data : frame->leds())
        QCOMPARE(data->intensity(), 0);
    QVERIFY(view.isInteractive());
    QCOMPARE(view.dragMode(), QGraphicsView::RubberBandDrag);

    // A left click still reaches the LED.
    const QPoint ledNow = view.mapFromScene(led->scenePos());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, ledNow);
    QCOMPARE(frame->leds().at(ledIndex)->intensity(), 1);

    // A left drag from beside the LEDs draws a rubber band.
    const QPoint empty(5, 5);
    QVERIFY(view.items(empty).isEmpty());
    mouse(view.viewport(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, empty);
    mouse(view.viewport(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, empty + QPoint(30, 30));
    QVERIFY(!view.rubberBandRect().isEmpty());
    mouse(view.viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, empty + QPoint(30, 30));
    QCOMPARE(frame->leds().at(ledIndex)->intensity(), 1);

    view.scene()->clearFrame();
}

QTEST_MAIN(tst_LedStateWidget)
#include "tst_LedStateWidget.moc"
