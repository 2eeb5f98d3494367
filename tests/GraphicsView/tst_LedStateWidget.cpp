#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "LedPanelContextMenu.h"
#include "TreeView/LedTreeView.h"
#include "common/DataColumns.h"
#include "common/NewDocument.h"
#include "common/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

Q_DECLARE_METATYPE(LedLayout)

static void wheel(LedStateWidget* view, int delta, int notches = 1, QPoint at = QPoint())
{
    if (at.isNull())
        at = view->viewport()->rect().center();
    QWheelEvent event(at, view->viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    for (int i = 0; i < notches; ++i)
        QApplication::sendEvent(view->viewport(), &event);
}

// The panel's drawing is whole in the view and fills it along one side but for a small margin.
static bool fits(const LedStateWidget* view)
{
    const QRect panel = view->mapFromScene(view->sceneRect()).boundingRect();
    const QRect area = view->viewport()->rect();
    return area.adjusted(-1, -1, 1, 1).contains(panel)
        && (panel.width() >= 0.9 * area.width() || panel.height() >= 0.9 * area.height());
}

class tst_LedStateWidget : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showWindow()); }
    void cleanup() { QVERIFY(closeWindow()); }

    // A document opened from a file of a grid of that size, and the layout it changes to.
    void fitsThePanel_data()
    {
        const auto add = dataColumns<QSize, LedLayout>("opened", "changed");
        add("opened grid, to a ring", QSize(8, 8), LedLayout::create(LedLayout::Ring, 2, 24));
        // Under a pixel per unit, then a panel that fits only far above 50 pixels per unit.
        add("opened long grid, to one LED", QSize(2, 1000), LedLayout::create(LedLayout::Rectangle, 1, 1, 0.5));
    }

    void fitsThePanel()
    {
        const auto [opened, changed] = fetchColumns<QSize, LedLayout>("opened", "changed");

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("show.xml"));
        QVERIFY(writeFile(path, showXml(layoutXml(opened.width(), opened.height()) + sequenceXml(0, 2))));
        QVERIFY(m_window->openFile(path));
        LedPanelDocument* doc = document();
        const LedLayout before = doc->panelLayout();
        // The view is first shown when a frame becomes current.
        doc->makeCurrent(doc->sequence(0)->frame(0));
        LedStateWidget* view = doc->ledFrame();
        QTRY_VERIFY(fits(view));
        const qreal fitted = view->transform().m11();

        // The user's zoom stays through frame switches, the sequence's page and a larger window.
        wheel(view, 120);
        QVERIFY(view->transform().m11() > fitted || fitted > 50);
        const QTransform zoomed = view->transform();
        for (AbstractCommand* node : {doc->node(0, 1), doc->node(0), doc->node(0, 0)})
            doc->makeCurrent(node);
        m_window->resize(1000, 800);
        QTest::qWait(50);
        QCOMPARE(view->transform(), zoomed);
        // The wheel stops at 1 pixel per unit or the fit below it, and at 50 or the fit above it.
        wheel(view, -120, 40);
        QVERIFY(qFuzzyCompare(view->transform().m11(), qMin(1.0, fitted)));
        wheel(view, 120, 40);
        QVERIFY(qFuzzyCompare(view->transform().m11(), qMax(50.0, fitted)));
        // Zooming, the point under the cursor stays there.
        const QPoint cursor(60, 50);
        const QPointF underCursor = view->mapToScene(cursor);
        wheel(view, -60, 1, cursor);
        QVERIFY(fitted > 10 || (view->mapFromScene(underCursor) - cursor).manhattanLength() <= 2);

        // Zoom all fits again, and goes on fitting as the window changes size.
        view->findChild<LedPanelContextMenu*>()->action_ZoomAll->trigger();
        QVERIFY(fits(view));
        m_window->resize(700, 900);
        QTRY_VERIFY(fits(view));

        // Another layout is fitted however the user had zoomed, and so is the old one again.
        wheel(view, 120);
        QVERIFY(doc->submit(new ChangeLayoutEdit(*doc, changed)));
        QTRY_VERIFY(fits(view));
        wheel(view, -120);
        doc->undoStack()->undo();
        QCOMPARE(view->scene()->layout(), before);
        QTRY_VERIFY(fits(view));
    }

    // Arrow keys as l, r, u, d from LED 0, and the LED the outline is on then.
    void keyboard_data()
    {
        const auto add = dataColumns<LedLayout, QString, int>("layout", "keys", "led");
        const LedLayout grid = LedLayout::create(LedLayout::Rectangle, 8, 8);
        add("grid: stops at the top left, by column and row", grid, "ulrrd", 10);
        add("grid: stops at the bottom right", grid, QString(9, 'd') + QString(9, 'r') + "l", 62);
        LedLayout mirrored = grid;
        mirrored.setSpacings(6.0, -6.0);
        mirrored.fitBody();
        add("grid numbered right to left", mirrored, "rlld", 10);
        const LedLayout ring;
        add("ring: back past LED 0", ring, "l", 47);
        add("ring: round the circle", ring, QString(49, 'r'), 1);
        add("ring: stops at the inner and outer circles", ring, "duuuuurd", 97);
        LedLayout inward = ring;
        inward.setSpacings(-5.0, 7.5);
        inward.setFirstLedPosition(QPointF(0.0, -60.0));
        add("ring numbered from the outer circle", inward, "ud", 48);
    }

    void keyboard()
    {
        const auto [layout, keys, led] = fetchColumns<LedLayout, QString, int>("layout", "keys", "led");

        LedPanelDocument* doc = newDocumentWithFrames(*m_window, 2);
        QVERIFY(doc);
        if (doc->panelLayout() != layout)
            QVERIFY(doc->submit(new ChangeLayoutEdit(*doc, layout)));
        doc->undoStack()->clear();
        doc->makeCurrent(doc->sequence(0)->frame(0));
        LedStateWidget* view = doc->ledFrame();
        LedTreeView* tree = doc->treeView();
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Tab);
        QVERIFY(view->hasFocus());

        const QHash<QChar, Qt::Key> arrows{
            {'l', Qt::Key_Left}, {'r', Qt::Key_Right}, {'u', Qt::Key_Up}, {'d', Qt::Key_Down}};
        for (const QChar key : keys)
            QTest::keyClick(view, arrows.value(key));
        QCOMPARE(view->currentLed(), led);

        // The outline is drawn round that LED, and only while the view has the focus.
        const QImage focused = view->viewport()->grab().toImage();
        QTest::keyClick(view, Qt::Key_Tab);
        QVERIFY(tree->hasFocus());
        const QImage unfocused = view->viewport()->grab().toImage();
        QRect changed;
        for (int y = 0; y < focused.height(); ++y)
            for (int x = 0; x < focused.width(); ++x)
                changed |= focused.pixel(x, y) != unfocused.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
        const int reach = int(2 * layout.ledItemsSize() * view->transform().m11()) + 4;
        const QPoint centre = view->mapFromScene(layout.ledPositionOf(led));
        QVERIFY(!changed.isEmpty() && QRect(centre, centre).adjusted(-reach, -reach, reach, reach).contains(changed));

        // While playing, Space in the view pauses and toggles the LED of the frame shown, one undo step.
        QAction* play = action(QStringLiteral("action_Play"));
        play->trigger();
        QTest::keyClick(tree, Qt::Key_Backtab);
        QVERIFY(view->hasFocus());
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(!play->isChecked());
        LedStateCommand* frame = doc->currentFrame();
        QCOMPARE(frame->led(led)->intensity(), 1);
        QCOMPARE(doc->undoStack()->count(), 1);
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(frame->led(led)->intensity(), 0);
        QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(frame->led(led)->intensity(), 0);
        QCOMPARE(doc->undoStack()->count(), 2);

        // A middle drag pans and leaves the LEDs alone; a left click then reaches the LED under it, keys go on from
        // there.
        view->scale(4, 4);
        view->centerOn(layout.ledPositionOf(0));
        const auto ledAt = [&](int n) { return view->mapFromScene(layout.ledPositionOf(n)); };
        int clicked = 0;
        while (!view->viewport()->rect().adjusted(40, 40, -40, -40).contains(ledAt(clicked)))
            ++clicked;
        const QPoint start = ledAt(clicked);
        QScrollBar* across = view->horizontalScrollBar();
        QScrollBar* down = view->verticalScrollBar();
        // Away from the ends of the scroll ranges, where an LED in a corner leaves the view.
        const QPoint by(across->value() - across->minimum() >= 20 ? 20 : -20,
                        down->value() - down->minimum() >= 30 ? 30 : -30);
        const QPoint scrolled = QPoint(across->value(), down->value()) - by;
        QVERIFY(scrolled.x() >= across->minimum() && scrolled.x() <= across->maximum());
        QVERIFY(scrolled.y() >= down->minimum() && scrolled.y() <= down->maximum());
        const auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos) {
            QMouseEvent event(type, pos, view->viewport()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &event);
        };
        send(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, start);
        for (int step = 1; step <= 5; ++step)
            send(QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, start + by * step / 5);
        send(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, start + by);
        QCOMPARE(QPoint(across->value(), down->value()), scrolled);
        QCOMPARE(doc->undoStack()->count(), 2);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, ledAt(clicked));
        QCOMPARE(frame->led(clicked)->intensity(), 1);
        QCOMPARE(view->currentLed(), clicked);
    }
};

QTEST_MAIN(tst_LedStateWidget)
#include "tst_LedStateWidget.moc"
