#include "GraphicsView/LedStateWidget.h"

#include "LedPanelContextMenu.h"

#include <QtTest>

class tst_LedStateWidget : public QObject
{
    Q_OBJECT

private slots:
    void zoom_data();
    void zoom();
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

QTEST_MAIN(tst_LedStateWidget)
#include "tst_LedStateWidget.moc"
