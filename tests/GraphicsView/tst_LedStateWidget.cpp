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

bool near(qreal actual, qreal expected)
{
    return qAbs(actual - expected) < 1e-4 * expected;
}

LedPanelContextMenu* openContextMenu(LedStateWidget& view, const QPoint& pos)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view.viewport(), &event);
    auto* menu = view.findChild<LedPanelContextMenu*>();
    return menu && menu->isVisible() ? menu : nullptr;
}

} // namespace

class tst_LedStateWidget : public QObject
{
    Q_OBJECT

private slots:
    void defaultSceneAndOtherScene();
    void wheelZoom_data();
    void wheelZoom();
    void wheelKeepsPointUnderCursor_data();
    void wheelKeepsPointUnderCursor();
    void zoomAllFromMenu_data();
    void zoomAllFromMenu();
    void scrollToCenter();
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
        QCOMPARE(view.scene(), static_cast<AbstractLedGraphicsScene*>(&other));
        QCOMPARE(view.transform(), zoomed);
        view.setScene(nullptr);
        QVERIFY(defaultScene);
    }
    QVERIFY(defaultScene.isNull());
}

void tst_LedStateWidget::wheelZoom_data()
{
    QTest::addColumn<QVector<int>>("deltas");
    QTest::addColumn<qreal>("expected");

    QTest::newRow("one notch in") << QVector<int>{120} << 1.26491;
    QTest::newRow("one notch out at 1") << QVector<int>{-120} << 1.0;
    QTest::newRow("out below 1") << QVector<int>{120, -120, -120} << 1.0;
    QTest::newRow("half notch") << QVector<int>{60} << 1.12468;
    QTest::newRow("sixteen in") << QVector<int>(16, 120) << 42.9497;
    QTest::newRow("seventeen in") << QVector<int>(17, 120) << 50.0;
    QTest::newRow("twenty in, one out") << (QVector<int>(20, 120) << -120) << 50.0 / 1.26491;
}

void tst_LedStateWidget::wheelZoom()
{
    QFETCH(QVector<int>, deltas);
    QFETCH(qreal, expected);

    LedStateWidget view(nullptr);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int delta : deltas)
        wheel(view, view.viewport()->rect().center(), delta);
    QVERIFY2(near(zoomOf(view), expected), qPrintable(QString::number(zoomOf(view), 'g', 8)));
    QCOMPARE(view.transform().m22(), view.transform().m11());
}

void tst_LedStateWidget::wheelKeepsPointUnderCursor_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<int>("delta");

    QTest::newRow("top left, in") << QPoint(60, 50) << 120;
    QTest::newRow("bottom right, in") << QPoint(330, 240) << 120;
    QTest::newRow("right, out") << QPoint(300, 80) << -120;
}

void tst_LedStateWidget::wheelKeepsPointUnderCursor()
{
    QFETCH(QPoint, cursor);
    QFETCH(int, delta);

    LedStateWidget view(nullptr);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // Zoomed in far enough for the scene to scroll both ways.
    for (int i = 0; i < 6; ++i)
        wheel(view, view.viewport()->rect().center(), 120);
    QVERIFY(view.horizontalScrollBar()->maximum() > view.horizontalScrollBar()->minimum());
    QVERIFY(view.verticalScrollBar()->maximum() > view.verticalScrollBar()->minimum());

    const QPointF underCursor = view.mapToScene(cursor);
    wheel(view, cursor, delta);
    const QPoint back = view.mapFromScene(underCursor);
    QVERIFY2((back - cursor).manhattanLength() <= 2, qPrintable(QStringLiteral("(%1,%2)").arg(back.x()).arg(back.y())));
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
    QCOMPARE(view.size(), size);
    for (int i = 0; i < notchesBefore; ++i)
        wheel(view, QPoint(5, 5), 120);

    LedPanelContextMenu* menu = openContextMenu(view, QPoint(20, 20));
    QVERIFY(menu);
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

void tst_LedStateWidget::scrollToCenter()
{
    LedStateWidget view(nullptr);
    view.horizontalScrollBar()->setRange(0, 101);
    view.verticalScrollBar()->setRange(-31, 10);
    view.ScrollToCenter();
    QCOMPARE(view.horizontalScrollBar()->value(), 50);
    QCOMPARE(view.verticalScrollBar()->value(), -11);
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
