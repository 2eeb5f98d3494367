#include "Data/BitmapFont.h"
#include "Data/LedPanelModel.h"
#include "Data/LedShapes.h"
#include "Data/LedRegion.h"
#include "Data/LedSymmetry.h"
#include "Data/RegionOperations.h"
#include "Data/TextFrames.h"

#include "common/TestData.h"

#include <QtTest>

Q_DECLARE_METATYPE(LedShapes::eShape)
Q_DECLARE_METATYPE(BitmapFont::eFace)
Q_DECLARE_METATYPE(LedSymmetry::eMode)
Q_DECLARE_METATYPE(FrameOperations::eOperation)

namespace {

// Pictures are rows of '#' (lit) and '.' (dark) separated by '|'; on a ring a row is a circle, innermost first.
QVector<int> values(const QByteArray& picture)
{
    QVector<int> frame;
    for (char c : picture) {
        if (c != '|')
            frame.append(c == '#' ? 1 : 0);
    }
    return frame;
}

// The LEDs a picture lights, ascending.
QVector<int> litLeds(const QByteArray& picture)
{
    const QVector<int> frame = values(picture);
    QVector<int> leds;
    for (int i = 0; i < frame.size(); ++i) {
        if (frame.at(i))
            leds.append(i);
    }
    return leds;
}

QByteArray picture(const QVector<int>& frame, int columns)
{
    QByteArray text;
    for (int i = 0; i < frame.size(); ++i) {
        if (i > 0 && i % columns == 0)
            text += '|';
        text += frame.at(i) ? '#' : '.';
    }
    return text;
}

// The picture of the LEDs a shape covers.
QByteArray covering(const QVector<int>& covered, int leds, int columns)
{
    QVector<int> frame(leds, 0);
    for (int led : covered)
        frame[led] = 1;
    return picture(frame, columns);
}

QByteArray picture(const QVector<quint8>& glyph, int height)
{
    QByteArray text;
    for (int y = 0; y < height; ++y) {
        if (y > 0)
            text += '|';
        for (quint8 column : glyph)
            text += (column & (1 << y)) ? '#' : '.';
    }
    return text;
}

LedLayout layoutOf(int rows, int columns, const char* type = "Rectangle")
{
    LedPanelModel show;
    if (!readShow(show, showXml(layoutXml(rows, columns, type))))
        qFatal("layout %d x %d not read", rows, columns);
    return show.panelLayout();
}

QByteArray ringRow(std::initializer_list<int> lit)
{
    QByteArray row(48, '.');
    for (int column : lit)
        row[column] = '#';
    return row;
}

QByteArray ringRows(std::initializer_list<int> lit)
{
    const QByteArray row = ringRow(lit);
    return row + '|' + row + '|' + row + '|' + row;
}

const QByteArray darkRing = ringRows({});

} // namespace

// What the drawing tools cover and what the lettering draws, without a window.
class tst_LedShapes : public QObject
{
    Q_OBJECT

private slots:
    void shapes_data();
    void shapes();
    void nearestAndNeighbours_data();
    void nearestAndNeighbours();
    void floodArea_data();
    void floodArea();
    void symmetry_data();
    void symmetry();
    void region_data();
    void region();
    void regionPaste_data();
    void regionPaste();
    void glyphs_data();
    void glyphs();
    void everyGlyphFitsItsFace();
    void lettering_data();
    void lettering();
};

