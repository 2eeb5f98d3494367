#include "Data/ChangeLayoutEdit.h"
#include "Data/FrameOperations.h"
#include "Data/LedPanelModel.h"
#include "Data/LedShapes.h"
#include "Data/TextFrames.h"
#include "Data/WiringSolver.h"
#include "Data/WiringTest.h"

#include "common/TestData.h"

#include <QtTest>

Q_DECLARE_METATYPE(LedLayout)

namespace {

// A grid of 3 rows × 4 columns or a ring of 3 circles × 8 LEDs, numbered from the corner
// (or the circle) the spacings' signs give.
LedLayout numbered(LedLayout::eType type, int order, bool serpentine, int rowSign, int columnSign)
{
    const bool ring = type == LedLayout::Ring;
    LedLayout layout = LedLayout::create(type, 3, ring ? 8 : 4, 6.0);
    layout.setSpacings(rowSign * std::fabs(layout.rowSpacing()), columnSign * std::fabs(layout.columnSpacing()));
    if (ring)
        layout.setFirstLedPosition(QPointF(0, rowSign > 0 ? -54 : -66));
    else
        layout.setFirstLedPosition(QPointF(columnSign > 0 ? 0 : 18, rowSign > 0 ? 0 : 12));
    layout.setNumbering(LedLayout::eOrder(order), serpentine);
    return layout;
}

QVector<int> frameOf(const LedLayout& layout, const QVector<int>& leds)
{
    QVector<int> values(int(layout.ledCount()));
    for (int led : leds)
        values[led] = 1;
    return values;
}

} // namespace

// How LEDs are numbered across the panel, and the wiring check that finds it out.
class tst_Numbering : public QObject
{
    Q_OBJECT

private slots:
    void mapping_data();
    void mapping();
    void toolsDrawAsDrawn_data();
    void toolsDrawAsDrawn();
    void file_data();
    void file();
    void solve_data();
    void solve();
};

void tst_Numbering::mapping_data()
{
    QTest::addColumn<LedLayout>("layout");
    // Cells as drawn, x = column and y = row: LED 0, LED 1 and the first LED of the second line.
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("second");
    QTest::addColumn<QPoint>("nextLine");

    const auto grid = [](int order, bool serpentine, int rowSign, int columnSign) {
        return numbered(LedLayout::Rectangle, order, serpentine, rowSign, columnSign);
    };
    const auto ring = [](int order, bool serpentine, int rowSign, int columnSign) {
        return numbered(LedLayout::Ring, order, serpentine, rowSign, columnSign);
    };
    const int R = LedLayout::Rows, C = LedLayout::Columns;
    QTest::newRow("rows, top left") << grid(R, false, 1, 1) << QPoint(0, 0) << QPoint(1, 0) << QPoint(0, 1);
    QTest::newRow("rows, top left, serp.") << grid(R, true, 1, 1) << QPoint(0, 0) << QPoint(1, 0) << QPoint(3, 1);
    QTest::newRow("rows, top right") << grid(R, false, 1, -1) << QPoint(3, 0) << QPoint(2, 0) << QPoint(3, 1);
    QTest::newRow("rows, top right, serp.") << grid(R, true, 1, -1) << QPoint(3, 0) << QPoint(2, 0) << QPoint(0, 1);
    QTest::newRow("rows, bottom left") << grid(R, false, -1, 1) << QPoint(0, 2) << QPoint(1, 2) << QPoint(0, 1);
    QTest::newRow("rows, bottom left, serp.") << grid(R, true, -1, 1) << QPoint(0, 2) << QPoint(1, 2) << QPoint(3, 1);
    QTest::newRow("rows, bottom right") << grid(R, false, -1, -1) << QPoint(3, 2) << QPoint(2, 2) << QPoint(3, 1);
    QTest::newRow("rows, bottom right, serp.") << grid(R, true, -1, -1) << QPoint(3, 2) << QPoint(2, 2)
                                               << QPoint(0, 1);
    QTest::newRow("columns, top left") << grid(C, false, 1, 1) << QPoint(0, 0) << QPoint(0, 1) << QPoint(1, 0);
    QTest::newRow("columns, top left, serp.") << grid(C, true, 1, 1) << QPoint(0, 0) << QPoint(0, 1) << QPoint(1, 2);
    QTest::newRow("columns, top right") << grid(C, false, 1, -1) << QPoint(3, 0) << QPoint(3, 1) << QPoint(2, 0);
    QTest::newRow("columns, top right, serp.") << grid(C, true, 1, -1) << QPoint(3, 0) << QPoint(3, 1)
                                               << QPoint(2, 2);
    QTest::newRow("columns, bottom left") << grid(C, false, -1, 1) << QPoint(0, 2) << QPoint(0, 1) << QPoint(1, 2);
    QTest::newRow("columns, bottom left, serp.") << grid(C, true, -1, 1) << QPoint(0, 2) << QPoint(0, 1)
                                                 << QPoint(1, 0);
    QTest::newRow("columns, bottom right") << grid(C, false, -1, -1) << QPoint(3, 2) << QPoint(3, 1) << QPoint(2, 2);
    QTest::newRow("columns, bottom right, serp.") << grid(C, true, -1, -1) << QPoint(3, 2) << QPoint(3, 1)
                                                  << QPoint(2, 0);
    // On a ring row 0 is the innermost circle and columns run clockwise from LED 0.
    QTest::newRow("ring, rows, anticlockwise") << ring(R, false, 1, -1) << QPoint(0, 0) << QPoint(7, 0)
                                               << QPoint(0, 1);
    QTest::newRow("ring, rows, outermost first, alternating anticlockwise")
        << ring(R, true, -1, -1) << QPoint(0, 2) << QPoint(7, 2) << QPoint(1, 1);
    QTest::newRow("ring, columns, alternating anticlockwise")
        << ring(C, true, 1, -1) << QPoint(0, 0) << QPoint(0, 1) << QPoint(7, 2);
    QTest::newRow("ring, columns, outermost first") << ring(C, false, -1, 1) << QPoint(0, 2) << QPoint(0, 1)
                                                    << QPoint(1, 2);
}

