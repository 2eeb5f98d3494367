#include "Data/BitmapFont.h"
#include "Data/LedShapes.h"
#include "Data/LedRegion.h"
#include "Data/LedSymmetry.h"
#include "Data/RegionOperations.h"
#include "Data/TextFrames.h"
#include "common/DataColumns.h"
#include "common/TestData.h"

#include <QtTest>

Q_DECLARE_METATYPE(LedShapes::eShape)
Q_DECLARE_METATYPE(LedSymmetry::eMode)
Q_DECLARE_METATYPE(FrameOperations::eOperation)

namespace {

// "Half" is the default ring with its LEDs on half a circle, an arc that has a gap beyond its last LED;
// "Typed" a ring of 13 at the angle typed to the field's three decimals, still a whole circle.
const QByteArray grid("Rectangle"), ring("Ring"), half("Half"), typed("Typed");

// Pictures: rows of '#' (lit), '.' (dark), a digit or '-' (-1) split by '|'; on a ring circles, innermost first.
QVector<int> values(QByteArray picture)
{
    QVector<int> frame;
    for (char c : picture.replace("|", ""))
        frame.append(c == '#' ? 1 : c == '-' ? -1 : c > '0' && c <= '9' ? c - '0' : 0);
    return frame;
}

QVector<int> litLeds(QByteArray picture)
{
    picture.replace("|", "");
    QVector<int> leds;
    for (int led = picture.indexOf('#'); led >= 0; led = picture.indexOf('#', led + 1))
        leds.append(led);
    return leds;
}

QByteArray picture(const QVector<int>& frame, const LedLayout& layout)
{
    QByteArray text;
    for (int i = 0; i < frame.size(); ++i) {
        if (i > 0 && i % layout.columns() == 0)
            text += '|';
        const int value = frame.at(i);
        text += value == 1 ? '#' : value == 0 ? '.' : value < 0 ? '-' : char('0' + value);
    }
    return text;
}

LedLayout layoutFor(const QByteArray& type, const QByteArray& picture)
{
    LedLayout layout;
    if (type == half)
        layout.setSpacings(layout.rowSpacing(), 3.75);
    if (type == typed) {
        layout.setSize(4, 13);
        layout.setSpacings(layout.rowSpacing(), 27.692);
    }
    if (type != grid)
        return layout;
    const int width = picture.indexOf('|');
    return LedLayout::create(LedLayout::Rectangle, picture.count('|') + 1, width < 0 ? picture.size() : width);
}

QVector<int> arc(int from, int to)
{
    QVector<int> columns { from };
    while (columns.last() != to)
        columns.append((columns.last() + 1) % 48);
    return columns;
}

const QVector<int> whole = arc(0, 47);

QByteArray circles(std::initializer_list<QVector<int>> lit)
{
    QByteArrayList rows;
    for (const QVector<int>& columns : lit) {
        rows << QByteArray(48, '.');
        for (int column : columns)
            rows.last()[column] = '#';
    }
    return rows.join('|');
}

QByteArray ringRows(const QVector<int>& lit)
{
    return circles({ lit, lit, lit, lit });
}

LedSelection selectionOf(const QByteArray& picture)
{
    LedSelection selection(values(picture).size());
    selection.add(litLeds(picture));
    return selection;
}

enum eStyle { Outline = 0, Filled = 1, Square = 2 };

} // namespace