void tst_LedShapes::shapes_data()
{
    QTest::addColumn<int>("rows"); // of a grid; 0: the default ring
    QTest::addColumn<int>("columns");
    QTest::addColumn<LedShapes::eShape>("shape");
    QTest::addColumn<QPointF>("from"); // on a grid the (column, row) of a cell, on the ring a scene point
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<bool>("square");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("line: one diagonal of an X") << 5 << 5 << LedShapes::Line << QPointF(0, 0) << QPointF(4, 4)
        << false << false << QByteArray("#....|.#...|..#..|...#.|....#");
    QTest::newRow("line: the other diagonal, drawn upwards") << 5 << 5 << LedShapes::Line << QPointF(0, 4)
        << QPointF(4, 0) << false << false << QByteArray("....#|...#.|..#..|.#...|#....");
    QTest::newRow("line: shallow, backwards") << 3 << 7 << LedShapes::Line << QPointF(6, 2) << QPointF(0, 0)
        << false << false << QByteArray("##.....|..###..|.....##");
    QTest::newRow("line: steep") << 7 << 3 << LedShapes::Line << QPointF(0, 0) << QPointF(2, 6) << false << false
        << QByteArray("#..|#..|.#.|.#.|.#.|..#|..#");
    QTest::newRow("line: a single LED") << 3 << 3 << LedShapes::Line << QPointF(1, 1) << QPointF(1, 1) << false
        << false << QByteArray("...|.#.|...");
    QTest::newRow("rectangle outline") << 4 << 6 << LedShapes::Rectangle << QPointF(4, 3) << QPointF(1, 0) << false
        << false << QByteArray(".####.|.#..#.|.#..#.|.####.");
    QTest::newRow("rectangle filled") << 4 << 6 << LedShapes::Rectangle << QPointF(1, 1) << QPointF(3, 2) << true
        << false << QByteArray("......|.###..|.###..|......");
    QTest::newRow("rectangle made square") << 5 << 6 << LedShapes::Rectangle << QPointF(0, 0) << QPointF(5, 2)
        << false << true << QByteArray("#####.|#...#.|#...#.|#...#.|#####.");
    QTest::newRow("square kept on the grid") << 3 << 6 << LedShapes::Rectangle << QPointF(5, 0) << QPointF(0, 1)
        << true << true << QByteArray("...###|...###|...###");
    QTest::newRow("ellipse outline 5 x 5") << 5 << 5 << LedShapes::Ellipse << QPointF(0, 0) << QPointF(4, 4) << false
        << false << QByteArray(".###.|#...#|#...#|#...#|.###.");
    QTest::newRow("ellipse filled 5 x 5") << 5 << 5 << LedShapes::Ellipse << QPointF(4, 4) << QPointF(0, 0) << true
        << false << QByteArray(".###.|#####|#####|#####|.###.");
    QTest::newRow("ellipse outline 3 x 7") << 3 << 7 << LedShapes::Ellipse << QPointF(0, 0) << QPointF(6, 2) << false
        << false << QByteArray(".#####.|#.....#|.#####.");
    QTest::newRow("ellipse one row high") << 3 << 5 << LedShapes::Ellipse << QPointF(0, 1) << QPointF(4, 1) << false
        << false << QByteArray(".....|#####|.....");
    QTest::newRow("ellipse made a circle") << 7 << 7 << LedShapes::Ellipse << QPointF(0, 0) << QPointF(6, 2) << false
        << true << QByteArray("..###..|.#...#.|#.....#|#.....#|#.....#|.#...#.|..###..");
    const LedLayout ring;
    const auto at = [&](int circle, int column) { return ring.ledPosition(circle, column); };
    QTest::newRow("band across LED 0, filled") << 0 << 0 << LedShapes::Rectangle << at(1, 46) << at(2, 2) << true
        << false << ringRow({}) + '|' + ringRow({ 46, 47, 0, 1, 2 }) + '|' + ringRow({ 46, 47, 0, 1, 2 }) + '|'
               + ringRow({});
    QTest::newRow("band outline, the shorter way back") << 0 << 0 << LedShapes::Rectangle << at(0, 10)
        << at(3, 4) << false << false << ringRow({ 4, 5, 6, 7, 8, 9, 10 }) + '|' + ringRow({ 4, 10 }) + '|'
               + ringRow({ 4, 10 }) + '|' + ringRow({ 4, 5, 6, 7, 8, 9, 10 });
    QTest::newRow("band of one circle the long way is never taken") << 0 << 0 << LedShapes::Rectangle << at(3, 40)
        << at(3, 10) << true << false << ringRow({}) + '|' + ringRow({}) + '|' + ringRow({}) + '|'
               + ringRow({ 40, 41, 42, 43, 44, 45, 46, 47, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 });
    QTest::newRow("line through the middle") << 0 << 0 << LedShapes::Line << at(3, 0) << at(3, 24) << false << false
        << ringRows({ 0, 24 });
    QTest::newRow("line from the press's nearest LED") << 0 << 0 << LedShapes::Line << at(0, 12) + QPointF(1, 1)
        << at(3, 12) - QPointF(1, 0) << false << false << ringRows({ 12 });
    QTest::newRow("circle on the second circle") << 0 << 0 << LedShapes::Ellipse << QPointF(-50, -50) << QPointF(50, 50)
        << false << false << ringRow({}) + '|' + QByteArray(48, '#') + '|' + ringRow({}) + '|' + ringRow({});
    QTest::newRow("filled circle") << 0 << 0 << LedShapes::Ellipse << QPointF(50, 50) << QPointF(-50, -50) << true
        << false << QByteArray(48, '#') + '|' + QByteArray(48, '#') + '|' + ringRow({}) + '|' + ringRow({});
    QTest::newRow("ellipse beside the ring covers nothing") << 0 << 0 << LedShapes::Ellipse << QPointF(-20, -20)
        << QPointF(20, 20) << true << false << darkRing;
}

