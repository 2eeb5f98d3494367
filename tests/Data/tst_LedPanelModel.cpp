#include "Data/BoundedXmlDevice.h"
#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/EditGroup.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Data/LedValuesEdit.h"
#include "Data/MoveFramesEdit.h"
#include "Data/PanelInfoEdit.h"
#include "Data/RemoveFramesEdit.h"
#include "Data/RemoveSequenceEdit.h"
#include "TreeView/LedTreeModel.h"
#include "common/DataColumns.h"
#include "common/TestData.h"

#include <QMimeData>
#include <QtTest>

#include <functional>

// Changes the show through the door, or through the tree model; false when refused.
using Perform = std::function<bool(LedPanelModel&, LedTreeModel&)>;
Q_DECLARE_METATYPE(Perform)
using Leds = QMap<int, QPointF>;
Q_DECLARE_METATYPE(LedLayout)

namespace {

// Two sequences of three frames on a 2 x 3 panel; frame f of sequence s has LED i at 10s + f + i.
QByteArray fixture()
{
    return showXml("<Title>T</Title><Description>D</Description>" + layoutXml(2, 3)
                   + sequenceXml(0, 3, 6, [](int f, int i) { return f + i; })
                   + sequenceXml(1, 3, 6, [](int f, int i) { return 10 + f + i; }));
}

// "title/description" and per sequence its frames' first LED values: "T/D 0 1 2|10 11 12".
QString describe(const LedPanelModel& show)
{
    QStringList sequences;
    for (int s = 0; s < show.sequenceCount(); ++s) {
        QStringList frames;
        for (int f = 0; f < show.sequence(s)->frameCount(); ++f) {
            const LedStateCommand* frame = show.sequence(s)->frame(f);
            frames << QString::number(frame->ledCount() ? frame->led(0)->intensity() : -99);
        }
        sequences << frames.join(' ');
    }
    return show.title() + '/' + show.description() + ' ' + sequences.join('|');
}

} // namespace