// What the drawing tools cover and what the lettering draws, without a window.
class tst_LedShapes : public QObject
{
    Q_OBJECT

private slots:
    void shapes_data()
    {
        // From and to: on a grid the (column, row) of a cell, on the ring a scene point.
        const auto add = dataColumns<QByteArray, LedShapes::eShape, QPointF, QPointF, int, QByteArray>(
            "type", "shape", "from", "to", "style", "expected");
        const LedShapes::eShape line = LedShapes::Line, rectangle = LedShapes::Rectangle, ellipse = LedShapes::Ellipse;
        add("line: a diagonal, drawn upwards", grid, line, { 0, 4 }, { 4, 0 }, Outline,
            "....#|...#.|..#..|.#...|#....");
        add("line: shallow, backwards", grid, line, { 6, 2 }, { 0, 0 }, Outline, "##.....|..###..|.....##");
        add("line: steep", grid, line, { 0, 0 }, { 2, 6 }, Outline, "#..|#..|.#.|.#.|.#.|..#|..#");
        add("line: a single LED", grid, line, { 1, 1 }, { 1, 1 }, Outline, "...|.#.|...");
        add("rectangle outline", grid, rectangle, { 4, 3 }, { 1, 0 }, Outline, ".####.|.#..#.|.#..#.|.####.");
        add("rectangle filled", grid, rectangle, { 1, 1 }, { 3, 2 }, Filled, "......|.###..|.###..|......");
        add("rectangle made square", grid, rectangle, { 0, 0 }, { 5, 2 }, Square, "#####.|#...#.|#...#.|#...#.|#####.");
        add("square kept on the grid", grid, rectangle, { 5, 0 }, { 0, 1 }, Filled | Square, "...###|...###|...###");
        add("ellipse outline 5 x 5", grid, ellipse, { 0, 0 }, { 4, 4 }, Outline, ".###.|#...#|#...#|#...#|.###.");
        add("ellipse filled 5 x 5", grid, ellipse, { 4, 4 }, { 0, 0 }, Filled, ".###.|#####|#####|#####|.###.");
        add("ellipse outline 3 x 7", grid, ellipse, { 0, 0 }, { 6, 2 }, Outline, ".#####.|#.....#|.#####.");
        add("ellipse one row high", grid, ellipse, { 0, 1 }, { 4, 1 }, Outline, ".....|#####|.....");
        add("ellipse made a circle", grid, ellipse, { 0, 0 }, { 6, 2 }, Square,
            "..###..|.#...#.|#.....#|#.....#|#.....#|.#...#.|..###..");
        const LedLayout layout;
        const auto at = [&](int circle, int column) { return layout.ledPosition(circle, column); };
        add("band across LED 0, filled", ring, rectangle, at(1, 46), at(2, 2), Filled,
            circles({ {}, arc(46, 2), arc(46, 2), {} }));
        add("band outline, the shorter way back", ring, rectangle, at(0, 10), at(3, 4), Outline,
            circles({ arc(4, 10), { 4, 10 }, { 4, 10 }, arc(4, 10) }));
        const LedLayout halfLayout = layoutFor(half, {});
        add("band on half a circle stays on the LEDs", half, rectangle, halfLayout.ledPosition(0, 2),
            halfLayout.ledPosition(0, 45), Filled, circles({ arc(2, 45), {}, {}, {} }));
        add("line through the middle", ring, line, at(3, 0), at(3, 24), Outline, ringRows({ 0, 24 }));
        add("line from the press's nearest LED", ring, line, at(0, 12) + QPointF(1, 1), at(3, 12) - QPointF(1, 0),
            Outline, ringRows({ 12 }));
        add("circle on circle 1", ring, ellipse, { -50, -50 }, { 50, 50 }, Outline, circles({ {}, whole, {}, {} }));
        add("filled circle", ring, ellipse, { 50, 50 }, { -50, -50 }, Filled, circles({ whole, whole, {}, {} }));
        add("ellipse beside the ring covers nothing", ring, ellipse, { -20, -20 }, { 20, 20 }, Filled, ringRows({}));
    }

    void shapes()
    {
        const auto [type, shape, from, to, style, expected] =
            fetchColumns<QByteArray, LedShapes::eShape, QPointF, QPointF, int, QByteArray>(
                "type", "shape", "from", "to", "style", "expected");

        const LedLayout layout = layoutFor(type, expected);
        // A little beside the LEDs, as a hand would press.
        const QPointF nudge(1.2, -1.1);
        const auto scene = [&](QPointF p, int side) {
            return type == grid ? layout.ledPosition(int(p.y()), int(p.x())) + side * nudge : p;
        };
        const QVector<int> covered
            = LedShapes::covered(layout, shape, scene(from, 1), scene(to, -1), style & Filled, style & Square);
        QCOMPARE(picture(frameOf(layout, covered), layout), expected);
        QVERIFY(std::is_sorted(covered.begin(), covered.end()));
    }

    void nearestAndNeighbours_data()
    {
        const auto add = dataColumns<QByteArray, QPointF, int, QVector<int>>("type", "point", "led", "expected");
        add("grid: far beside it", grid, { -100, 100 }, 0, { 24 });
        add("ring: LED 0 at the top", ring, { 0.5, -44 }, 0, { 0 });
        add("ring: outer circle, a quarter on", ring, { 61, 1 }, 0, { 3 * 48 + 12 });
        add("ring: last of circle 0 wraps to LED 0", ring, {}, 47, { 0, 46, 95 });
        add("ring: outer circle", ring, {}, 150, { 102, 149, 151 });
        add("half circle: no neighbour across the gap", half, {}, 0, { 1, 48 });
        add("typed angle: LED 0 still wraps back", typed, {}, 0, { 1, 12, 13 });
        add("grid: a corner does not wrap", grid, {}, 7, { 6, 15 });
    }