void tst_LedShapes::shapes()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(LedShapes::eShape, shape);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(bool, filled);
    QFETCH(bool, square);
    QFETCH(QByteArray, expected);

    const LedLayout layout = rows ? layoutOf(rows, columns) : LedLayout();
    // A little beside the LEDs, as a hand would press.
    const QPointF nudge(1.2, -1.1);
    const auto scene = [&](QPointF p, int side) {
        return rows ? layout.ledPosition(int(p.y()), int(p.x())) + side * nudge : p;
    };
    const QVector<int> covered = LedShapes::covered(layout, shape, scene(from, 1), scene(to, -1), filled, square);
    QCOMPARE(covering(covered, int(layout.ledCount()), layout.columns()), expected);
    QVERIFY(std::is_sorted(covered.begin(), covered.end()));
}

void tst_LedShapes::nearestAndNeighbours_data()
{
    QTest::addColumn<QByteArray>("type"); // the grid is 4 x 8
    QTest::addColumn<QPointF>("point");   // null: the neighbours of `led`
    QTest::addColumn<int>("led");
    QTest::addColumn<QVector<int>>("expected");

    QTest::newRow("grid: on an LED") << QByteArray("Rectangle") << QPointF(12, 6) << 0 << QVector<int> { 10 };
    QTest::newRow("grid: far beside it") << QByteArray("Rectangle") << QPointF(-100, 100) << 0 << QVector<int> { 24 };
    QTest::newRow("ring: LED 0 at the top") << QByteArray("Ring") << QPointF(0.5, -44) << 0 << QVector<int> { 0 };
    QTest::newRow("ring: outer circle, a quarter on") << QByteArray("Ring") << QPointF(61, 1) << 0
                                                      << QVector<int> { 3 * 48 + 12 };
    QTest::newRow("ring: last of the inner circle wraps to LED 0")
        << QByteArray("Ring") << QPointF() << 47 << QVector<int> { 0, 46, 95 };
    QTest::newRow("ring: LED 0 wraps back") << QByteArray("Ring") << QPointF() << 0 << QVector<int> { 1, 47, 48 };
    QTest::newRow("ring: outer circle") << QByteArray("Ring") << QPointF() << 150 << QVector<int> { 102, 149, 151 };
    QTest::newRow("grid: a corner does not wrap")
        << QByteArray("Rectangle") << QPointF() << 7 << QVector<int> { 6, 15 };
}