void tst_Numbering::mapping()
{
    QFETCH(LedLayout, layout);
    QFETCH(QPoint, first);
    QFETCH(QPoint, second);
    QFETCH(QPoint, nextLine);

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

void tst_Numbering::toolsDrawAsDrawn_data()
{
    QTest::addColumn<LedLayout>("layout");
    QTest::newRow("grid, columns first, serpentine")
        << numbered(LedLayout::Rectangle, LedLayout::Columns, true, 1, 1);
    QTest::newRow("grid from the bottom right, columns first, serpentine")
        << numbered(LedLayout::Rectangle, LedLayout::Columns, true, -1, -1);
    QTest::newRow("ring, alternating, anticlockwise")
        << numbered(LedLayout::Ring, LedLayout::Rows, true, 1, -1);
    QTest::newRow("ring, columns first, alternating, outermost first")
        << numbered(LedLayout::Ring, LedLayout::Columns, true, -1, 1);
}

// Every tool gives the same picture as drawn on a numbering as on plain rows from the top left.
void tst_Numbering::toolsDrawAsDrawn()
{
    QFETCH(LedLayout, layout);
    const bool ring = layout.type() == LedLayout::Ring;
    const LedLayout plain = numbered(layout.type(), LedLayout::Rows, false, 1, 1);
    QVERIFY(plain.ledPositionOf(1) != layout.ledPositionOf(1));
    const auto same = [&](const QVector<int>& onPlain, const QVector<int>& onLayout) {
        QVERIFY(onPlain.contains(1) && onPlain.contains(0));
        QCOMPARE(drawnCells(layout, onLayout), drawnCells(plain, onPlain));
    };

    // A line across the middle row lights that drawn row and nothing else.
    const QPointF from = plain.ledPosition(1, 0), to = plain.ledPosition(1, ring ? 2 : 3);
    const QVector<int> line = frameOf(layout, LedShapes::covered(layout, LedShapes::Line, from, to, false, false));
    same(frameOf(plain, LedShapes::covered(plain, LedShapes::Line, from, to, false, false)), line);
    if (!ring)
        QCOMPARE(drawnCells(layout, line).mid(4, 4), QVector<int>(4, 1));

    const QVector<int> picture = frameOf(plain, { 0, 1, 2, 5, 6 });
    const QVector<int> moved = ChangeLayoutEdit::moved(picture, plain, layout);
    same(picture, moved);
    QCOMPARE(ChangeLayoutEdit::moved(moved, layout, plain), picture);
    QCOMPARE(ChangeLayoutEdit::moved(picture, plain, layout, nullptr, ChangeLayoutEdit::KeepIndices), picture);

    same(frameOf(plain, LedShapes::floodArea(plain, picture, 0)),
         frameOf(layout, LedShapes::floodArea(layout, moved, layout.indexAt(0, 0))));
    for (int op : { FrameOperations::ShiftForward, FrameOperations::ShiftOut, FrameOperations::MirrorColumns })
        same(FrameOperations::apply(FrameOperations::eOperation(op), picture, plain),
             FrameOperations::apply(FrameOperations::eOperation(op), moved, layout));
    same(TextFrames(plain, QStringLiteral("F")).still(), TextFrames(layout, QStringLiteral("F")).still());
}

void tst_Numbering::file_data()
{
    QTest::addColumn<QByteArray>("children");
    QTest::addColumn<int>("order");
    QTest::addColumn<bool>("serpentine");
    QTest::addColumn<QString>("error"); // empty: read

    QTest::newRow("neither") << QByteArray() << int(LedLayout::Rows) << false << QString();
    QTest::newRow("columns, serpentine")
        << QByteArray("<Order>Columns</Order><Serpentine>1</Serpentine>") << int(LedLayout::Columns) << true
        << QString();
    QTest::newRow("before the size, written out")
        << QByteArray("<Serpentine>0</Serpentine><Order>Rows</Order>") << int(LedLayout::Rows) << false << QString();
    QTest::newRow("other order") << QByteArray("\n<Order>Diagonal</Order>") << 0 << false
                                 << "Line 2, column 24: Order holds Diagonal; it is Rows or Columns.";
    QTest::newRow("serpentine 2") << QByteArray("\n\n<Serpentine>2</Serpentine>") << 0 << false
                                  << "Line 3, column 27: Serpentine holds 2; it is 0 or 1.";
}

// The numbering in the Layout element: read in any place, written last and only when not plain rows.
void tst_Numbering::file()
{
    QFETCH(QByteArray, children);
    QFETCH(int, order);
    QFETCH(bool, serpentine);
    QFETCH(QString, error);

    QByteArray xml = showXml(layoutXml(2, 3));
    xml.replace("<Rows>", children + "<Rows>");
    LedPanelModel show;
    QCOMPARE(readShow(show, xml), error.isEmpty());
    QCOMPARE(show.readError(), error);
    if (!error.isEmpty())
        return;
    QCOMPARE(int(show.panelLayout().order()), order);
    QCOMPARE(show.panelLayout().serpentine(), serpentine);

    const QByteArray written = writtenShow(show);
    LedPanelModel again;
    QVERIFY(readShow(again, written));
    QCOMPARE(again.panelLayout(), show.panelLayout());
    QCOMPARE(writtenShow(again), written);

    QTemporaryDir dir;
    const QString path = dir.filePath("show.xml");
    QVERIFY(writeFile(path, written));
    const QByteArray last = runProgram("xmllint", { "--xpath", "name(/LedPanelDocument/Layout/*[last()])", path });
    const QByteArray stored
        = runProgram("xmllint", { "--xpath", "concat(//Layout/Order, '/', //Layout/Serpentine)", path });
    if (order == LedLayout::Rows && !serpentine) {
        QCOMPARE(last.trimmed(), QByteArray("FirstLedPosition_Y"));
        QCOMPARE(stored.trimmed(), QByteArray("/"));
    } else {
        QCOMPARE(last.trimmed(), QByteArray("Serpentine"));
        QCOMPARE(stored.trimmed(), QByteArray("Columns/1"));
    }
}

void tst_Numbering::solve_data()
{
    QTest::addColumn<LedLayout>("wired");
    QTest::addColumn<int>("believedOrder");
    for (int type : { LedLayout::Rectangle, LedLayout::Ring }) {
        for (int order = 0; order <= 1; ++order) {
            for (int serpentine = 0; serpentine <= 1; ++serpentine) {
                for (int rowSign : { 1, -1 }) {
                    for (int columnSign : { 1, -1 }) {
                        for (int believed = 0; believed <= 1; ++believed) {
                            const LedLayout layout
                                = numbered(LedLayout::eType(type), order, serpentine, rowSign, columnSign);
                            QTest::addRow("%s %d%d%d%d, believed %d", type ? "ring" : "grid", order, serpentine,
                                          rowSign, columnSign, believed)
                                << layout << believed;
                        }
                    }
                }
            }
        }
    }
}

// From where the test's single LEDs lit on a panel believed plain, the panel's real numbering.
void tst_Numbering::solve()
{
    QFETCH(LedLayout, wired);
    QFETCH(int, believedOrder);
    LedLayout believed = numbered(wired.type(), believedOrder, false, 1, 1);
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

QTEST_GUILESS_MAIN(tst_Numbering)
#include "tst_Numbering.moc"