    void nearestAndNeighbours()
    {
        const auto [type, point, led, expected] =
            fetchColumns<QByteArray, QPointF, int, QVector<int>>("type", "point", "led", "expected");
        const LedLayout layout = type == grid ? LedLayout::create(LedLayout::Rectangle, 4, 8) : layoutFor(type, {});
        const QVector<int> found = point.isNull() ? LedShapes::neighbours(layout, led)
                                                  : QVector<int> { LedShapes::nearestLed(layout, point) };
        QCOMPARE(found, expected);
    }

    void floodArea_data()
    {
        const auto add = dataColumns<QByteArray, QByteArray, QPoint, QByteArray>("type", "frame", "start", "expected");
        add("grid: diagonal gaps hold", grid, ".#....|#.....|......|......", { 0, 0 }, "#.....|......|......|......");
        add("grid: the lit wall itself", grid, "..#...|..#...|###...|......", { 2, 1 }, "..#...|..#...|###...|......");
        // Below 0 is dark, as the panel and the view show it: part of the dark area, never of the lit wall.
        add("grid: dark below 0", grid, "-.#...|-.#...|###...|......", { 0, 0 }, "##....|##....|......|......");
        add("ring: dark ring, all 192", ring, ringRows({}), { 7, 2 }, ringRows(whole));
        add("ring: walls, wrapping at LED 0", ring, ringRows({ 10, 20 }), { 0, 0 }, ringRows(arc(21, 9)));
        add("half circle: the gap is a wall", half, ringRows({ 10, 20 }), { 0, 0 }, ringRows(arc(0, 9)));
        const QByteArray across = circles({ { 5 }, { 5 }, { 5 }, { 5, 6 } });
        add("ring: across the circles at one angle", ring, across, { 5, 0 }, across);
    }

    void floodArea()
    {
        const auto [type, frame, start, expected] =
            fetchColumns<QByteArray, QByteArray, QPoint, QByteArray>("type", "frame", "start", "expected");

        const LedLayout layout = layoutFor(type, frame);
        const QVector<int> area
            = LedShapes::floodArea(layout, values(frame), start.y() * layout.columns() + start.x());
        QCOMPARE(picture(frameOf(layout, area), layout), expected);
        // Each LED once, in order.
        QVERIFY(std::adjacent_find(area.begin(), area.end(), std::greater_equal<int>()) == area.end());
    }

    void symmetry_data()
    {
        const auto add = dataColumns<QByteArray, LedSymmetry::eMode, int, QByteArray, QByteArray>(
            "type", "mode", "count", "drawn", "expected");
        add("grid mirror, the centre column stays", grid, LedSymmetry::Mirror, 2, "..#..", "..#..");
        add("grid both", grid, LedSymmetry::Both, 2, "#...|.#..|....", "#..#|.##.|#..#");
        add("ring mirror as the flip around LED 0", ring, LedSymmetry::Mirror, 2, ringRows({ 0, 5 }),
            ringRows({ 0, 5, 43 }));
        add("ring rotate 4", ring, LedSymmetry::Rotate, 4, ringRows({ 1 }), ringRows({ 1, 13, 25, 37 }));
        add("ring rotate by a count that does not divide", ring, LedSymmetry::Rotate, 5, ringRows({ 1 }),
            ringRows({ 1 }));
        add("half circle mirrors end to end", half, LedSymmetry::Mirror, 2, ringRows({ 0, 5 }),
            ringRows({ 0, 5, 42, 47 }));
        add("half circle does not rotate", half, LedSymmetry::Rotate, 2, ringRows({ 1 }), ringRows({ 1 }));
        add("both is for grids", ring, LedSymmetry::Both, 2, ringRows({ 1 }), ringRows({ 1 }));
    }

    void symmetry()
    {
        const auto [type, mode, count, drawn, expected] =
            fetchColumns<QByteArray, LedSymmetry::eMode, int, QByteArray, QByteArray>(
                "type", "mode", "count", "drawn", "expected");

        const LedLayout layout = layoutFor(type, drawn);
        QCOMPARE(picture(frameOf(layout, LedSymmetry(mode, count).repeated(layout, litLeds(drawn))), layout), expected);
    }