void tst_LedShapes::nearestAndNeighbours()
{
    QFETCH(QByteArray, type);
    QFETCH(QPointF, point);
    QFETCH(int, led);
    QFETCH(QVector<int>, expected);
    const LedLayout layout = type == "Ring" ? LedLayout() : layoutOf(4, 8);
    const QVector<int> found = point.isNull() ? LedShapes::neighbours(layout, led)
                                              : QVector<int> { LedShapes::nearestLed(layout, point) };
    QCOMPARE(found, expected);
}

void tst_LedShapes::floodArea_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QPoint>("start"); // (column, row)
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("grid: dark area inside a wall") << QByteArray("Rectangle")
        << QByteArray("..#...|..#...|###...|......") << QPoint(0, 0) << QByteArray("##....|##....|......|......");
    QTest::newRow("grid: diagonal gaps do not leak") << QByteArray("Rectangle")
        << QByteArray(".#....|#.....|......|......") << QPoint(0, 0) << QByteArray("#.....|......|......|......");
    QTest::newRow("grid: the lit wall itself") << QByteArray("Rectangle") << QByteArray("..#...|..#...|###...|......")
        << QPoint(2, 1) << QByteArray("..#...|..#...|###...|......");
    QTest::newRow("ring: dark ring, all 192") << QByteArray("Ring") << darkRing << QPoint(7, 2)
        << ringRows({}).replace('.', '#');
    QTest::newRow("ring: walls, wrapping at LED 0") << QByteArray("Ring") << ringRows({ 10, 20 }) << QPoint(0, 0)
        << ringRows({ 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44,
                      45, 46, 47, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 });
    QTest::newRow("ring: across the circles at one angle") << QByteArray("Ring")
        << ringRow({ 5 }) + '|' + ringRow({ 5 }) + '|' + ringRow({ 5 }) + '|' + ringRow({ 5, 6 }) << QPoint(5, 0)
        << ringRow({ 5 }) + '|' + ringRow({ 5 }) + '|' + ringRow({ 5 }) + '|' + ringRow({ 5, 6 });
}

void tst_LedShapes::floodArea()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, frame);
    QFETCH(QPoint, start);
    QFETCH(QByteArray, expected);

    const LedLayout layout = type == "Ring" ? LedLayout() : layoutOf(4, 6);
    const QVector<int> area
        = LedShapes::floodArea(layout, values(frame), start.y() * layout.columns() + start.x());
    QCOMPARE(covering(area, int(layout.ledCount()), layout.columns()), expected);
    QVERIFY(std::adjacent_find(area.begin(), area.end(), std::greater_equal<int>()) == area.end()); // each once, in order
}

void tst_LedShapes::glyphs_data()
{
    QTest::addColumn<BitmapFont::eFace>("face");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("5x7 i! one column apart") << BitmapFont::Face5x7 << "i!"
                                             << QByteArray(".#..#|....#|##..#|.#..#|.#..#|.#...|###.#");
    QTest::newRow("3x5 lower case as capitals") << BitmapFont::Face3x5 << "hH"
                                                << QByteArray("#.#.#.#|#.#.#.#|###.###|#.#.#.#|#.#.#.#");
    QTest::newRow("3x4 digits") << BitmapFont::Face3x4 << "42"
                                << QByteArray("#.#.##.|###...#|..#..#.|..#.###");
    QTest::newRow("a box for what the font lacks") << BitmapFont::Face5x7 << QString::fromUtf8("é")
                                                   << QByteArray("#####|#...#|#...#|#...#|#...#|#...#|#####");
    QTest::newRow("one box for a character beyond the basic plane")
        << BitmapFont::Face3x4 << QString::fromUtf8("\xF0\x9F\x98\x80") << QByteArray("###|#.#|#.#|###");
}

void tst_LedShapes::glyphs()
{
    QFETCH(BitmapFont::eFace, face);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(picture(BitmapFont::render(face, text), BitmapFont::height(face)), expected);
}

