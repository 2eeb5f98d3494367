#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "Painter/LedPanelPainter.h"
#include "common/DataColumns.h"

#include <QtTest>

#include <sys/resource.h>

Q_DECLARE_METATYPE(LedLayout)

class tst_LedGraphicsScene : public QObject
{
    Q_OBJECT

private slots:
    void clicks_data()
    {
        // offset: from LED 30's centre, in LED radii; led: the one the press is on, -1 for none
        const auto add = dataColumns<LedLayout, qreal, int, QPointF, int>("layout", "zoom", "button", "offset", "led");
        const LedLayout ring;
        add("ring, inside the circle", ring, 4.0, int(Qt::LeftButton), QPointF(0.65, 0.65), 30);
        add("ring, beside the circle", ring, 4.0, int(Qt::LeftButton), QPointF(0.85, 0.85), -1);
        add("ring, right button", ring, 4.0, int(Qt::RightButton), QPointF(), 30);
        // Turned full circle, LED 30 lies on LED 0 and is drawn over it.
        LedLayout wrapped = LedLayout::create(LedLayout::Ring, 2, 31);
        wrapped.setSpacings(wrapped.rowSpacing(), 12.0);
        add("ring, LEDs on top of each other", wrapped, 4.0, int(Qt::LeftButton), QPointF(), 30);
    }

    // The scene tells which LED a press is on and repaints what changed; it never changes the frame itself.
    void clicks()
    {
        const auto [layout, zoom, button, offset, led] =
            fetchColumns<LedLayout, qreal, int, QPointF, int>("layout", "zoom", "button", "offset", "led");

        LedPanelModel show;
        QVERIFY(show.submit(new ChangeLayoutEdit(show, layout)));
        CommandList sequence(&show);
        sequence.addFrame();
        LedStateCommand* frame = sequence.frame(0);
        QScopedPointer<AbstractLedGraphicsScene> scene(AbstractLedGraphicsScene::create(layout));
        // A layout other than the default one is built over the scene's first layout: that one is gone whole.
        QCOMPARE(scene->items().count(), 1);
        QCOMPARE(scene->sceneRect(), layout.sceneRect());
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
    }

    void drawsAsThePainter_data()
    {
        // scroll: pixels the view moves after a first look
        const auto add = dataColumns<LedLayout, qreal, QPoint>("layout", "zoom", "scroll");
        add("ring", LedLayout(), 2.0, QPoint());
        add("ring, scrolled", LedLayout(), 5.0, QPoint(7, -3));
        add("grid, small LEDs", LedLayout::create(LedLayout::Rectangle, 100, 80), 0.45, QPoint());
        add("grid, scrolled", LedLayout::create(LedLayout::Rectangle, 40, 40), 1.3, QPoint(-5, 11));
    }

    // Busy frames drawn as the painter draws each LED on the body, to the quarter pixel the view rounds to, scrolled
    // too.
    void drawsAsThePainter()
    {
        const auto [layout, zoom, scroll] = fetchColumns<LedLayout, qreal, QPoint>("layout", "zoom", "scroll");

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
            // Against what the LEDs add to the body: far less than an LED misplaced or miscoloured, or all a pixel off.
            const qint64 difference = distance(shown, expected);
            const qint64 leds = distance(body, expected);
            QVERIFY2(3 * difference < leds, qPrintable(QStringLiteral("%1 of %2").arg(difference).arg(leds)));
        }
    }

    // A file may put a row's LEDs a million apart: the scene's lookup of LEDs by place stays small.
    void farApart()
    {
        LedLayout line = LedLayout::create(LedLayout::Rectangle, 1, 65536);
        line.setSpacings(6.0, LedLayout::MaxCoordinate);
        QScopedPointer<AbstractLedGraphicsScene> scene(AbstractLedGraphicsScene::create(line));
        rusage usage {};
        QCOMPARE(getrusage(RUSAGE_SELF, &usage), 0);
        QVERIFY2(usage.ru_maxrss < 300 * 1024, qPrintable(QStringLiteral("%1 KB").arg(usage.ru_maxrss)));
    }
};

QTEST_MAIN(tst_LedGraphicsScene)
#include "tst_LedGraphicsScene.moc"