// The show: its edits and the files it refuses.
class tst_LedPanelModel : public QObject
{
    Q_OBJECT

private slots:
    void edits_data()
    {
        const auto add = dataColumns<Perform, QString>("perform", "after");
        const auto edit = [&add](const char* name, const char* after,
                                 std::function<AbstractEdit*(LedPanelModel&)> make) {
            add(name, [=](LedPanelModel& show, LedTreeModel&) { return show.submit(make(show)); }, after);
        };
        // Frames of sequence 1 dragged in the tree and dropped at a row of a sequence (-1: on the sequence
        // itself), or moved there by moveRows: either is one edit of the show.
        const auto drag = [](QList<int> rows, int parent, int row, bool moveRows) {
            return Perform([=](LedPanelModel& show, LedTreeModel& tree) {
                const QModelIndex source = tree.index(show.sequence(1)), target = tree.index(show.sequence(parent));
                QModelIndexList dragged;
                for (int r : rows)
                    dragged << tree.index(r, 0, source);
                const std::unique_ptr<QMimeData> data(tree.mimeData(dragged));
                return moveRows ? tree.moveRows(source, rows.first(), rows.size(), target, row)
                                : tree.dropMimeData(data.get(), Qt::MoveAction, row, 0, target);
            });
        };
        const QVector<int> lit(6, 7);
        edit("LED values in two frames", "T/D 0 6 2|10 11 0", [](LedPanelModel& show) {
            auto* values = new LedValuesEdit("Paint");
            values->set(show.sequence(0)->frame(1), 0, 5);
            values->set(show.sequence(1)->frame(2), 0, 0);
            values->set(show.sequence(0)->frame(1), 0, 6); // the later value counts
            return values;
        });
        edit("sequence at the front", "T/D |0 1 2|10 11 12",
             [](auto&) { return new InsertSequenceEdit("Add sequence", 0); });
        edit("first sequence out", "T/D 10 11 12", [](auto&) { return new RemoveSequenceEdit("Remove sequence", 0); });
        edit("two frames between", "T/D 0 1 2|10 7 8 11 12",
             [lit](auto&) { return new InsertFramesEdit("Add frames", 1, 1, { lit, QVector<int>(6, 8) }); });
        edit("frames 0 and 2 out", "T/D 1|10 11 12",
             [](auto&) { return new RemoveFramesEdit("Remove frames", 0, { 2, 0 }); });
        edit("frames 0 and 2 to the end", "T/D 0 1 2|11 10 12",
             [](auto&) { return new MoveFramesEdit("Move frame", 1, { 2, 0 }, 3); });
        edit("frames 1 and 2 up by one", "T/D 1 2 0|10 11 12",
             [](auto&) { return MoveFramesEdit::byOne("Move frame", 0, { 1, 2 }, -1); });
        edit("frames 0 and 1 down by one", "T/D 0 1 2|12 10 11",
             [](auto&) { return MoveFramesEdit::byOne("Move frame", 1, { 1, 0 }, 1); });
        edit("panel info, a pasted line end", "New\r/Lines\r\nof text 0 1 2|10 11 12",
             [](auto&) { return new PanelInfoEdit("Panel info", "New\r", "Lines\r\nof text"); });
        // A file's reader takes no longer run of text: a longer one would be saved, then never opened again.
        const int longest = int(BoundedXmlDevice::MaxTextRun) - 64;
        edit("panel info as long as a file holds", qPrintable("T/" + QString(longest, 'x') + " 0 1 2|10 11 12"),
             [longest](auto&) { return new PanelInfoEdit("Panel info", "T", QString(longest, 'x')); });
        edit("panel info longer than a file holds", "",
             [](auto&) { return new PanelInfoEdit("Panel info", "T", QString(BoundedXmlDevice::MaxTextRun, 'x')); });
        edit("values and new frames as one", "T/D 0 1 2|3 11 12 7", [lit](LedPanelModel& show) {
            auto* group = new EditGroup("Import sequence");
            auto* values = new LedValuesEdit(QString());
            values->setFrame(show.sequence(1)->frame(0), { 3, 3, 3 });
            group->append(values);
            group->append(new InsertFramesEdit(QString(), 1, 3, { lit }));
            return group;
        });
        edit("one LED value past the bound", "", [](LedPanelModel& show) {
            const int values = int(LedPanelModel::MaxLedValues - show.ledValueCount()) + 1;
            return new InsertFramesEdit("Add frames", 0, 0, { QVector<int>(values) });
        });
        add("drag two to the front", drag({ 1, 2 }, 1, 0, false), "T/D 0 1 2|11 12 10");
        add("drag onto the sequence: to its end", drag({ 0 }, 1, -1, false), "T/D 0 1 2|11 12 10");
        add("drag into the other sequence", drag({ 0 }, 0, 0, false), "");
        add("drag onto itself", drag({ 1 }, 1, 2, false), "");
        add("moveRows, last to the front", drag({ 2 }, 1, 0, true), "T/D 0 1 2|12 10 11");
        add("moveRows across sequences", drag({ 0, 1 }, 0, 0, true), "");
    }

    void edits()
    {
        const auto [perform, after] = fetchColumns<Perform, QString>("perform", "after");

        LedPanelModel show;
        QVERIFY(readShow(show, fixture()));
        LedTreeModel tree;
        tree.setRootItem(&show);
        const QString described = describe(show);

        QCOMPARE(perform(show, tree), !after.isEmpty());
        QCOMPARE(describe(show), after.isEmpty() ? described : after);
        if (after.isEmpty())
            return;
        LedPanelModel reread;
        QVERIFY(readShow(reread, writtenShow(show)));
        QCOMPARE(describe(reread), after);
    }

