#include "Data/LedLayout.h"
#include "Data/LedPanelModel.h"
#include "Painter/LedPanelPainter.h"
#include "Picture/GifWriter.h"
#include "Picture/PanelFrameComposer.h"
#include "Picture/PanelPictureExport.h"
#include "Picture/PictureImporter.h"
#include "DataColumns.h"
#include "TestData.h"

#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QtTest>

Q_DECLARE_METATYPE(LedLayout)
Q_DECLARE_METATYPE(PictureImportSettings)

static LedLayout layoutOf(const QByteArray& layout)
{
    LedPanelModel show;
    if (!readShow(show, showXml(layout)))
        QTest::qFail("layout not read", __FILE__, __LINE__);
    return show.panelLayout();
}

static QString lit(const QVector<int>& values)
{
    QString text;
    for (int v : values)
        text += v ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

static QByteArray encoded(const QImage& image, const char* format = "PNG", bool progressive = false)
{
    QByteArray data;
    QBuffer buffer(&data);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        QTest::qFail(qPrintable(writer.errorString()), __FILE__, __LINE__);
    return data;
}

static QVector<QVector<int>> importData(QByteArray data, const LedLayout& layout, const PictureImportSettings& s)
{
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    PictureImporter importer(layout, s);
    const PictureImporter::eStatus status = importer.read(&buffer);
    if (status != PictureImporter::Ok)
        QTest::qFail(qPrintable(QStringLiteral("status %1: %2").arg(status).arg(importer.errorText())), __FILE__,
                     __LINE__);
    return importer.frames();
}

// A GIF of frames, each one colour on a size × size screen, with delays in hundredths.
static QByteArray gifOf(const QVector<QRgb>& colours, const QVector<int>& delays, int size = 4)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    GifWriter gif(&buffer, QSize(size, size),
                  { qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(255, 0, 0) });
    if (!gif.begin())
        return QByteArray();
    for (int i = 0; i < colours.size(); ++i) {
        QImage frame(size, size, QImage::Format_RGB32);
        frame.fill(colours.at(i));
        gif.addFrame(frame, delays.value(i, 10));
    }
    gif.finish();
    return data;
}

// Pictures imported onto real layouts; panels drawn, and as GIFs read back by Qt's reader and by ImageMagick.
class tst_Pictures : public QObject
{
    Q_OBJECT

private slots:
    void importSettings_data()
    {
        const auto add = dataColumns<QImage, LedLayout, PictureImportSettings, QString>("picture", "layout", "settings",
                                                                                        "expected");
        using S = PictureImportSettings;
        // Eight grey levels, 16 to 240, one per LED of a row.
        QImage gradient(8, 1, QImage::Format_RGB32);
        for (int x = 0; x < 8; ++x)
            gradient.setPixel(x, 0, qRgb(32 * x + 16, 32 * x + 16, 32 * x + 16));
        const LedLayout row = layoutOf(layoutXml(1, 8));
        add("gradient at 128", gradient, row, S(), "00001111");
        add("gradient at 128 inverted", gradient, row, S { S::Fit, 128, false, true }, "11110000");
        add("gradient at 240: lit at its threshold", gradient, row, S { S::Fit, 240 }, "00000001");

        // A 4:1 picture whose first pixel column is white, on a square grid of 4 × 4.
        QImage wide(8, 2, QImage::Format_RGB32);
        wide.fill(Qt::black);
        wide.setPixel(0, 0, qRgb(255, 255, 255));
        wide.setPixel(0, 1, qRgb(255, 255, 255));
        const LedLayout square = layoutOf(layoutXml(4, 4));
        add("fit: a band in the middle", wide, square, S { S::Fit, 50 }, "0000100010000000");
        add("fill: the white edge cut", wide, square, S { S::Fill, 50 }, "0000000000000000");
        add("stretch: first column", wide, square, S { S::Stretch, 50 }, "1000100010001000");
        QImage transparent(4, 4, QImage::Format_ARGB32);
        transparent.fill(qRgba(255, 255, 255, 0));
        add("transparent white: dark", transparent, layoutOf(layoutXml(2, 2)), S { S::Fit, 1 }, "0000");

        // White above the middle lights the LEDs above the ring's centre.
        QImage top(64, 64, QImage::Format_RGB32);
        top.fill(Qt::black);
        QPainter(&top).fillRect(0, 0, 64, 32, Qt::white);
        const LedLayout ring(LedLayout::Ring);
        QString above;
        for (int led = 0; led < int(ring.ledCount()); ++led)
            above += ring.ledPosition(led / ring.columns(), led % ring.columns()).y() < -1e-9 ? '1' : '0';
        QVERIFY(above.contains('1'));
        add("ring, its top half", top, ring, S(), above);
    }

