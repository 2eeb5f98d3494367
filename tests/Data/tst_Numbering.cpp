#include "Data/ChangeLayoutEdit.h"
#include "Data/FrameOperations.h"
#include "Data/LedPanelModel.h"
#include "Data/LedShapes.h"
#include "Data/TextFrames.h"
#include "Data/WiringSolver.h"
#include "Data/WiringTest.h"

#include "common/DataColumns.h"
#include "common/TestData.h"

#include <QtTest>

Q_DECLARE_METATYPE(LedLayout)

namespace {

// A 3 × 4 grid or a ring of 3 circles × 8 LEDs, numbered from the corner or circle the spacings' signs give.
LedLayout numbered(int order, bool serpentine, int rowSign, int columnSign,
                   LedLayout::eType type = LedLayout::Rectangle, double spacing = 6.0)
{
    const bool ring = type == LedLayout::Ring;
    LedLayout layout = LedLayout::create(type, 3, ring ? 8 : 4, spacing);
    layout.setSpacings(rowSign * std::fabs(layout.rowSpacing()), columnSign * std::fabs(layout.columnSpacing()));
    if (ring)
        layout.setFirstLedPosition(QPointF(0, rowSign > 0 ? -54 : -66));
    else
        layout.setFirstLedPosition(QPointF(columnSign > 0 ? 0 : 3, rowSign > 0 ? 0 : 2) * spacing);
    layout.setNumbering(LedLayout::eOrder(order), serpentine);
    return layout;
}

const int R = LedLayout::Rows, C = LedLayout::Columns;
const LedLayout::eType ring = LedLayout::Ring;

} // namespace

// How LEDs are numbered across the panel, and the wiring check that finds it out.
class tst_Numbering : public QObject
{
    Q_OBJECT

private slots:
    void mapping_data()
    {
        // Cells as drawn, x = column and y = row: LED 0, LED 1 and the first LED of the second line.
        const auto add = dataColumns<LedLayout, QPoint, QPoint, QPoint>("layout", "first", "second", "nextLine");
        add("rows, top left", numbered(R, false, 1, 1), { 0, 0 }, { 1, 0 }, { 0, 1 });
        add("rows, top left, serp.", numbered(R, true, 1, 1), { 0, 0 }, { 1, 0 }, { 3, 1 });
        add("rows, top right", numbered(R, false, 1, -1), { 3, 0 }, { 2, 0 }, { 3, 1 });
        add("rows, top right, serp.", numbered(R, true, 1, -1), { 3, 0 }, { 2, 0 }, { 0, 1 });
        add("rows, bottom left", numbered(R, false, -1, 1), { 0, 2 }, { 1, 2 }, { 0, 1 });
        add("rows, bottom left, serp.", numbered(R, true, -1, 1), { 0, 2 }, { 1, 2 }, { 3, 1 });
        add("rows, bottom right", numbered(R, false, -1, -1), { 3, 2 }, { 2, 2 }, { 3, 1 });
        add("rows, bottom right, serp.", numbered(R, true, -1, -1), { 3, 2 }, { 2, 2 }, { 0, 1 });
        add("columns, top left", numbered(C, false, 1, 1), { 0, 0 }, { 0, 1 }, { 1, 0 });
        add("columns, top left, serp.", numbered(C, true, 1, 1), { 0, 0 }, { 0, 1 }, { 1, 2 });
        add("columns, top right", numbered(C, false, 1, -1), { 3, 0 }, { 3, 1 }, { 2, 0 });
        add("columns, top right, serp.", numbered(C, true, 1, -1), { 3, 0 }, { 3, 1 }, { 2, 2 });
        add("columns, bottom left", numbered(C, false, -1, 1), { 0, 2 }, { 0, 1 }, { 1, 2 });
        add("columns, bottom left, serp.", numbered(C, true, -1, 1), { 0, 2 }, { 0, 1 }, { 1, 0 });
        add("columns, bottom right", numbered(C, false, -1, -1), { 3, 2 }, { 3, 1 }, { 2, 2 });
        add("columns, bottom right, serp.", numbered(C, true, -1, -1), { 3, 2 }, { 3, 1 }, { 2, 0 });
        // On a ring row 0 is the innermost circle and columns run clockwise from LED 0.
        add("ring, rows, anticlockwise", numbered(R, false, 1, -1, ring), { 0, 0 }, { 7, 0 }, { 0, 1 });
        add("ring, rows, outermost first, alternating anticlockwise", numbered(R, true, -1, -1, ring), { 0, 2 },
            { 7, 2 }, { 1, 1 });
        add("ring, columns, alternating anticlockwise", numbered(C, true, 1, -1, ring), { 0, 0 }, { 0, 1 }, { 7, 2 });
        add("ring, columns, outermost first", numbered(C, false, -1, 1, ring), { 0, 2 }, { 0, 1 }, { 1, 2 });
        // Part of a circle numbered anticlockwise: drawn neighbours are neighbours on the panel too.
        LedLayout arc = numbered(R, false, 1, -1, ring);
        arc.setSpacings(arc.rowSpacing(), -7.5);
        add("ring, part of a circle, anticlockwise", arc, { 7, 0 }, { 6, 0 }, { 7, 1 });
    }