    void hostileLayouts_data()
    {
        QTest::addColumn<QByteArray>("body"); // one element a line, from line 2
        QTest::addColumn<QString>("refusal"); // "line: reason"

        const QByteArray frames = sequenceXml(0, 3);
        QTest::newRow("1 x 1, frames, then 256 x 256") << layoutXml(1, 1) + '\n' + frames + '\n' + layoutXml(256, 256)
                                                       << "4: The Layout element comes after the sequences";
        QTest::newRow("frames before the only layout") << frames + '\n' + layoutXml(2, 2)
                                                       << "3: The Layout element comes after the sequences";
        QTest::newRow("an empty sequence before the layout")
            << QByteArray("<CommandList index=\"0\"/>\n") + layoutXml(2, 2) << "3: The Layout element comes after";
        QTest::newRow("two layouts") << layoutXml(2, 2) + '\n' + layoutXml(2, 2) << "3: A second Layout element";
        QTest::newRow("an unknown layout, then one") << "<Layout type=\"Hexagon\"/>\n" + layoutXml(2, 2)
                                                     << "3: A second Layout element";
        const QByteArray grid = "<Layout type=\"Rectangle\">\n<Rows>%1</Rows>\n<Columns>%2</Columns>\n</Layout>";
        const auto count = [](const char* name, const char* text) {
            return QStringLiteral("%1 holds %2, which is not a count from 1 to 65536.").arg(name, text);
        };
        QTest::newRow("no rows") << QString(grid).arg("0", "8").toUtf8() << "3: " + count("Rows", "0");
        QTest::newRow("negative columns") << QString(grid).arg("4", "-8").toUtf8() << "4: " + count("Columns", "-8");
        QTest::newRow("rows not a number") << QString(grid).arg("four", "8").toUtf8() << "3: " + count("Rows", "four");
        QTest::newRow("65537 columns") << QString(grid).arg("1", "65537").toUtf8() << "4: " + count("Columns", "65537");
        QTest::newRow("ring of no circles") << QByteArray("<Layout type=\"Ring\">\n<Rows>0</Rows>\n</Layout>")
                                            << "3: " + count("Rows", "0");
    }

    // A file that would give frames another LED count than the layout they are used with, or a layout without
    // LEDs, is refused where it says so; nothing of it is charged against another layout.
    void hostileLayouts()
    {
        const auto [body, refusal] = fetchColumns<QByteArray, QString>("body", "refusal");

        LedPanelModel show;
        QVERIFY(!readShow(show, "<LedPanelDocument version=\"1.0\">\n" + body + "\n</LedPanelDocument>"));
        QVERIFY2(show.readError().startsWith("Line " + refusal.section(": ", 0, 0) + ", column "),
                 qPrintable(show.readError()));
        QVERIFY2(show.readError().contains(refusal.section(": ", 1)), qPrintable(show.readError()));
        for (int s = 0; s < show.sequenceCount(); ++s) {
            for (int f = 0; f < show.sequence(s)->frameCount(); ++f)
                QCOMPARE(show.sequence(s)->frame(f)->ledCount(), int(show.panelLayout().ledCount()));
        }
    }

    void layoutElement_data()
    {
        const auto add
            = dataColumns<QString, int, QRectF, Leds, QString>("layout", "ledCount", "sceneRect", "leds", "written");
        const QRectF ring(-71, -71, 142, 142);
        add("default ring", "<Layout type='Ring'/>", 192, ring,
            { { 1, { 5.8737, -44.615 } }, { 48, { 0, -50 } }, { 191, { -7.8316, -59.4867 } } }, {});
        add("65536 x 65537, 65536 in 32 bits",
            "<Layout type='Ring'><Rows>65536</Rows><Columns>65537</Columns></Layout>", -1, ring, {}, {});
        // Written: every child once, in its order, numbers as "%g" writes them unless that would round them (a
        // body or first LED set to 1234.567 in the layout dialog would come back moved). Unknown children are
        // skipped whole; of duplicates the last counts. X keeps the right edge and Y the bottom one.
        add("rectangle of the most LEDs, written",
            "<Layout type='Rectangle'><FirstLedPosition_Y>-1.5</FirstLedPosition_Y><Foo>1</Foo><Bar><Rows>9</Rows>"
            "<Baz/></Bar><Rows>3</Rows><Rows>1</Rows><Columns>65536</Columns><RowSpacing>1.23456789</RowSpacing>"
            "<ColumnSpacing>-0.5</ColumnSpacing><Rectangle_W>999999</Rectangle_W><Rectangle_X>123456.75</Rectangle_X>"
            "<Rectangle_H>1000000</Rectangle_H><Rectangle_Y>2.5e-1</Rectangle_Y>"
            "<FirstLedPosition_X>0.00001</FirstLedPosition_X></Layout>",
            65536, QRectF(QPointF(-32770.49999, -4.5), QPointF(999993, 999994)), { { 65535, { -32767.5, -1.5 } } },
            "<Layout type=\"Rectangle\"><Rows>1</Rows><Columns>65536</Columns><RowSpacing>1.23456789</RowSpacing>"
            "<ColumnSpacing>-0.5</ColumnSpacing><Rectangle_X>123456.75</Rectangle_X><Rectangle_Y>0.25</Rectangle_Y>"
            "<Rectangle_W>876536.25</Rectangle_W><Rectangle_H>999993.75</Rectangle_H>"
            "<FirstLedPosition_X>1e-05</FirstLedPosition_X><FirstLedPosition_Y>-1.5</FirstLedPosition_Y></Layout>");
        // From the centre: the first row all there. The outer edge inside the inner one. The view, pictures and
        // exports reach the LEDs beyond the body, and a unit past their edge.
        const QString odd = "<Layout type=\"Ring\"><Rows>2</Rows><Columns>36</Columns><RowSpacing>60</RowSpacing>"
                            "<ColumnSpacing>10</ColumnSpacing><InnerDiameter>70</InnerDiameter>"
                            "<OuterDiameter>40</OuterDiameter><FirstLedPosition_X>0</FirstLedPosition_X>"
                            "<FirstLedPosition_Y>0</FirstLedPosition_Y></Layout>";
        add("ring written", odd, 72, QRectF(-63, -63, 126, 126),
            { { 35, { 0, 0 } }, { 36, { 60, 0 } }, { 45, { 0, 60 } } }, odd);
    }

