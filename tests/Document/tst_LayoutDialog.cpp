#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LayoutDialog.h"
#include "Document/LayoutPreview.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"

#include "DataColumns.h"
#include "ModalAnswer.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

// The layout dialog as a user reaches it: Light > Layout... in the main window,
// over a new document with one sequence of two frames.
class tst_LayoutDialog : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showWithFrames(2)); }
    void cleanup() { QVERIFY(closeWindow()); }

    void fields_data()
    {
        // Typed when not 0: rows, columns, row spacing. Shown: labels of rows and columns, rows x columns, angle,
        // preset. The type is picked after the preset when given; no reason: OK enabled; the status is the window's
        // after OK.
        const auto add = dataColumns<QString, QString, QList<int>, QString, QString, QString>(
            "preset", "layoutType", "typed", "shown", "reason", "status");
        // From an 8 x 8 grid with (0,0), (3,5), (7,7) lit in the first frame and (7,0) in the second.
        const QString sizes = "Positions and sizes are at most 1000000 either way.";
        const QString grid = "Rows, Columns: ", ring = "Circles, LEDs per circle: ";
        add("grid preset", "Grid 32 x 8", "", { 0, 0, 0 }, grid + "8 x 32, 6, Grid 32 x 8", "", "");
        add("ring of the most LEDs", "Ring of 12", "", { 256, 256, 0 }, ring + "256 x 256, 1.406, Custom", "", "");
        add("single ring drops rows", "Ring of 12", "", { 0, 0, 0 }, ring + "1 x 12, 30, Ring of 12", "",
            "3 lit LED(s) fell outside the new layout and were dropped.");
        add("grid made a ring keeps its size", "Grid 16 x 16", "Ring", { 0, 0, 0 }, ring + "16 x 16, 22.5, Custom", "",
            "");
        add("too many LEDs", "Grid 8 x 8", "", { 1024, 65, 0 }, grid + "1024 x 65, 6, Custom",
            "A panel holds at most 65536 LEDs.", "");
        add("grid too high", "Grid 8 x 8", "", { 0, 0, 200000 }, grid + "8 x 8, 6, Custom", sizes, "");
        add("ring too wide", "Ring of 16", "", { 2, 0, 600000 }, ring + "2 x 16, 22.5, Custom", sizes, "");
    }

    // Which lit LEDs a change keeps are the edit's own checks; here the dialog and the window follow.
    void fields()
    {
        const auto [preset, layoutType, typed, shown, reason, status] =
            fetchColumns<QString, QString, QList<int>, QString, QString, QString>(
                "preset", "layoutType", "typed", "shown", "reason", "status");

        QVERIFY(changeTo("Grid 8 x 8"));
        CommandList* sequence = document()->sequence(0);
        for (int led : {0, 3 * 8 + 5, 63})
            sequence->frame(0)->led(led)->setIntensity(1);
        sequence->frame(1)->led(7 * 8)->setIntensity(1);
        LedStateCommand* current = sequence->frame(1);
        document()->makeCurrent(current);
        const LedLayout grid = document()->panelLayout();
        m_window->statusBar()->clearMessage();

        LayoutDialog* dialog = openDialog();
        QVERIFY(dialog && dialog->isModal());
        QCOMPARE(dialog->panelLayout(), grid);
        QVERIFY(choose(field<QComboBox>(dialog, "comboBox_Preset"), preset));
        if (!layoutType.isEmpty())
            QVERIFY(choose(field<QComboBox>(dialog, "comboBox_LayoutType"), layoutType));
        const char* boxes[] = { "spinBox_Rows", "spinBox_Columns", "doubleSpinBox_RowSpacing" };
        for (int i = 0; i < 3; ++i) {
            auto* box = field<QAbstractSpinBox>(dialog, boxes[i]);
            box->selectAll();
            if (typed.at(i))
                QTest::keyClicks(box, QString::number(typed.at(i)));
        }
        QCOMPARE(QString("%1, %2: %3 x %4, %5, %6")
                     .arg(field<QLabel>(dialog, "label_Rows")->text(), field<QLabel>(dialog, "label_Columns")->text())
                     .arg(field<QSpinBox>(dialog, "spinBox_Rows")->value())
                     .arg(field<QSpinBox>(dialog, "spinBox_Columns")->value())
                     .arg(field<QDoubleSpinBox>(dialog, "doubleSpinBox_ColumnSpacing")->value())
                     .arg(field<QComboBox>(dialog, "comboBox_Preset")->currentText()),
                 shown);
        QCOMPARE(field<QLabel>(dialog, "label_Problem")->text(), reason);
        QCOMPARE(ok(dialog)->isEnabled(), reason.isEmpty());
        const LedLayout chosen = dialog->panelLayout();
        QTest::mouseClick(ok(dialog), Qt::LeftButton);
        // A refused layout leaves the dialog open and the document as it was.
        QCOMPARE(dialog->isVisible(), !reason.isEmpty());
        QCOMPARE(document()->panelLayout(), reason.isEmpty() ? chosen : grid);
        QCOMPARE(m_window->statusBar()->currentMessage(), status);
        // The view follows with the same frame shown, also when the change is undone.
        QCOMPARE(document()->ledScene()->layout(), document()->panelLayout());
        QCOMPARE(document()->currentFrame(), current);
        QCOMPARE(document()->ledScene()->values(), current->intensities());
        if (dialog->isVisible())
            dialog->reject();
        else
            action("action_Undo")->trigger();
        QCOMPARE(document()->panelLayout(), grid);
        QCOMPARE(document()->ledScene()->layout(), grid);
        QCOMPARE(document()->currentFrame(), current);
    }

    void numbering_data()
    {
        const auto add = dataColumns<int, bool>("answer", "picturesKept"); // answer: do pictures or numbers stay?
        add("pictures as drawn", QMessageBox::Yes, true);
        add("values by number", QMessageBox::No, false);
        add("cancelled", QMessageBox::Cancel, false);
    }

    // Numbering an 8 x 8 grid along serpentine columns, one undo step either way.
    void numbering()
    {
        const auto [answer, picturesKept] = fetchColumns<int, bool>("answer", "picturesKept");

        QVERIFY(changeTo("Grid 8 x 8"));
        for (int led : { 0, 1, 2, 9 })
            document()->sequence(0)->frame(0)->led(led)->setIntensity(1);
        const LedLayout grid = document()->panelLayout();
        const QVector<int> before = document()->sequence(0)->frame(0)->intensities();

        LayoutDialog* dialog = openDialog();
        QVERIFY(choose(field<QComboBox>(dialog, "comboBox_Order"), "Columns first"));
        tick(field<QCheckBox>(dialog, "checkBox_Serpentine"));
        tick(field<QCheckBox>(dialog, "checkBox_DefaultLayout"));
        QString question;
        ModalAnswer::messageBox(QMessageBox::StandardButton(answer), &question);
        ok(dialog)->click();
        QVERIFY(ModalAnswer::allAnswered());
        QVERIFY(question.startsWith("The LEDs are numbered anew."));
        QCOMPARE(dialog->isVisible(), answer == QMessageBox::Cancel);
        if (dialog->isVisible()) {
            dialog->reject();
            QCOMPARE(document()->panelLayout(), grid);
            QCOMPARE(LayoutDialog::defaultLayout(), LedLayout()); // not even for new documents
            return;
        }
        const LedLayout layout = document()->panelLayout();
        QCOMPARE(layout.order(), LedLayout::Columns);
        QVERIFY(layout.serpentine());
        const QVector<int> after = document()->sequence(0)->frame(0)->intensities();
        // Kept pictures are the same cells lit under the new numbering; kept values the same LED numbers.
        QCOMPARE(picturesKept ? drawnCells(layout, after) : after, picturesKept ? drawnCells(grid, before) : before);
        QVERIFY(after != before || !picturesKept);
        action("action_Undo")->trigger();
        QCOMPARE(document()->panelLayout(), grid);
        QCOMPARE(document()->sequence(0)->frame(0)->intensities(), before);
    }

    void previewLabels_data()
    {
        const auto add = dataColumns<QString, QList<int>>("preset", "labelled"); // at least these LEDs labelled
        add("default ring: every circle", "Ring 4 x 48 (default)", { 0, 1, 48, 96, 144 });
        add("serpentine columns", "Matrix 32 x 8, serpentine columns", { 0, 1, 2, 8, 16 });
    }

    // The preview numbers LED 0 and the first LED of every line, no number over another.
    void previewLabels()
    {
        const auto [preset, labelled] = fetchColumns<QString, QList<int>>("preset", "labelled");

        LayoutDialog* dialog = openDialog();
        QVERIFY(choose(field<QComboBox>(dialog, "comboBox_Preset"), preset));
        auto* preview = field<LayoutPreview>(dialog, "layoutPreview");
        const QVector<LayoutPreview::Label> labels = preview->labels();
        QList<int> leds;
        for (int i = 0; i < labels.size(); ++i) {
            leds << labels.at(i).led;
            QVERIFY(preview->rect().contains(labels.at(i).box));
            for (int j = 0; j < i; ++j)
                QVERIFY2(!labels.at(i).box.intersects(labels.at(j).box), qPrintable(QString::number(labels.at(i).led)));
        }
        for (int led : labelled)
            QVERIFY2(leds.contains(led), qPrintable(QString::number(led)));
        dialog->reject();
    }

    // A grid numbered right to left: its columns run the other way from the same first LED.
    void reverseNumbering()
    {
        LayoutDialog* dialog = openDialog();
        QVERIFY(dialog && choose(field<QComboBox>(dialog, "comboBox_Preset"), "Grid 8 x 8"));
        tick(field<QCheckBox>(dialog, "checkBox_ReverseNumbering"));
        ok(dialog)->click();
        LedLayout reversed = LedLayout::create(LedLayout::Rectangle, 8, 8);
        reversed.setSpacings(6, -6);
        reversed.setFirstLedPosition(QPointF(0, 0));
        reversed.setRectangle(QRectF(-48, -6, 54, 54));
        QCOMPARE(document()->panelLayout(), reversed);
    }

    void newDocuments_data()
    {
        QTest::addColumn<bool>("uncheck"); // after keeping the layout for new documents once

        QTest::newRow("kept for new documents") << false;
        QTest::newRow("unchecked again") << true;
    }

    void newDocuments()
    {
        QFETCH(bool, uncheck);

        for (int pass = 0; pass < (uncheck ? 2 : 1); ++pass) {
            LayoutDialog* dialog = openDialog();
            auto* useForNew = field<QCheckBox>(dialog, "checkBox_DefaultLayout");
            QCOMPARE(useForNew->isChecked(), pass == 1);
            QVERIFY(pass == 1 || choose(field<QComboBox>(dialog, "comboBox_Preset"), "Grid 16 x 16"));
            tick(useForNew);
            dialog->accept();
        }
        const LedLayout grid = document()->panelLayout();
        ModalAnswer::messageBox(QMessageBox::Discard);
        menu()->action_New->trigger();
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(document()->panelLayout(), uncheck ? LedLayout() : grid);
        QCOMPARE(document()->ledScene()->layout().ledCount(), uncheck ? 192 : 256);
        QVERIFY(!document()->isModified() && !document()->undoStack()->canUndo());

        // Leaving the program writes app.ini.
        QVERIFY(m_window->close());
        QSettings settings(settingsFile(), QSettings::IniFormat);
        QCOMPARE(settings.contains(QStringLiteral("Layout/Default")), !uncheck);
        QCOMPARE(settings.value(QStringLiteral("Layout/Default")).toString().contains("<Rows>16</Rows>"), !uncheck);
    }

    // Type names are matched case and all: "ring" is unknown.
    void unknownType()
    {
        const QString path = m_dir.filePath(QStringLiteral("unknown.xml"));
        QVERIFY(writeFile(path, showXml("<Layout type='ring'><Rows>2</Rows></Layout>" + sequenceXml(0, 1))));
        ModalAnswer::messageBox(QMessageBox::Discard);
        ModalAnswer::fileDialog(path);
        QString text;
        ModalAnswer::messageBox(QMessageBox::Ok, &text);
        QVERIFY(triggerAnswered(menu()->action_Open));
        QCOMPARE(text, QStringLiteral("The layout type \"ring\" is unknown; the document uses the default ring."));
        QCOMPARE(document()->panelLayout(), LedLayout());
        QCOMPARE(document()->sequence(0)->frame(0)->ledCount(), 192);
    }

    // Files hold six significant digits: a saved angle or body is still the fitted one.
    void savedLayout_data()
    {
        const auto add = dataColumns<QByteArray, int>("layoutXml", "columns"); // columns typed after OK changed nothing
        add("ring of 7", "<Layout type='Ring'><Rows>1</Rows><Columns>7</Columns><ColumnSpacing>51.4286</ColumnSpacing>"
            "<OuterDiameter>55</OuterDiameter></Layout>", 8);
        add("first LED finer than the fields",
            "<Layout type='Rectangle'><Rows>2</Rows><FirstLedPosition_X>0.12345</FirstLedPosition_X></Layout>", 3);
        add("a row longer than new ones may be",
            "<Layout type='Rectangle'><Rows>1</Rows><Columns>2000</Columns></Layout>", 1000);
    }

    void savedLayout()
    {
        const auto [layoutXml, columns] = fetchColumns<QByteArray, int>("layoutXml", "columns");

        ModalAnswer::messageBox(QMessageBox::Discard);
        QVERIFY(openShow(layoutXml + sequenceXml(0, 1)) && ModalAnswer::allAnswered());
        LayoutDialog* dialog = openDialog();
        // The panel is drawn, LED 0 numbered.
        QVERIFY(dialog && !field<LayoutPreview>(dialog, "layoutPreview")->labels().isEmpty());
        ok(dialog)->click();
        QVERIFY(!dialog->isVisible() && !document()->isModified());

        dialog = openDialog();
        auto* box = field<QSpinBox>(dialog, "spinBox_Columns");
        box->selectAll();
        QTest::keyClicks(box, QString::number(columns));
        LedLayout fitted = document()->panelLayout();
        fitted.setSize(fitted.rows(), columns);
        if (fitted.type() == LedLayout::Ring)
            fitted.setSpacings(fitted.rowSpacing(), 360.0 / columns);
        fitted.fitBody();
        QCOMPARE(dialog->panelLayout(), fitted);
        dialog->reject();
    }

private:
    LayoutDialog* openDialog()
    {
        menu()->action_Layout->trigger();
        return qobject_cast<LayoutDialog*>(QApplication::activeModalWidget());
    }
    template <class T> static T* field(QWidget* dialog, const char* name) { return dialog->findChild<T*>(name); }
    static QPushButton* ok(QWidget* dialog)
    {
        return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    }
    // Picks the entry with the keyboard, as a user going down the list.
    static bool choose(QComboBox* box, const QString& text)
    {
        const int index = box->findText(text);
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        return index >= 0 && box->currentIndex() == index;
    }
    // On the box itself: a check box spans the dialog's width, its text only part of it.
    static void tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }
    bool changeTo(const QString& preset)
    {
        LayoutDialog* dialog = openDialog();
        if (!dialog || !choose(field<QComboBox>(dialog, "comboBox_Preset"), preset))
            return false;
        ok(dialog)->click();
        return !dialog->isVisible();
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_LayoutDialog)
#include "tst_LayoutDialog.moc"