    void region_data()
    {
        using F = FrameOperations;
        const auto add = dataColumns<QByteArray, QByteArray, QByteArray, F::eOperation, QPoint, bool, QByteArray>(
            "type", "frame", "selection", "operation", "move", "copy", "expected");
        const auto onFrame = [&add](const char* name, const QByteArray& type, F::eOperation operation,
                                    const QByteArray& frame, const QByteArray& expected) {
            add(name, type, frame, {}, operation, {}, false, expected);
        };
        // Shifts and the swap of rows run alike on rings and grids; only the flip of columns differs.
        onFrame("ring flip around LED 0", ring, F::MirrorColumns, circles({ { 0, 1 }, { 2 }, {}, {} }),
                circles({ { 0, 47 }, { 46 }, {}, {} }));
        onFrame("half circle flips end to end", half, F::MirrorColumns, circles({ { 0, 1 }, { 2 }, {}, {} }),
                circles({ { 46, 47 }, { 45 }, {}, {} }));
        onFrame("grid right, keeps 5", grid, F::ShiftForward, "5..#|#...|....", "#5..|.#..|....");
        onFrame("grid left", grid, F::ShiftBack, "#5..|.#..|....", "5..#|#...|....");
        onFrame("grid down, wraps", grid, F::ShiftOut, ".#..|....|.#..", ".#..|.#..|....");
        onFrame("grid up", grid, F::ShiftIn, ".#..|....|.#..", "....|.#..|.#..");
        onFrame("grid top-bottom", grid, F::MirrorRows, "#...|.#..|....", "....|.#..|#...");
        onFrame("invert: 7 goes dark, -1 lights", grid, F::Invert, "7-#.|....|....", ".#.#|####|####");
        onFrame("fill", grid, F::Fill, "3...|....|....", "####|####|####");
        onFrame("clear", grid, F::Clear, "..#.|....|...9", "....|....|....");
        add("invert the selected LEDs only", grid, "#..#|#..#", ".##.|.#..", F::Invert, {}, false, "####|##.#");
        add("mirror within the selection's bounds", grid, "#...#|.#...", ".###.|.###.", F::MirrorColumns, {}, false,
            "#...#|...#.");
        add("shift wraps within the bounds", grid, "..#..#", "..###.", F::ShiftForward, {}, false, "...#.#");
        add("a band all the way round turns as the ring does", ring, ringRows({ 47 }), circles({ {}, whole, {}, {} }),
            F::ShiftForward, {}, false, circles({ { 47 }, { 0 }, { 47 }, { 47 } }));
        add("move: the LEDs left go dark, the covered take the moved states", grid, "#.##|....", "##..|....", F::None,
            { 1, 1 }, false, "..##|.#..");
        add("copy keeps the originals", grid, "#...|....", "#...|....", F::None, { 2, 1 }, true, "#...|..#.");
        add("what leaves a grid is dropped", grid, ".##", ".##", F::None, { 1, 0 }, false, "..#");
        add("a ring's selection turns past LED 0", ring, ringRows({ 46, 47 }), circles({ { 46, 47 }, {}, {}, {} }),
            F::None, { 3, 1 }, false, circles({ {}, { 1, 2, 46, 47 }, { 46, 47 }, { 46, 47 } }));
    }

    void region()
    {
        const auto [type, frame, selection, operation, move, copy, expected] =
            fetchColumns<QByteArray, QByteArray, QByteArray, FrameOperations::eOperation, QPoint, bool, QByteArray>(
                "type", "frame", "selection", "operation", "move", "copy", "expected");

        const LedLayout layout = layoutFor(type, frame);
        const LedSelection selected = selectionOf(selection);
        QVector<int> result;
        if (operation == FrameOperations::None)
            result = RegionOperations::move(values(frame), layout, selected, move.y(), move.x(), copy);
        else if (selection.isEmpty())
            result = FrameOperations::apply(operation, values(frame), layout);
        else
            result = RegionOperations::apply(operation, values(frame), layout, selected);
        QCOMPARE(picture(result, layout), expected);
    }