    void importSettings()
    {
        const auto [picture, layout, settings, expected] =
            fetchColumns<QImage, LedLayout, PictureImportSettings, QString>(
                "picture", "layout", "settings", "expected");
        const QVector<QVector<int>> frames = importData(encoded(picture), layout, settings);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(lit(frames.first()), expected);
    }

    void ditherGrey_data()
    {
        QTest::addColumn<LedLayout>("layout");
        QTest::newRow("grid") << layoutOf(layoutXml(16, 16));
        QTest::newRow("ring") << LedLayout(LedLayout::Ring);
    }

    void ditherGrey()
    {
        QFETCH(LedLayout, layout);
        QImage grey(32, 32, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        const PictureImportSettings dithered { PictureImportSettings::Stretch, 128, true };
        const QVector<int> frame = importData(encoded(grey), layout, dithered).value(0);
        // Undithered, this grey lights every LED.
        const double share = double(std::count(frame.cbegin(), frame.cend(), 1)) / frame.size();
        QVERIFY2(share > 0.35 && share < 0.65, qPrintable(QString::number(share)));
    }

    void keepTiming_data()
    {
        const auto add = dataColumns<bool, int, QString>("keep", "fps", "expected"); // W white, B black, G grey frames
        // Delays of 100, 250 and 50 ms: they end at 100, 350 and 400 ms.
        add("one frame each without keep-timing", false, 10, "WBG");
        add("10 fps: 1, 3 and 0 frames", true, 10, "WBBB");
        add("20 fps: 2, 5 and 1 frames", true, 20, "WWBBBBBG");
    }

    void keepTiming()
    {
        const auto [keep, fps, expected] = fetchColumns<bool, int, QString>("keep", "fps", "expected");
        const QByteArray gif = gifOf({ qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(128, 128, 128) }, { 10, 25, 5 });
        // Grey lights at 100 but not at 200, so each LED frame tells which picture frame it came from.
        PictureImportSettings settings { PictureImportSettings::Stretch, 100, false, false, keep, fps };
        const LedLayout layout = layoutOf(layoutXml(1, 2));
        const QVector<QVector<int>> white = importData(gif, layout, settings);
        settings.threshold = 200;
        const QVector<QVector<int>> bright = importData(gif, layout, settings);
        QString seen;
        for (int i = 0; i < white.size(); ++i)
            seen += bright.at(i).at(0) ? QLatin1Char('W') : white.at(i).at(0) ? QLatin1Char('G') : QLatin1Char('B');
        QCOMPARE(seen, expected);
    }

    void badInput_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("offered");
        QTest::addColumn<QString>("message");

        using P = PictureImporter;
        const auto row = [](const QString& name, const QByteArray& data, int status, int offered, const QString& said) {
            QTest::newRow(qPrintable(name)) << data << status << offered << said;
        };
        row("text", "Frame 1: all on\n", P::NotAPicture, 0, "not a picture");
        const QByteArray gif = gifOf({ qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 255, 255) }, {}, 16);
        row("GIF cut in its last frame", gif.left(gif.size() - 6), P::Truncated, 2, "breaks off at byte");
        row("GIF without its trailer", gif.left(gif.size() - 1), P::Truncated, 3, "in frame 4");
        row("GIF cut in its header", gif.left(20), P::NotAPicture, 0, "before its first frame");

        // A BMP header that announces 20000 × 6000 pixels, with no pixels behind it.
        const QByteArray bmp = QByteArray::fromHex("424d"
                                                   "36000000"
                                                   "00000000"
                                                   "36000000"
                                                   "28000000"
                                                   "204e0000"
                                                   "70170000"
                                                   "0100"
                                                   "1800")
                                   .leftJustified(54, '\0');
        row("120 megapixels", bmp, P::TooLarge, 0, "100 megapixels");

        // Qt decodes each frame onto the whole screen, whatever the frame covers and whatever size it reports.
        row("10000 dots on 10000 x 10000", dotsGif(10000, 10000, 10000), P::TooLarge, 0,
            "10000 × 10000 pixels, more than the 25 megapixels");
        row("1001 dots on 1000 x 500", dotsGif(1000, 500, 1001), P::TooLarge, 0, "at most 500 megapixels");
        row("a frame far past a small screen", dotsGif(8, 8, 2, 6000), P::TooLarge, 0, "6001 × 6001 pixels");
        row("dots on a small screen", dotsGif(8, 4, 3), P::Ok, 3, "");