void tst_LedShapes::everyGlyphFitsItsFace()
{
    // A glyph drawn with a row too many or too few would lose or gain lines unseen.
    for (BitmapFont::eFace face : { BitmapFont::Face3x4, BitmapFont::Face3x5, BitmapFont::Face5x7 }) {
        for (ushort code = 32; code <= 126; ++code) {
            const QChar character(code);
            QVERIFY2(BitmapFont::hasGlyph(face, character), qPrintable(QString(character)));
            const QVector<quint8> glyph = BitmapFont::glyph(face, character);
            QVERIFY(!glyph.isEmpty() && glyph.size() <= 5);
            for (quint8 column : glyph)
                QVERIFY(column < (1 << BitmapFont::height(face)));
            // Only the space and nothing else is blank.
            QCOMPARE(std::all_of(glyph.begin(), glyph.end(), [](quint8 c) { return c == 0; }), code == 32);
        }
        QVERIFY(!BitmapFont::hasGlyph(face, QChar(127)));
    }
}

void tst_LedShapes::lettering_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("still"); // empty: not spelled out here
    QTest::addColumn<int>("width");

    QTest::newRow("5x7 centred on 9 rows, cut at the right") << QByteArray("Rectangle") << 9 << 8 << "Hi"
        << QByteArray("........|#...#..#|#...#...|#...#.##|#####..#|#...#..#|#...#..#|#...#.##|........") << 9;
    QTest::newRow("3x5 on 6 rows") << QByteArray("Rectangle") << 6 << 8 << "T1"
        << QByteArray("###..#..|.#..##..|.#...#..|.#...#..|.#..###.|........") << 7;
    QTest::newRow("3x4 on 3 rows loses its top row") << QByteArray("Rectangle") << 3 << 4 << "L"
        << QByteArray("#...|#...|###.") << 3;
    QTest::newRow("ring: the top row on the outer circle") << QByteArray("Ring") << 4 << 48 << "T"
        << ringRow({ 1 }) + '|' + ringRow({ 1 }) + '|' + ringRow({ 1 }) + '|' + ringRow({ 0, 1, 2 }) << 3;
    QTest::newRow("grid 8 x 32") << QByteArray("Rectangle") << 8 << 32 << "Hello" << QByteArray() << 25;
    QTest::newRow("grid narrower than the text") << QByteArray("Rectangle") << 5 << 3 << "WIDE" << QByteArray() << 15;
    QTest::newRow("ring") << QByteArray("Ring") << 4 << 48 << "RING" << QByteArray() << 15;
}

// The still picture, and the scroll: frame C shows the text from column 0, each frame before it one column
// further right; the first and last are dark.
void tst_LedShapes::lettering()
{
    QFETCH(QByteArray, type);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, text);
    QFETCH(QByteArray, still);
    QFETCH(int, width);

    const LedLayout layout = type == "Ring" ? LedLayout() : layoutOf(rows, columns);
    const TextFrames lettering(layout, text);
    if (!still.isEmpty())
        QCOMPARE(picture(lettering.still(), columns), still);
    QCOMPARE(lettering.width(), width);
    const QVector<QVector<int>> frames = lettering.scroll();
    QCOMPARE(frames.size(), columns + width + 1);
    QCOMPARE(lettering.scrollFrameCount(), qint64(frames.size()));
    QCOMPARE(frames.at(columns), lettering.still());
    const QVector<int> full = TextFrames(layoutOf(rows, columns + width, type.constData()), text).still();
    for (int k = 0; k < frames.size(); ++k) {
        for (int led = 0; led < rows * columns; ++led) {
            const int row = led / columns;
            const int x = led % columns - (columns - k);
            const int expected = x >= 0 && x < width ? full.at(row * (columns + width) + x) : 0;
            if (frames.at(k).at(led) != expected)
                QFAIL(qPrintable(QStringLiteral("frame %1, LED %2").arg(k).arg(led)));
        }
    }
}

QTEST_APPLESS_MAIN(tst_LedShapes)
#include "tst_LedShapes.moc"