    void mapping()
    {
        const auto [layout, first, second, nextLine] =
            fetchColumns<LedLayout, QPoint, QPoint, QPoint>("layout", "first", "second", "nextLine");

        QCOMPARE(layout.cellOf(0), first);
        QCOMPARE(layout.cellOf(1), second);
        QCOMPARE(layout.cellOf(layout.secondLineStart()), nextLine);
        // LED 0 is where the layout says it starts; each LED is the index of its own cell, so no two share one.
        QVERIFY(QLineF(layout.ledPositionOf(0), layout.firstLedPosition()).length() < 1e-9);
        for (int led = 0; led < layout.ledCount(); ++led) {
            const QPoint cell = layout.cellOf(led);
            QCOMPARE(layout.indexAt(cell.y(), cell.x()), led);
        }
        QCOMPARE(layout.indexAt(-1, 0), -1);
        QCOMPARE(layout.indexAt(0, layout.columns()), -1);
        // Drawn rows run downward on a grid and outward on a ring, drawn columns to the right or clockwise.
        const QPointF a = layout.ledPosition(0, 0), right = layout.ledPosition(0, 1), down = layout.ledPosition(1, 0);
        if (layout.type() == LedLayout::Rectangle) {
            QVERIFY(right.x() > a.x() && down.y() > a.y());
        } else {
            QVERIFY(QLineF(QPointF(), down).length() > QLineF(QPointF(), a).length());
            QVERIFY(a.x() * right.y() - a.y() * right.x() > 0); // clockwise on a screen whose y grows downward
        }
    }

    void toolsDrawAsDrawn_data()
    {
        QTest::addColumn<LedLayout>("layout");
        QTest::newRow("grid, columns first, serpentine") << numbered(C, true, 1, 1);
        QTest::newRow("grid from the bottom right, columns first, serpentine") << numbered(C, true, -1, -1);
        QTest::newRow("ring, alternating, anticlockwise") << numbered(R, true, 1, -1, ring);
        QTest::newRow("ring, columns first, alternating, outermost first") << numbered(C, true, -1, 1, ring);
    }

    // Every tool gives the same picture as drawn on a numbering as on plain rows from the top left.
    void toolsDrawAsDrawn()
    {
        QFETCH(LedLayout, layout);
        const bool isRing = layout.type() == LedLayout::Ring;
        const LedLayout plain = numbered(R, false, 1, 1, layout.type());
        QVERIFY(plain.ledPositionOf(1) != layout.ledPositionOf(1));
        const auto same = [&](const QVector<int>& onPlain, const QVector<int>& onLayout) {
            QVERIFY(onPlain.contains(1) && onPlain.contains(0));
            QCOMPARE(drawnCells(layout, onLayout), drawnCells(plain, onPlain));
        };

        // A line across the middle row lights that drawn row and nothing else.
        const QPointF from = plain.ledPosition(1, 0), to = plain.ledPosition(1, isRing ? 2 : 3);
        const QVector<int> line = frameOf(layout, LedShapes::covered(layout, LedShapes::Line, from, to, false, false));
        same(frameOf(plain, LedShapes::covered(plain, LedShapes::Line, from, to, false, false)), line);
        if (!isRing)
            QCOMPARE(drawnCells(layout, line).mid(4, 4), QVector<int>(4, 1));

        const QVector<int> picture = frameOf(plain, { 0, 1, 2, 5, 6 });
        const QVector<int> moved = ChangeLayoutEdit::moved(picture, plain, layout);
        same(picture, moved);
        QCOMPARE(ChangeLayoutEdit::moved(moved, layout, plain), picture);
        QCOMPARE(ChangeLayoutEdit::moved(picture, plain, layout, nullptr, ChangeLayoutEdit::KeepIndices), picture);

        same(frameOf(plain, LedShapes::floodArea(plain, picture, 0)),
             frameOf(layout, LedShapes::floodArea(layout, moved, layout.indexAt(0, 0))));
        for (auto op : { FrameOperations::ShiftForward, FrameOperations::ShiftOut, FrameOperations::MirrorColumns })
            same(FrameOperations::apply(op, picture, plain), FrameOperations::apply(op, moved, layout));
        same(TextFrames(plain, QStringLiteral("F")).still(), TextFrames(layout, QStringLiteral("F")).still());
    }