        // Cut off, a JPEG decodes without an error, its missing part grey: half of this one is past its tables.
        QImage picture(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                picture.setPixel(x, y, qRgb(x * 4, y * 4, x * y % 256));
        for (bool progressive : { false, true }) {
            const QByteArray jpeg = encoded(picture, "jpeg", progressive);
            const QString kind = progressive ? "progressive JPEG" : "baseline JPEG";
            row(kind, jpeg, P::Ok, 1, "");
            row(kind + ", cut in half", jpeg.left(jpeg.size() / 2), P::Damaged, 1,
                QString("The picture is damaged: it breaks off at byte %1,").arg(jpeg.size() / 2));
            // After the start marker and the first segment.
            const int junk = 4 + (quint8(jpeg.at(4)) << 8 | quint8(jpeg.at(5)));
            row(kind + ", junk between segments", jpeg.left(junk) + "junk" + jpeg.mid(junk), P::Damaged, 1,
                QString("the bytes from %1 on are not a JPEG's").arg(junk));
        }

        const QByteArray bmp24 = encoded(picture, "BMP");
        row("BMP", bmp24, P::Ok, 1, "");
        row("BMP, cut in half", bmp24.left(bmp24.size() / 2), P::Damaged, 1,
            QString("The picture is damaged: it breaks off at byte %1,").arg(bmp24.size() / 2));

        row("10001 frames", dotsGif(1, 1, P::MaxFrames + 1), P::TooManyFrames, 0, "10001 frames");
    }

    void badInput()
    {
        auto [data, status, offered, message] =
            fetchColumns<QByteArray, int, int, QString>("data", "status", "offered", "message");
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        PictureImporter importer(layoutOf(layoutXml(2, 2)), PictureImportSettings());
        QCOMPARE(int(importer.read(&buffer)), status);
        QCOMPARE(importer.frames().size(), offered);
        QVERIFY2(importer.errorText().contains(message), qPrintable(importer.errorText()));
    }

    void gifRoundTrip()
    {
        // A chase round the default ring: LED 0 to 5 of the inner circle in turn, each frame twice. Dark is
        // below 0, as a file may hold it: no frame looks like the one before by its values alone.
        const LedLayout ring(LedLayout::Ring);
        QVector<QVector<int>> frames;
        for (int i = 0; i < 12; ++i) {
            QVector<int> values(int(ring.ledCount()), -1);
            values[i / 2] = 1;
            frames.append(values);
        }
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("chase.gif"));
        const PanelPictureExport pictures(ring, 200);
        QString error;
        QVERIFY2(pictures.writeGif(frames.size(), [&frames](int i) { return frames.at(i); }, 20, fileName, &error),
                 qPrintable(error));