    void layoutElement()
    {
        const auto [layout, ledCount, sceneRect, leds, written] =
            fetchColumns<QString, int, QRectF, Leds, QString>("layout", "ledCount", "sceneRect", "leds", "written");

        // Read over a layout of its type, as a show does: nothing of that one is left.
        LedLayout read(layout.contains("Ring") ? LedLayout::Ring : LedLayout::Rectangle);
        QXmlStreamReader xml(layout);
        xml.readNextStartElement();
        read.readXML(xml);
        QCOMPARE(xml.hasError(), ledCount < 0);
        QCOMPARE(read.ledCount(), qMax(ledCount, 0));
        QCOMPARE(read.sceneRect(), sceneRect);
        for (auto it = leds.cbegin(); it != leds.cend(); ++it)
            QVERIFY((read.ledPositionOf(it.key()) - it.value()).manhattanLength() < 1e-3);

        QString text;
        QXmlStreamWriter writer(&text);
        read.writeXML(writer);
        if (!written.isEmpty())
            QCOMPARE(text, written);
    }

    // The largest file a save writes is opened again: a frame for every LED value, each of the longest value.
    void largestFileReads()
    {
        const auto written = [](int frames) {
            LedPanelModel show;
            const auto longest = [](int, int) { return std::numeric_limits<int>::min(); };
            return readShow(show, showXml(layoutXml(1, 1) + sequenceXml(0, frames, 1, longest)))
                       ? qint64(writtenShow(show).size())
                       : -1;
        };
        // Frame 1's index against the last one's, 4194303.
        const qint64 frame = written(2) - written(1) + 6;
        QVERIFY(frame > 6);
        const qint64 texts = 2 * BoundedXmlDevice::MaxTextRun;
        QVERIFY(written(1) + frame * LedPanelModel::MaxLedValues + texts <= BoundedXmlDevice::MaxBytes);
    }

    void changeLayout_data()
    {
        const auto add = dataColumns<LedLayout>("layout");
        add("grid shrinks", LedLayout::create(LedLayout::Rectangle, 4, 6));
    }

    // An 8 x 8 grid with (0,0), (3,5), (7,7) lit in its five frames keeps the first two where they are drawn.
    void changeLayout()
    {
        QFETCH(LedLayout, layout);

        const auto lit = [](int, int i) { return i == 0 || i == 3 * 8 + 5 || i == 63 ? 1 : 0; };
        LedPanelModel show;
        QVERIFY(readShow(show, showXml(layoutXml(8, 8) + sequenceXml(0, 3, 64, lit) + sequenceXml(1, 2, 64, lit))));
        ChangeLayoutEdit edit(show, layout);
        QCOMPARE(edit.droppedLitCount(), qint64(5));
        edit.redo(show);
        QCOMPARE(show.panelLayout(), layout);
        QVector<int> expected(int(layout.ledCount()));
        expected[layout.indexAt(0, 0)] = 1;
        expected[layout.indexAt(3, 5)] = 1;
        for (int s = 0; s < show.sequenceCount(); ++s) {
            for (int f = 0; f < show.sequence(s)->frameCount(); ++f)
                QCOMPARE(show.sequence(s)->frame(f)->intensities(), expected);
        }
    }
};

QTEST_GUILESS_MAIN(tst_LedPanelModel)
#include "tst_LedPanelModel.moc"
