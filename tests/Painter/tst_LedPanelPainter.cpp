#include "Data/LedLayout.h"
#include "Painter/LedPanelPainter.h"
#include "common/DataColumns.h"

#include <QPainter>
#include <QtTest>

Q_DECLARE_METATYPE(LedLayout)

// The panel as the painter draws it for thumbnails, exports and the view's stamps.
class tst_LedPanelPainter : public QObject
{
    Q_OBJECT

private slots:
    void drawnPanel_data()
    {
        const auto add = dataColumns<LedLayout, int>("panelLayout", "litLed");
        add("grid, an inner LED lit", LedLayout::create(LedLayout::Rectangle, 4, 8), 13);
    }

    void drawnPanel()
    {
        const auto [panelLayout, litLed] = fetchColumns<LedLayout, int>("panelLayout", "litLed");

        QVector<int> intensities(int(panelLayout.ledCount()));
        intensities[litLed] = 7;
        // Only a positive intensity is lit, as in the LED view.
        const int other = (litLed + 1) % int(panelLayout.ledCount());
        intensities[other] = -1;
        LedPanelPainter painter(panelLayout);
        painter.setAntialiased(false);
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(LedPanelPainter::backgroundColor());
        const QTransform toImage = painter.transformTo(image.rect());
        const auto paint = [&](const std::function<void(QPainter*)>& draw) {
            QPainter on(&image);
            on.setTransform(toImage);
            draw(&on);
        };
        paint([&](QPainter* on) { painter.drawPanel(on, intensities); });

        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        const QSet<QRgb> colours(pixels, pixels + image.width() * image.height());
        const QSet<QRgb> four{LedPanelPainter::backgroundColor().rgb(), LedPanelPainter::bodyColor().rgb(),
                              LedPanelPainter::litColor().rgb(), LedPanelPainter::darkColor().rgb()};
        QCOMPARE(colours, four);

        const int columns = panelLayout.columns();
        const QPoint lit = toImage.map(panelLayout.ledPosition(litLed / columns, litLed % columns)).toPoint();
        QCOMPARE(QColor(image.pixel(lit)), LedPanelPainter::litColor());
        const QPoint dark = toImage.map(panelLayout.ledPosition(other / columns, other % columns)).toPoint();
        QCOMPARE(QColor(image.pixel(dark)), LedPanelPainter::darkColor());
        // The whole drawing fits the image: nothing of the body is cut at its edges.
        QCOMPARE(QColor(image.pixel(0, 0)), LedPanelPainter::backgroundColor());

        // One LED drawn on its own lands where the panel drew it.
        paint([&](QPainter* on) { painter.drawLedAt(on, panelLayout.ledPositionOf(other), true); });
        QCOMPARE(QColor(image.pixel(dark)), LedPanelPainter::litColor());
    }
};

QTEST_MAIN(tst_LedPanelPainter)
#include "tst_LedPanelPainter.moc"