void tst_LedShapes::symmetry_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<LedSymmetry::eMode>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("drawn");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("grid mirror") << QByteArray("Rectangle") << 3 << 5 << LedSymmetry::Mirror << 2
                                 << QByteArray("##...|.....|...#.") << QByteArray("##.##|.....|.#.#.");
    QTest::newRow("grid mirror, the centre column stays") << QByteArray("Rectangle") << 1 << 5 << LedSymmetry::Mirror
                                                          << 2 << QByteArray("..#..") << QByteArray("..#..");
    QTest::newRow("grid both") << QByteArray("Rectangle") << 3 << 4 << LedSymmetry::Both << 2
                               << QByteArray("#...|.#..|....") << QByteArray("#..#|.##.|#..#");
    QTest::newRow("rotation is for rings") << QByteArray("Rectangle") << 2 << 4 << LedSymmetry::Rotate << 2
                                           << QByteArray("#...|....") << QByteArray("#...|....");
    QTest::newRow("ring mirror as the flip around LED 0")
        << QByteArray("Ring") << 4 << 48 << LedSymmetry::Mirror << 2 << ringRows({0, 5}) << ringRows({0, 5, 43});
    QTest::newRow("ring rotate 4") << QByteArray("Ring") << 4 << 48 << LedSymmetry::Rotate << 4 << ringRows({1})
                                   << ringRows({1, 13, 25, 37});
    QTest::newRow("ring rotate by a count that does not divide") << QByteArray("Ring") << 4 << 48
                                                                 << LedSymmetry::Rotate << 5 << ringRows({1})
                                                                 << ringRows({1});
    QTest::newRow("both is for grids") << QByteArray("Ring") << 4 << 48 << LedSymmetry::Both << 2 << ringRows({1})
                                       << ringRows({1});
}

void tst_LedShapes::symmetry()
{
    QFETCH(QByteArray, type);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(LedSymmetry::eMode, mode);
    QFETCH(int, count);
    QFETCH(QByteArray, drawn);
    QFETCH(QByteArray, expected);

    const LedLayout layout = layoutOf(rows, columns, type.constData());
    const QVector<int> leds = LedSymmetry(mode, count).repeated(layout, litLeds(drawn));
    QCOMPARE(covering(leds, rows * columns, columns), expected);
}

namespace {

LedSelection selectionOf(const QByteArray& picture)
{
    LedSelection selection(values(picture).size());
    selection.add(litLeds(picture));
    return selection;
}

} // namespace

// An operation or a move on the selected LEDs ('#' in the selection's picture):
// a move is given as its rows and columns, an operation as None with a zero move.
void tst_LedShapes::region_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("selection");
    QTest::addColumn<FrameOperations::eOperation>("operation");
    QTest::addColumn<QPoint>("move"); // x = columns, y = rows
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray grid("Rectangle");
    QTest::newRow("invert the selected LEDs only")
        << grid << 2 << 4 << QByteArray("#..#|#..#") << QByteArray(".##.|.#..") << FrameOperations::Invert
        << QPoint() << false << QByteArray("####|##.#");
    QTest::newRow("mirror within the selection's bounds")
        << grid << 2 << 5 << QByteArray("#...#|.#...") << QByteArray(".###.|.###.") << FrameOperations::MirrorColumns
        << QPoint() << false << QByteArray("#...#|...#.");
    QTest::newRow("shift wraps within the bounds")
        << grid << 1 << 6 << QByteArray("..#..#") << QByteArray("..###.") << FrameOperations::ShiftForward
        << QPoint() << false << QByteArray("...#.#");
    QTest::newRow("a band all the way round turns as the ring does")
        << QByteArray("Ring") << 4 << 48 << ringRows({47}) << (ringRow({}) + '|' + QByteArray(48, '#') + '|' + ringRow({}) + '|' + ringRow({}))
        << FrameOperations::ShiftForward << QPoint() << false
        << (ringRow({47}) + '|' + ringRow({0}) + '|' + ringRow({47}) + '|' + ringRow({47}));
    QTest::newRow("move: the LEDs left go dark, the covered take the moved states")
        << grid << 2 << 4 << QByteArray("#.##|....") << QByteArray("##..|....") << FrameOperations::None
        << QPoint(1, 1) << false << QByteArray("..##|.#..");
    QTest::newRow("copy keeps the originals") << grid << 2 << 4 << QByteArray("#...|....") << QByteArray("#...|....")
                                              << FrameOperations::None << QPoint(2, 1) << true
                                              << QByteArray("#...|..#.");
    QTest::newRow("what leaves a grid is dropped") << grid << 1 << 3 << QByteArray(".##") << QByteArray(".##")
                                                   << FrameOperations::None << QPoint(1, 0) << false
                                                   << QByteArray("..#");
    QTest::newRow("a ring's selection turns past LED 0")
        << QByteArray("Ring") << 4 << 48 << ringRows({46, 47}) << (ringRow({46, 47}) + '|' + darkRing.mid(49))
        << FrameOperations::None << QPoint(3, 1) << false
        << (ringRow({}) + '|' + ringRow({1, 2, 46, 47}) + '|' + ringRow({46, 47}) + '|' + ringRow({46, 47}));
}

