#include "GraphicsView/LedStateWidget.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "LedPanelContextMenu.h"
#include "common/TestData.h"

#include <QScrollBar>
#include <QtTest>

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
    QTest::newRow("out at 1 stays 1") << QVector<int>{120, -120, -120} << size << 1.0;
    QTest::newRow("twenty in, cut at 50, one out") << (QVector<int>(20, 120) << -120) << size << 50.0 / 1.26491;
    QTest::newRow("zoom all 900x600, then in") << QVector<int>{120, 120, 0, 120} << QSize(900, 600) << 2.85 * 1.26491;
    QTest::newRow("zoom all, 399 counts as 200") << QVector<int>{0} << QSize(399, 700) << 0.95;
    QTest::newRow("half notches; zoom all under 200 kept") << QVector<int>{60, 60, 120, 0} << QSize(150, 600) << 1.6;
}

void tst_LedStateWidget::zoom()
{
    QFETCH(QVector<int>, steps);
    QFETCH(QSize, size);
    QFETCH(qreal, expected);

    LedStateWidget view(nullptr);
    // Scrollable both ways at every zoom here, so every point can be brought back under the cursor.
    view.setSceneRect(-600, -500, 1200, 1000);
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int step : steps) {
        const QPoint cursor(60 + step / 4, 50), global = view.viewport()->mapToGlobal(cursor);
        const QPointF underCursor = view.mapToScene(cursor);
        if (step) {
            QWheelEvent wheel(cursor, global, {}, {0, step}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &wheel);
            QVERIFY((view.mapFromScene(underCursor) - cursor).manhattanLength() <= 2);
            continue;
        }
        QContextMenuEvent request(QContextMenuEvent::Mouse, cursor, global);
        QApplication::sendEvent(view.viewport(), &request);
        auto* menu = view.findChild<LedPanelContextMenu*>();
        QVERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().first()).center());
        QTRY_VERIFY(!menu->isVisible());
        const QPoint offCentre = view.mapFromScene(view.sceneRect().center()) - view.viewport()->rect().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "the scene rectangle is not centred");
    }
    QVERIFY2(qAbs(view.transform().m11() / expected - 1) < 1e-4, qPrintable(QString::number(view.transform().m11())));
}

void tst_LedStateWidget::middleDragPansWithoutTouchingLeds()
{
    LedPanelDocument document;
    QVERIFY(readShow(document, showXml(sequenceXml(0, 1))));
    LedStateCommand* frame = document.sequence(0)->frame(0);
    const QList<LedData*> leds = frame->leds();
    LedStateWidget view(nullptr);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.scale(4, 4);
    view.scene()->setFrame(frame);
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos) {
        QMouseEvent event(type, pos, view.viewport()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    };
    auto ledAt = [&](int led) { return view.mapFromScene(view.scene()->ledItems().at(led)->scenePos()); };
    int led = 0;
    while (!view.viewport()->rect().adjusted(40, 40, -40, -40).contains(ledAt(led)))
        ++led;
    const QPoint start = ledAt(led);
    const QPoint scrolled(view.horizontalScrollBar()->value() - 20, view.verticalScrollBar()->value() - 30);
    QVERIFY(scrolled.x() >= view.horizontalScrollBar()->minimum() && scrolled.y() >= view.verticalScrollBar()->minimum());

    // The middle press must pan the view, not reach the LED under it.
    send(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, start);
    for (int step = 1; step <= 5; ++step)
        send(QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, start + QPoint(4 * step, 6 * step));
    send(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, start + QPoint(20, 30));
    QCOMPARE(QPoint(view.horizontalScrollBar()->value(), view.verticalScrollBar()->value()), scrolled);
    QVERIFY(std::all_of(leds.cbegin(), leds.cend(), [](const LedData* data) { return data->intensity() == 0; }));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, ledAt(led));
    QCOMPARE(leds.at(led)->intensity(), 1);
    view.scene()->clearFrame();
}

QTEST_MAIN(tst_LedStateWidget)
#include "tst_LedStateWidget.moc"