    void regionPaste_data()
    {
        const auto add = dataColumns<QByteArray, QPoint, QByteArray, int>("type", "at", "expected", "dropped");
        add("same layout, same cells", grid, { 1, 1 }, "....|.#..|..#.", 0);
        add("a smaller grid drops what falls off", grid, { 1, 1 }, "..|.#", 3);
        add("a ring wraps its columns", ring, { 47, 0 }, circles({ { 47 }, { 0 }, {}, {} }), 0);
        add("a ring wraps back past LED 0", ring, { -2, 0 }, circles({ { 46 }, { 47 }, {}, {} }), 0);
    }

    void regionPaste()
    {
        const auto [type, at, expected, dropped] =
            fetchColumns<QByteArray, QPoint, QByteArray, int>("type", "at", "expected", "dropped");

        const LedRegion taken = LedRegion::take(layoutFor(grid, "....|....|...."), values("....|.#..|..#."),
                                                selectionOf("....|.##.|.##."));
        QCOMPARE(taken.origin(), QPoint(1, 1));
        const LedLayout target = layoutFor(type, expected);
        const LedRegion::Placed placed = LedRegion::fromByteArray(taken.toByteArray()).place(target, at);
        QVector<int> frame(int(target.ledCount()), 0);
        for (int i = 0; i < placed.leds.size(); ++i)
            frame[placed.leds.at(i)] = placed.states.at(i);
        QCOMPARE(picture(frame, target), expected);
        QCOMPARE(placed.dropped, dropped);
        QVERIFY(LedRegion::fromByteArray("Tessaloom region 1\n0 0\n1 x 1\n").isEmpty());
    }

    void everyGlyphFitsItsFace()
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

    void lettering_data()
    {
        const auto add
            = dataColumns<QByteArray, QSize, QString, QByteArray, int>("type", "panel", "text", "still", "width");
        add("5x7 centred on 9 rows, cut at the right", grid, { 8, 9 }, "Hi",
            "........|#...#..#|#...#...|#...#.##|#####..#|#...#..#|#...#..#|#...#.##|........", 9);
        add("3x5 on 6 rows", grid, { 8, 6 }, "T1", "###..#..|.#..##..|.#...#..|.#...#..|.#..###.|........", 7);
        add("3x4 on 3 rows loses its top row", grid, { 4, 3 }, "L", "#...|#...|###.", 3);
        add("ring: the top row on the outer circle", ring, { 48, 4 }, "T",
            circles({ { 1 }, { 1 }, { 1 }, { 0, 1, 2 } }), 3);
        // The panel's height picks the face; a panel as wide as the text shows its glyphs whole.
        add("5x7 i! one column apart", grid, { 5, 7 }, "i!", ".#..#|....#|##..#|.#..#|.#..#|.#...|###.#", 5);
        add("3x5 lower case as capitals", grid, { 7, 5 }, "hH", "#.#.#.#|#.#.#.#|###.###|#.#.#.#|#.#.#.#", 7);
        add("3x4 digits", grid, { 7, 4 }, "42", "#.#.##.|###...#|..#..#.|..#.###", 7);
        add("a box for what the font lacks", grid, { 5, 7 }, "é", "#####|#...#|#...#|#...#|#...#|#...#|#####", 5);
        add("one box for a character beyond the basic plane", grid, { 3, 4 }, "\xF0\x9F\x98\x80", "###|#.#|#.#|###", 3);
    }

    // The scroll: frame C is the still picture, each frame before it one column further right; first and last dark.
    void lettering()
    {
        const auto [type, panel, text, still, width] =
            fetchColumns<QByteArray, QSize, QString, QByteArray, int>("type", "panel", "text", "still", "width");
        const int rows = panel.height(), columns = panel.width();

        const LedLayout layout
            = LedLayout::create(type == ring ? LedLayout::Ring : LedLayout::Rectangle, rows, columns);
        const TextFrames lettering(layout, text);
        QCOMPARE(picture(lettering.still(), layout), still);
        QCOMPARE(lettering.width(), width);
        const QVector<QVector<int>> frames = lettering.scroll();
        QCOMPARE(frames.size(), columns + width + 1);
        QCOMPARE(lettering.scrollFrameCount(), qint64(frames.size()));
        QCOMPARE(frames.at(columns), lettering.still());
        const LedLayout wide = LedLayout::create(layout.type(), rows, columns + width);
        const QVector<int> full = TextFrames(wide, text).still();
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
};

QTEST_APPLESS_MAIN(tst_LedShapes)
#include "tst_LedShapes.moc"