void tst_LedShapes::region()
{
    QFETCH(QByteArray, type);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, selection);
    QFETCH(FrameOperations::eOperation, operation);
    QFETCH(QPoint, move);
    QFETCH(bool, copy);
    QFETCH(QByteArray, expected);

    const LedLayout layout = layoutOf(rows, columns, type.constData());
    const LedSelection selected = selectionOf(selection);
    const QVector<int> result = operation == FrameOperations::None
                                    ? RegionOperations::move(values(frame), layout, selected, move.y(), move.x(), copy)
                                    : RegionOperations::apply(operation, values(frame), layout, selected);
    QCOMPARE(picture(result, columns), expected);
}

// A region taken from a 3 x 4 grid and pasted with its top-left cell at a target cell.
void tst_LedShapes::regionPaste_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("dropped");

    QTest::newRow("same layout, same cells") << QByteArray("Rectangle") << 3 << 4 << QPoint(1, 1)
                                             << QByteArray("....|.#..|..#.") << 0;
    QTest::newRow("a smaller grid drops what falls off") << QByteArray("Rectangle") << 2 << 2 << QPoint(1, 1)
                                                         << QByteArray("..|.#") << 3;
    QTest::newRow("a ring wraps its columns") << QByteArray("Ring") << 4 << 48 << QPoint(47, 0)
                                              << (ringRow({47}) + '|' + ringRow({0}) + '|' + ringRow({}) + '|' + ringRow({}))
                                              << 0;
    QTest::newRow("a ring wraps back past LED 0") << QByteArray("Ring") << 4 << 48 << QPoint(-2, 0)
                                                  << (ringRow({46}) + '|' + ringRow({47}) + '|' + ringRow({}) + '|' + ringRow({}))
                                                  << 0;
}

void tst_LedShapes::regionPaste()
{
    QFETCH(QByteArray, type);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QPoint, at);
    QFETCH(QByteArray, expected);
    QFETCH(int, dropped);

    const QByteArray source("....|.#..|..#.");
    const LedRegion taken = LedRegion::take(layoutOf(3, 4), values(source), selectionOf("....|.##.|.##."));
    QCOMPARE(taken.origin(), QPoint(1, 1));
    const LedRegion region = LedRegion::fromByteArray(taken.toByteArray());
    const LedLayout target = layoutOf(rows, columns, type.constData());
    const LedRegion::Placed placed = region.place(target, at);
    QVector<int> frame(rows * columns, 0);
    for (int i = 0; i < placed.leds.size(); ++i)
        frame[placed.leds.at(i)] = placed.states.at(i);
    QCOMPARE(picture(frame, columns), expected);
    QCOMPARE(placed.dropped, dropped);
    QVERIFY(LedRegion::fromByteArray("Tessaloom region 1\n0 0\n1 x 1\n").isEmpty());
}