        // Repeated frames are one GIF frame held twice as long: 6 frames of 10 hundredths.
        QImageReader reader(fileName);
        QCOMPARE(reader.imageCount(), 6);
        QImage first;
        QVERIFY(reader.read(&first));
        QCOMPARE(first.size(), QSize(200, 200));
        QSet<QRgb> colours;
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x)
                colours.insert(first.pixel(x, y) | 0xff000000u);
        const QSet<QRgb> four { LedPanelPainter::backgroundColor().rgb(), LedPanelPainter::bodyColor().rgb(),
                                LedPanelPainter::litColor().rgb(), LedPanelPainter::darkColor().rgb() };
        QVERIFY(four.contains(colours));

        // Imported back at the same speed, keeping time: the same run of frames, each held twice.
        PictureImporter importer(ring, { PictureImportSettings::Fit, 128, false, false, true, 20 });
        QCOMPARE(importer.read(fileName), PictureImporter::Ok);
        QCOMPARE(importer.frames().size(), frames.size());

        const QTransform toPixels = LedPanelPainter(ring).transformTo(QRectF(0, 0, 200, 200));
        const QPoint led0 = toPixels.map(ring.ledPosition(0, 0)).toPoint();
        const QPoint led1 = toPixels.map(ring.ledPosition(0, 1)).toPoint();
        QCOMPARE(QColor(first.pixel(led0)), LedPanelPainter::litColor());
        QCOMPARE(QColor(first.pixel(led1)), LedPanelPainter::darkColor());
        QImage second;
        QVERIFY(reader.read(&second));
        QCOMPARE(QColor(second.pixel(led0)), LedPanelPainter::darkColor());
        QCOMPARE(QColor(second.pixel(led1)), LedPanelPainter::litColor());

        const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
        if (identify.isEmpty())
            QSKIP("ImageMagick's identify is not installed");
        QCOMPARE(runProgram(identify, { "-format", "%W %H %T\\n", fileName }), QByteArray("200 200 10\n").repeated(6));
    }

    void composedFrames_data()
    {
        const auto add = dataColumns<LedLayout, int>("layout", "size");
        const QByteArray overlapping = "<Layout type=\"Rectangle\"><Rows>3</Rows><Columns>5</Columns>"
                                       "<RowSpacing>1.5</RowSpacing><ColumnSpacing>1.5</ColumnSpacing></Layout>";
        add("ring, odd size", layoutOf(layoutXml(3, 17, "Ring")), 97);
        add("LEDs overlapping, lit over dark", layoutOf(overlapping), 61);
        add("tiny picture", layoutOf(layoutXml(8, 8)), 16);
        add("serpentine columns from the bottom right",
            layoutOf("<Layout type=\"Rectangle\"><Rows>3</Rows><Columns>5</Columns><RowSpacing>-6</RowSpacing>"
                     "<ColumnSpacing>-6</ColumnSpacing><FirstLedPosition_X>24</FirstLedPosition_X>"
                     "<FirstLedPosition_Y>12</FirstLedPosition_Y><Order>Columns</Order>"
                     "<Serpentine>1</Serpentine></Layout>"),
            64);
    }

    void composedFrames()
    {
        // A composed frame holds exactly the pixels the painter draws, whatever lights; below 0 is dark.
        const auto [layout, size] = fetchColumns<LedLayout, int>("layout", "size");
        const PanelPictureExport pictures(layout, size);
        const PanelFrameComposer composer(layout, pictures.imageSize());
        const QVector<QRgb> palette = PanelFrameComposer::palette();
        const int leds = int(layout.ledCount());
        for (int pattern = 0; pattern < 3; ++pattern) {
            QVector<int> values(leds - pattern);
            for (int i = 0; i < values.size(); ++i)
                values[i] = (i * 7 + pattern) % (pattern + 2) == 0 ? 255 : (i % 3 == 1 ? -1 : 0);
            const QImage drawn = pictures.render(values);
            const QByteArray composed = composer.compose(values);
            QCOMPARE(composed.size(), drawn.width() * drawn.height());
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x)
                    if (palette.at(composed.at(y * drawn.width() + x)) != (drawn.pixel(x, y) | 0xff000000u))
                        QFAIL(qPrintable(QStringLiteral("pattern %1 differs at %2, %3").arg(pattern).arg(x).arg(y)));
        }
    }

    void numbered_data()
    {
        // One panel, numbered otherwise and as plain rows from the top left.
        const auto add = dataColumns<LedLayout, LedLayout>("layout", "plain");
        add("grid, serpentine columns from the bottom right",
            layoutOf("<Layout type=\"Rectangle\"><Rows>4</Rows><Columns>6</Columns><RowSpacing>-6</RowSpacing>"
                     "<ColumnSpacing>-6</ColumnSpacing><FirstLedPosition_X>30</FirstLedPosition_X>"
                     "<FirstLedPosition_Y>18</FirstLedPosition_Y><Order>Columns</Order>"
                     "<Serpentine>1</Serpentine></Layout>"),
            layoutOf(layoutXml(4, 6)));
        add("ring, alternating, anticlockwise",
            layoutOf("<Layout type=\"Ring\"><Rows>3</Rows><Columns>16</Columns><ColumnSpacing>-22.5</ColumnSpacing>"
                     "<Serpentine>1</Serpentine></Layout>"),
            layoutOf("<Layout type=\"Ring\"><Rows>3</Rows><Columns>16</Columns><ColumnSpacing>22.5</ColumnSpacing>"
                     "</Layout>"));
    }

    // A picture imported, and frames drawn, look the same on any numbering of the panel.
    void numbered()
    {
        const auto [layout, plain] = fetchColumns<LedLayout, LedLayout>("layout", "plain");
        QVERIFY(layout.ledPositionOf(1) != plain.ledPositionOf(1));

        // White in the top left of the picture, its edges clear of the LEDs' centres.
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(Qt::black);
        QPainter(&picture).fillRect(0, 0, 21, 27, Qt::white);
        const QVector<int> onNumbered = importData(encoded(picture), layout, PictureImportSettings()).value(0);
        const QVector<int> onPlain = importData(encoded(picture), plain, PictureImportSettings()).value(0);
        QVERIFY(onPlain.contains(1) && onPlain.contains(0));
        QCOMPARE(drawnCells(layout, onNumbered), drawnCells(plain, onPlain));
        QCOMPARE(PanelPictureExport(layout, 120).render(onNumbered), PanelPictureExport(plain, 120).render(onPlain));
    }
};

QTEST_MAIN(tst_Pictures)
#include "tst_Pictures.moc"
