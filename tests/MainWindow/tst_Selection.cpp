#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/ShapePreviewItem.h"

#include "common/DataColumns.h"
#include "common/ModalAnswer.h"
#include "common/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

// Drawing, lettering, selecting, moving and pasting LEDs, with symmetry or without, through the real window. Frames
// are pictures: a row of '#' (lit), '.' and '-' (below 0) per row as drawn ('/' between rows; on a ring the
// innermost circle first).
using Leds = QList<int>; // lit LEDs, ascending

class tst_Selection : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showWindow()); }
    void cleanup() { QVERIFY(closeWindow()); }

    void edits_data()
    {
        // After: the current frame; undone: after one undo, left out the frame before.
        const auto add = dataColumns<QByteArray, QString, QStringList, QString, QString, QString>(
            "layout", "before", "steps", "after", "undo", "undone");
        const auto row = [&add](const char* name, const QByteArray& layout, const QString& before, const QString& steps,
                                const QString& after, const QString& undo, const QString& undone = QString()) {
            add(name, layout, before, steps.split("; "), after, undo, undone.isNull() ? before : undone);
        };
        const QByteArray grid = layoutXml(4, 5);
        // A whole circle: 12 LEDs at the default angle would make a quarter of one.
        const QByteArray ring
            = QByteArray(layoutXml(2, 12, "Ring")).replace("</Columns>", "</Columns><ColumnSpacing>30</ColumnSpacing>");
        const QString small = "show " + layoutXml(3, 4);
        const QString empty = "...../...../...../.....";
        const QString corner = "##.../##.../...../.....";
        const QString full = "#####/#####/#####/#####";
        const QString dark = "............/............";
        row("grid: a move takes every selected frame", grid, corner,
            "frame 1; trigger FillFrame; frame 0; frames; select 0,0 1,1; move 0,0 2,3; frame 1",
            "..###/..###/#####/#####", "Move LEDs");
        row("grid: Ctrl-drag copies", grid, corner, "select 1,1 0,0; copy 1,1 3,4", "##.../##.../...##/...##",
            "Copy LEDs");
        row("grid: an arrow moves one step, the outline follows", grid, corner, "select 0,0 1,1; key Right; key Down",
            "...../.##../.##../.....", "Move LEDs", ".##../.##../...../.....");
        row("grid: undo and redo take the outline along with the LEDs", grid, corner,
            "select 0,0 1,1; move 0,0 1,1; trigger Undo; key Down; trigger Undo; trigger Redo; key Right",
            "...../.##../.##../.....", "Move LEDs", "...../##.../##.../.....");
        row("grid: Shift adds, Ctrl from outside removes, Del clears", grid, full,
            "select 0,0 0,2; add 3,3 3,4; remove 1,2 0,2; key Del", "..###/#####/#####/###..", "Clear");
        row("grid: the pen and fill stay inside until Esc", grid, empty,
            "select 1,1 1,3; pen 0,0; pen 1,2; fill 1,1; key Esc; pen 0,0", "#..../.##../...../.....", "Toggle LED",
            "...../.##../...../.....");
        row("grid: a click outside clears, the operation takes the frame", grid, corner,
            "select 0,0 1,1; select 3,4 3,4; trigger InvertFrame", "..###/..###/#####/#####", "Invert");
        row("grid: copy, paste on another frame, moved, dropped by Enter", grid, corner,
            "select 0,0 0,1; trigger Copy; frame 1; trigger Paste; key Down; key Right; key Return; key Right",
            "...../..##./...../.....", "Move LEDs", "...../.##../...../.....");
        row("grid: another frame drops the paste", grid, corner,
            "select 0,0 0,1; trigger Copy; frame 1; trigger Paste; frame 0; key Down", "...../##.../...../.....",
            "Move LEDs");
        // Keys wait while a move is dragged; Esc drops the selection, and there is nothing left to move.
        row("grid: an arrow while a move is dragged", grid, "##.../##.../..#../.....",
            "select 0,0 1,1; hold 0,0 2,2; key Left; release 2,2", "...../...../..##./..##.", "Move LEDs");
        row("grid: Esc while a move is dragged", grid, corner,
            "select 0,0 1,1; hold 0,0 2,3; key Esc; release 2,3; pen 3,4", "##.../##.../...../....#", "Toggle LED");
        row("grid: a move whose release a pan took", grid, corner, "select 0,0 1,1; hold 0,0 2,3; pan 2,3; key Right",
            ".##../.##../...../.....", "Move LEDs");
        row("grid: a line whose release a pan took", grid, empty,
            "preview Line 0,0 0,4 5; pan 0,4; marks 0; steps 0; pen 3,4", "...../...../...../....#", "Toggle LED");
        row("grid onto a smaller grid: cells off the panel dropped", grid, "...##/...##/...../.....",
            "select 0,3 1,4; trigger Cut; " + small + "; trigger Paste; status 2 LEDs fell outside the panel",
            "...#/...#/....", "Paste", "..../..../....");
        row("grid: Esc drops the line being drawn", grid, empty,
            "preview Line 0,0 0,4 5; key Esc; release 0,4; steps 0; preview Line 1,0 1,2 3; release 1,2; steps 1",
            "...../###../...../.....", "Line");
        row("ring: a filled band across LED 0", ring, dark,
            "trigger DrawFilled; preview Rectangle 0,11 1,1 6; release 1,1", "##.........#/##.........#", "Rectangle");
        row("ring: Shift makes the ellipse a circle", ring, dark,
            "preview Shift+Ellipse @-50,-50 @50,20 12; release @50,20; steps 1", "............/############",
            "Ellipse");
        row("grid: a darkening line", grid, full,
            "state DrawLit on Light; trigger DrawLit; trigger DrawLit; state DrawLit on Light; trigger DrawLit; "
            "state DrawLit off Darken; preview Line 0,2 3,2 4; release 3,2; steps 1",
            "##.##/##.##/##.##/##.##", "Line");
        row("ring: a fill between two walls lights, while playing", ring, "#.....#...../#.....#.....",
            "trigger DrawLit; trigger Play; state Play on; fill 1,8; state Play off", "#.....######/#.....######",
            "Flood fill");
        row("ring: a fill darkens a lit area", ring, ".....##...../.....##.....", "fill 1,6", dark, "Flood fill");
        row("grid: below 0 is dark to the fill and the pen", grid, "-.#../-.#../###../....-", "fill 0,0; pen 3,4",
            "###../###../###../....#", "Toggle LED", "###../###../###../....-");
        // One step a stroke, along the inner circle and out; the next, started on a lit LED, darkens.
        row("ring: pen strokes", ring, dark, "stroke 0,0 0,1 0,2 0,3 1,3; stroke 0,2 0,3; steps 2",
            "##........../...#........", "Paint", "####......../...#........");
        row("ring: a band across LED 0 turns", ring, "#..........#/............", "select 0,11 1,1; move 0,0 1,3",
            "............/..##........", "Move LEDs");
        row("ring: Ctrl+A, copy, paste on a grid at the source's cells", ring, "#.#........./.#.........#",
            "key Ctrl+A; trigger Copy; " + small + "; trigger Paste; status 16 LEDs", "#.#./.#../....", "Paste",
            "..../..../....");
        row("ring: operation on every circle of a band", ring, "#.........../#...........",
            "select 0,0 1,2; trigger ShiftForward", ".#........../.#..........", "Rotate clockwise");

        // Symmetry: every repetition drawn, marked while dragged, kept to the selection.
        row("grid: Mirror", grid, empty, "symmetry Mirror; pen 1,1", "...../.#.#./...../.....", "Toggle LED");
        row("grid: Both", grid, empty, "symmetry Both; preview Line 0,0 0,1 8; release 0,1", "##.##/...../...../##.##",
            "Line");
        row("grid: Mirror outside the selection dropped", grid, empty, "symmetry Mirror; select 0,0 3,2; pen 0,0",
            "#..../...../...../.....", "Toggle LED");
        row("ring: Rotate 4", ring, dark, "symmetry Rotate 4; preview Line 0,1 1,1 8; release 1,1",
            ".#..#..#..#./.#..#..#..#.", "Line");
    }

    void edits()
    {
        const auto [layout, before, steps, after, undo, undone] =
            fetchColumns<QByteArray, QString, QStringList, QString, QString, QString>(
                "layout", "before", "steps", "after", "undo", "undone");

        open(layout, before);
        for (const QString& step : steps) {
            run(step);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable("at " + step));
        }
        QCOMPARE(picture(), after);
        QCOMPARE(undoText(), "Undo " + undo);
        action("action_Undo")->trigger();
        QCOMPARE(picture(), undone);
    }

    // Only the symmetries a layout has are offered, and only the turns that fit its circles.
    void symmetryChoices()
    {
        auto* counts = m_window->findChild<QComboBox*>("comboBox_SymmetryCount");
        open(QByteArray(layoutXml(3, 12, "Ring")).replace("</Columns>", "</Columns><ColumnSpacing>30</ColumnSpacing>"));
        run("symmetry Both");
        QVERIFY(!action("action_SymmetryBoth")->isEnabled());
        QVERIFY(action("action_SymmetryRotate")->isEnabled());
        QStringList offered;
        for (int i = 0; i < counts->count(); ++i)
            offered << counts->itemText(i);
        QCOMPARE(offered, QStringList({ "2", "3", "4", "6" }));

        run("symmetry Rotate 6");
        open(layoutXml(4, 4));
        QVERIFY(!action("action_SymmetryRotate")->isEnabled());
        QVERIFY(action("action_SymmetryNone")->isChecked());
        QCOMPARE(counts->count(), 0);
    }

    // A click with the pen toggles the LED under the mouse, and only that one; on rings and grids, fitted (a click in a
    // view zoomed and scrolled is tst_LedStateWidget's).
    void penClicks_data()
    {
        const auto add = dataColumns<QByteArray, int>("layout", "led");
        add("ring, fitted", "<Layout type=\"Ring\"/>", 30);
        add("grid 128 x 128, fitted", layoutXml(128, 128), 9000);
    }

    void penClicks()
    {
        const auto [layout, led] = fetchColumns<QByteArray, int>("layout", "led");

        QVERIFY(openShow(layout + sequenceXml(0, 1)));
        clickLed(led);
        QVERIFY(view()->viewport()->rect().contains(viewPoint(document()->panelLayout().ledPositionOf(led))));
        QCOMPARE(litLeds(0), Leds { led });
        clickLed(led);
        QCOMPARE(litLeds(0), Leds());
    }

    void text_data()
    {
        // Shown: the frame that shows the text from LED 0.
        const auto add
            = dataColumns<QString, int, QString, int, int, Leds>("text", "mode", "count", "frames", "shown", "lit");
        // "AB" in the 3 x 4 face, the glyphs' top row on the outer circle.
        const Leds ab { 0, 2, 4, 5, 48, 49, 50, 52, 54, 96, 98, 100, 101, 102, 145, 148, 149 };
        add("still replaces the frame", "AB", 0, "1 frame", 1, 0, ab);
        add("scroll: ring + text + 1 frames", "AB", 1, "56 frames", 57, 49, ab);
        add("over 200 characters refused", QString(201, 'x'), 1, "longer than 200", 1, 0, { 100, 120 });
    }

    void text()
    {
        const auto [text, mode, count, frames, shown, lit] =
            fetchColumns<QString, int, QString, int, int, Leds>("text", "mode", "count", "frames", "shown", "lit");

        const auto marked = [](int, int led) { return led == 100 || led == 120 ? 1 : 0; };
        QVERIFY(openShow("<Layout type=\"Ring\"/>" + sequenceXml(0, 1, 192, marked)));
        bool okEnabled = false;
        QString countText;
        ModalAnswer::onNext([&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("lineEdit_Text")->setText(text);
            dialog->findChild<QComboBox*>("comboBox_TextMode")->setCurrentIndex(mode);
            countText = dialog->findChild<QLabel*>("label_FrameCount")->text();
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            okEnabled = buttons->button(QDialogButtonBox::Ok)->isEnabled();
            buttons->button(okEnabled ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        QVERIFY(triggerAnswered(action("action_Text")));
        QVERIFY2(countText.contains(count), qPrintable(countText));
        QCOMPARE(document()->sequence(0)->frameCount(), frames);
        QCOMPARE(litLeds(shown), lit);
        QCOMPARE(okEnabled, text.size() <= 200);
        if (!okEnabled)
            return;
        QCOMPARE(undoText(), QString("Undo Text"));
        if (frames > 1)
            QCOMPARE(litLeds(0), (Leds { 100, 120 }));
        action("action_Undo")->trigger();
        QCOMPARE(document()->sequence(0)->frameCount(), 1);
        QCOMPARE(litLeds(0), (Leds { 100, 120 }));
    }

private:
    // "row,column" for an LED, "@x,y" for a point of the scene.
    QPointF cell(const QString& word) const
    {
        const QStringList parts = QString(word).remove('@').split(',');
        if (word.startsWith('@'))
            return QPointF(parts.at(0).toDouble(), parts.at(1).toDouble());
        return document()->panelLayout().ledPosition(parts.at(0).toInt(), parts.at(1).toInt());
    }

    // A show of two frames on the layout, the first one drawn as the picture and current.
    void open(const QByteArray& layout, const QString& picture = QString())
    {
        QVERIFY(openShow(layout + sequenceXml(0, 2)));
        const LedLayout& panel = document()->panelLayout();
        const QStringList rows = picture.split('/', Qt::SkipEmptyParts);
        for (int row = 0; row < rows.size(); ++row) {
            for (int column = 0; column < rows.at(row).size(); ++column)
                document()->currentFrame()->led(panel.indexAt(row, column))->setIntensity(
                    rows.at(row).at(column) == '#' ? 1 : rows.at(row).at(column) == '-' ? -1 : 0);
        }
        if (!picture.isEmpty())
            QCOMPARE(this->picture(), picture);
    }

    QString picture() const
    {
        const LedLayout& panel = document()->panelLayout();
        const QVector<int> values = document()->currentFrame()->intensities();
        QStringList rows;
        for (int row = 0; row < panel.rows(); ++row) {
            QString line;
            for (int column = 0; column < panel.columns(); ++column) {
                const int value = values.at(panel.indexAt(row, column));
                line += value > 0 ? '#' : value < 0 ? '-' : '.';
            }
            rows << line;
        }
        return rows.join('/');
    }

    Leds litLeds(int frame) const { return values(0, frame).keys(); }

    // One user's step: "select|add|remove|move|copy FROM TO" drags from cell to cell with the Select tool and
    // no key, Shift, Ctrl, none, Ctrl; "hold FROM TO" as "move", held; "pan CELL" pans meanwhile; "stroke CELLS"
    // drags with the pen; "preview [Shift+]TOOL FROM TO N" drags a shape to its N marks, held until "release CELL";
    // "pen|fill CELL" clicks; "frames" selects both frames in the tree, frame 0 current; "key KEYS" presses keys
    // in the view; "trigger ACTION"; "state ACTION on|off [TEXT]" checks it; "frame N"; "show LAYOUT" opens another
    // show; "symmetry MODE [N]"; "status TEXT" checks the status bar; "steps N" checks the undo steps made since the
    // show was opened, "marks N" the marks of a shape shown.
    void run(const QString& step)
    {
        const QStringList words = step.split(' ');
        const QString verb = words.first();
        static const QMap<QString, QPair<const char*, Qt::KeyboardModifiers>> drags {
            { "select", { "Select", Qt::NoModifier } }, { "add", { "Select", Qt::ShiftModifier } },
            { "remove", { "Select", Qt::ControlModifier } }, { "move", { "Select", Qt::NoModifier } },
            { "copy", { "Select", Qt::ControlModifier } }, { "stroke", { "Pen", Qt::NoModifier } },
        };
        QList<QPointF> cells;
        for (const QString& word : words.mid(1))
            cells << (word.contains(',') ? cell(word) : QPointF());
        view()->setFocus();
        if (drags.contains(verb)) {
            action(QString("action_Tool") + drags.value(verb).first)->trigger();
            drag(cells, drags.value(verb).second);
        } else if (verb == "hold") {
            action("action_ToolSelect")->trigger();
            drag(cells, Qt::NoModifier, false);
        } else if (verb == "pan") { // a middle click while a drag is held, then the mouse moves on
            QWidget* viewport = view()->viewport();
            QTest::mousePress(viewport, Qt::MiddleButton, {}, viewPoint(cells.first()));
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, viewPoint(cells.first()));
            QTest::mouseRelease(viewport, Qt::MiddleButton, {}, viewPoint(cells.first()));
            QTest::mouseMove(viewport, viewPoint(cells.first()) + QPoint(1, 1));
        } else if (verb == "preview") {
            m_held = words.at(1).startsWith("Shift+") ? Qt::ShiftModifier : Qt::NoModifier;
            QAction* tool = action("action_Tool" + QString(words.at(1)).remove("Shift+"));
            tool->trigger();
            QVERIFY(tool->isChecked() && !action("action_ToolPen")->isChecked());
            const QString before = picture();
            drag(cells.mid(1, 2), m_held, false);
            // The preview marks what will change; the frame is untouched until the release.
            QCOMPARE(shapePreview() ? shapePreview()->count() : 0, words.at(4).toInt());
            QCOMPARE(picture(), before);
        } else if (verb == "release") {
            QTest::mouseRelease(view()->viewport(), Qt::LeftButton, m_held, viewPoint(cells.first()));
            QVERIFY(!shapePreview());
        } else if (verb == "pen" || verb == "fill") {
            action(verb == "pen" ? "action_ToolPen" : "action_ToolFill")->trigger();
            QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, viewPoint(cells.first()));
        } else if (verb == "key") {
            QVERIFY(!QKeySequence(words.at(1)).isEmpty());
            QTest::keySequence(view(), QKeySequence(words.at(1)));
        } else if (verb == "trigger") {
            QVERIFY(action("action_" + words.at(1))->isEnabled());
            action("action_" + words.at(1))->trigger();
        } else if (verb == "state") {
            QCOMPARE(action("action_" + words.at(1))->isChecked(), words.at(2) == "on");
            if (words.size() > 3)
                QCOMPARE(plainText(action("action_" + words.at(1))->text()), words.at(3));
        } else if (verb == "frame") {
            document()->makeCurrent(document()->node(0, words.at(1).toInt()));
        } else if (verb == "frames") {
            selectFrames(0, { 1, 0 });
        } else if (verb == "show") {
            document()->undoStack()->setClean(); // a new show asks about unsaved changes otherwise
            open(step.mid(5).toUtf8());
        } else if (verb == "symmetry") {
            action("action_Symmetry" + words.at(1))->trigger();
            if (words.size() > 2) {
                auto* counts = m_window->findChild<QComboBox*>("comboBox_SymmetryCount");
                counts->setCurrentIndex(counts->findText(words.at(2)));
                QVERIFY(counts->currentIndex() >= 0);
            }
        } else if (verb == "marks") {
            QCOMPARE(shapePreview() ? shapePreview()->count() : 0, words.at(1).toInt());
        } else if (verb == "steps") {
            QCOMPARE(document()->undoStack()->index(), words.at(1).toInt());
        } else if (verb == "status") {
            const QString message = m_window->statusBar()->currentMessage();
            QVERIFY2(message.contains(step.mid(7)), qPrintable(message));
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }

    Qt::KeyboardModifiers m_held; // while a shape is dragged
};

QTEST_MAIN(tst_Selection)
#include "tst_Selection.moc"