    void file_data()
    {
        const auto add = dataColumns<QByteArray, int, bool, QString>("children", "order", "serpentine", "error");
        add("columns, serpentine", "<Order>Columns</Order><Serpentine>1</Serpentine>", C, true, {});
        add("before the size, written out", "<Serpentine>0</Serpentine><Order>Rows</Order>", R, false, {});
        add("other order", "\n<Order>Diagonal</Order>", 0, false,
            "Line 2, column 24: Order holds Diagonal; it is Rows or Columns.");
        add("serpentine 2", "\n\n<Serpentine>2</Serpentine>", 0, false,
            "Line 3, column 27: Serpentine holds 2; it is 0 or 1.");
    }

    // The numbering in the Layout element: read in any place, written last and only when not plain rows.
    void file()
    {
        const auto [children, order, serpentine, error] =
            fetchColumns<QByteArray, int, bool, QString>("children", "order", "serpentine", "error");

        QByteArray xml = showXml(layoutXml(2, 3));
        xml.replace("<Rows>", children + "<Rows>");
        LedPanelModel show;
        QCOMPARE(readShow(show, xml), error.isEmpty());
        QCOMPARE(show.readError(), error);
        if (!error.isEmpty())
            return;
        QCOMPARE(int(show.panelLayout().order()), order);
        QCOMPARE(show.panelLayout().serpentine(), serpentine);

        QTemporaryDir dir;
        const QString path = dir.filePath("show.xml");
        QVERIFY(writeFile(path, writtenShow(show)));
        // The Layout's last child, then the numbering stored.
        const char* query = "concat(name(//Layout/*[last()]), ' ', //Layout/Order, '/', //Layout/Serpentine)";
        const QByteArray stored = runProgram("xmllint", { "--xpath", query, path });
        const bool plain = order == LedLayout::Rows && !serpentine;
        QCOMPARE(stored.trimmed(), QByteArray(plain ? "FirstLedPosition_Y /" : "Serpentine Columns/1"));
    }

    void solve_data()
    {
        const auto add = dataColumns<LedLayout, int>("wired", "believedOrder");
        // Every numbering of a grid and of a ring, believed plain rows or plain columns.
        for (int bits = 0; bits < 64; ++bits) {
            const int type = bits & 1, order = bits >> 1 & 1, serpentine = bits >> 2 & 1, believed = bits >> 5 & 1;
            const int rowSign = bits & 8 ? -1 : 1, columnSign = bits & 16 ? -1 : 1;
            QTest::addRow("%s %d%d%d%d, believed %d", type ? "ring" : "grid", order, serpentine, rowSign, columnSign,
                          believed)
                << numbered(order, serpentine, rowSign, columnSign, LedLayout::eType(type)) << believed;
        }
        add("grid of LEDs a million apart", numbered(1, true, -1, 1, LedLayout::Rectangle, 1e6), 0);
    }

    // From where the test's single LEDs lit on a panel believed plain, the panel's real numbering.
    void solve()
    {
        const auto [wired, believedOrder] = fetchColumns<LedLayout, int>("wired", "believedOrder");
        const double spacing = wired.type() == LedLayout::Ring ? 6.0 : std::fabs(wired.columnSpacing());
        LedLayout believed = numbered(believedOrder, false, 1, 1, wired.type(), spacing);
        if (wired.type() == LedLayout::Ring)
            believed.setFirstLedPosition(QPointF(0, -54).transposed()); // believed to start elsewhere on the circle
        const WiringTest test(believed);
        QVector<int> tested, lit;
        for (int step : { WiringTest::FirstLed, WiringTest::SecondLed, WiringTest::SecondLine,
                          WiringTest::OtherSecondLine }) {
            tested.append(test.ledOf(WiringTest::eStep(step)));
            // The LED of the believed layout drawn where the wired panel lights that LED.
            const QPoint cell = wired.cellOf(tested.last());
            lit.append(LedShapes::nearestLed(believed, wired.ledPosition(cell.y(), cell.x())));
        }
        QList<LedLayout> found = WiringSolver::solve(believed, tested.mid(0, 3), lit.mid(0, 3));
        if (found.size() > 1)
            found = WiringSolver::solve(believed, tested, lit);
        QCOMPARE(found.size(), 1);
        for (int led = 0; led < wired.ledCount(); ++led)
            QVERIFY(QLineF(found.first().ledPositionOf(led), wired.ledPositionOf(led)).length() < 1e-6);

        // A click no numbering explains: LED 1 lit where LED 0 did.
        lit[1] = lit[0];
        QVERIFY(WiringSolver::solve(believed, tested, lit).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Numbering)
#include "tst_Numbering.moc"
