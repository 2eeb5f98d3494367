#include "Data/CommandList.h"
#include "Data/PanelInfoEdit.h"
#include "MspFlasher/MspFlasherDialog.h"
#include "SerialPort/SerialPortSetupDialog.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "common/DataColumns.h"
#include "common/ModalAnswer.h"
#include "common/NewDocument.h"
#include "common/PythonRunner.h"
#include "common/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

using Values = QMap<int, int>; // LED index -> intensity; zeros left out
using Frames = QList<Values>;
using Perform = std::function<void()>;
Q_DECLARE_METATYPE(Perform)

namespace {

const QByteArray Ring = "<Layout type=\"Ring\"/>";
const QByteArray Grid = "<Layout type=\"Rectangle\"><Rows>3</Rows><Columns>4</Columns></Layout>";

Values lit(std::initializer_list<int> leds)
{
    Values values;
    for (int led : leds)
        values.insert(led, 1);
    return values;
}

// Text another program holds: each read of it carries the whole text across.
struct HeldText : QMimeData
{
    mutable int reads = 0;
    QVariant retrieveData(const QString& type, QVariant::Type kind) const override
    {
        ++reads;
        return QMimeData::retrieveData(type, kind);
    }
};

} // namespace

class tst_MainWindow : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(showWindow());
        QApplication::clipboard()->clear();
    }

    void cleanup() { QVERIFY(closeWindow()); }

    // The operation takes every selected frame under its name for the layout; its results are tst_LedShapes'.
    void operations_data()
    {
        const auto add = dataColumns<QByteArray, Values, Values, QString>("layout", "before", "after", "text");
        add("ring clockwise, wraps, keeps 5", Ring, {{0, 5}, {47, 1}, {48, 1}}, {{1, 5}, {0, 1}, {49, 1}},
            "Rotate clockwise");
        add("grid right", Grid, lit({3, 4}), lit({0, 5}), "Shift right");
    }

    void operations()
    {
        const auto [layout, before, after, text] =
            fetchColumns<QByteArray, Values, Values, QString>("layout", "before", "after", "text");

        open(layout, {{before, before}});
        selectFrames(0, {0, 1});
        QCOMPARE(plainText(action("action_ShiftForward")->text()), text);
        action("action_ShiftForward")->trigger();
        QCOMPARE(Frames({values(0, 0), values(0, 1)}), Frames({after, after}));
        QCOMPARE(undoText(), "Undo " + text);
        keys(QKeySequence::Undo);
        QCOMPARE(Frames({values(0, 0), values(0, 1)}), Frames({before, before}));
    }

    void undoRedo_data()
    {
        // Focus: the item current after undo, (sequence, frame); frame -1 for a sequence.
        const auto add = dataColumns<Perform, QString, QPoint>("perform", "step", "focus");
        const auto press = [this](QKeySequence sequence) { return Perform([=] { keys(sequence); }); };
        const auto trigger = [this](const QString& name) { return Perform([=] { action(name)->trigger(); }); };
        add("add sequence", trigger("action_AddSequence"), "Add sequence", {1, -1});
        add("remove sequence", trigger("action_RemoveSequence"), "Remove sequence", {0, -1});
        add("add frame", trigger("action_AddFrame"), "Add frame", {0, 2});
        add("add 3 frames", [this] { QVERIFY(addFrames(3)); }, "Add frames", {0, 2});
        add("delete two", [this] { selectFrames(0, {2, 0}), keys(QKeySequence::Delete); }, "Delete frames", {0, 0});
        add("panel info", [this] {
            menu()->action_LedPanelInfo->trigger();
            QTest::keyClicks(m_window->findChild<QLineEdit*>("lineEdit_Title"), "Chase");
            QTest::mousePress(m_window->findChild<QPushButton*>("pushButton_OK"), Qt::LeftButton);
        }, "Panel info", {0, -1});
        add("import", [this] {
            QVERIFY(writeFile(m_dir.filePath("two.csv"), "0,1\n1,1\n0,5\n9,9\n"));
            document()->makeCurrent(document()->sequence(1));
            ModalAnswer::fileDialog(m_dir.filePath("two.csv"));
            document()->treeView()->findChild<QMenu*>("contextMenu_table")->actions().first()->trigger();
        }, "Import sequence", {1, 0});
        add("cut", press(QKeySequence::Cut), "Cut", {0, 1});
        add("copy, paste", [this] { keys(QKeySequence::Copy), keys(QKeySequence::Paste); }, "Paste", {0, 1});
        add("duplicate", press(Qt::CTRL | Qt::Key_D), "Duplicate frame", {0, 1});
        add("move down", press(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), "Move frame", {0, 1});
        add("move up", press(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), "Move frame", {0, 1});
    }

    // Each edit is one step; undo gives back the saved file byte for byte and clears the modified mark, redo the edit.
    void undoRedo()
    {
        const auto [perform, step, focus] = fetchColumns<Perform, QString, QPoint>("perform", "step", "focus");

        open(Grid, {{lit({0}), Values{{1, 1}, {5, 2}}, lit({2})}, {lit({3}), lit({4})}});
        // Saved after an edit, so the clean state lies inside the history.
        document()->submit(new PanelInfoEdit("Panel info", "Saved", QString()));
        QVERIFY(document()->save(m_dir.filePath("show.xml")));
        const QByteArray saved = writtenShow(*document());
        document()->makeCurrent(document()->node(0, 1));
        perform();
        QTRY_VERIFY(ModalAnswer::allAnswered());
        const QByteArray edited = writtenShow(*document());
        QVERIFY(edited != saved && m_window->isWindowModified());
        QCOMPARE(undoText(), "Undo " + step);

        document()->makeCurrent(document()->node(0));
        keys(QKeySequence::Undo);
        QCOMPARE(writtenShow(*document()), saved);
        QVERIFY(!m_window->isWindowModified());
        QCOMPARE(document()->treeView()->currentIndex(),
                 document()->treeModel()->index(document()->node(focus.x(), focus.y())));
        action("action_Redo")->trigger();
        QCOMPARE(writtenShow(*document()), edited);
        QVERIFY(m_window->isWindowModified() && !action("action_Redo")->isEnabled());
    }

    void removeAndDelete_data()
    {
        // Selected: frames of sequence 0, frame 1 the current one; left: the frames that stay, by their lit LED;
        // pressed: keys in the tree before, one after another.
        const auto add = dataColumns<QString, QList<int>, QList<int>, QString>("action", "selected", "left", "pressed");
        add("Remove: the current frame, not the selection", "action_RemoveFrame", {0, 2}, {0, 2, 3}, "");
        add("Delete: the selection, a run and one apart", "action_DeleteFrames", {0, 2, 3}, {1}, "");
        add("Delete, none selected: the current frame", "action_DeleteFrames", {}, {0, 2, 3}, "");
        add("Delete after Shift into the next sequence and back", "action_DeleteFrames", {}, {0, 2, 3},
            "Shift+Down,Shift+Down,Shift+Down,Shift+Up,Shift+Up,Shift+Up");
    }

    // Light > Frame > Remove and Edit > Delete are one edit, under one name, undone whole.
    void removeAndDelete()
    {
        const auto [action, selected, left, pressed] =
            fetchColumns<QString, QList<int>, QList<int>, QString>("action", "selected", "left", "pressed");
        open(Grid, {{lit({0}), lit({1}), lit({2}), lit({3})}, {lit({4}), lit({5})}});
        const QByteArray before = writtenShow(*document());
        selectFrames(0, selected);
        document()->treeView()->selectionModel()->setCurrentIndex(
            document()->treeModel()->index(document()->node(0, 1)), QItemSelectionModel::NoUpdate);
        for (const QString& key : pressed.split(',', Qt::SkipEmptyParts))
            keys(QKeySequence(key));
        this->action(action)->trigger();
        QList<int> kept;
        for (int f = 0; f < document()->sequence(0)->frameCount(); ++f)
            kept << values(0, f).firstKey();
        QCOMPARE(kept, left);
        QCOMPARE(undoText(), QString("Undo Delete frames"));
        keys(QKeySequence::Undo);
        QCOMPARE(writtenShow(*document()), before);
    }

    void copyAndPaste_data()
    {
        // Text: on the clipboard; null: frames 0 and 2 copied from a grid document. Rows: selected after, what was
        // inserted or the frame that was current.
        const auto add = dataColumns<QString, Frames, QString, QList<int>>("text", "pasted", "message", "rows");
        add("own frames", QString(), {lit({0}), Values{{2, 7}, {11, 1}}},
            "2 frames pasted. Frames of 12 LEDs were padded with 0 to this panel's 192.", {1, 2});
        Values all;
        for (int i = 0; i < 192; ++i)
            all.insert(i, 1);
        add("wider than the panel", QString("1,").repeated(199) + "1", {all},
            "1 frame pasted. Frames of up to 200 LEDs were cut to this panel's 192.", {1});
        add("a fraction after a blank line", "a,b\n1,2\n\n3, 4.5\n", {}, "Line 4, column 2: \"4.5\" is not a number.",
            { 0 });
    }

    // Pasted after the current frame of a ring document and selected; the copy's text is read by Python's csv module.
    void copyAndPaste()
    {
        const auto [text, pasted, message, rows] =
            fetchColumns<QString, Frames, QString, QList<int>>("text", "pasted", "message", "rows");

        if (text.isNull()) {
            open(Grid, {{lit({0}), lit({1}), Values{{2, 7}, {11, 1}}}});
            selectFrames(0, {0, 2});
            keys(QKeySequence::Copy);
            QCOMPARE(PythonRunner::run("import csv, io, sys\nfor r in csv.reader(io.StringIO(sys.argv[1], newline='')):"
                                       " print(' '.join(r))\n", {QApplication::clipboard()->text()}),
                     QByteArray("0 1 2 3 4 5 6 7 8 9 10 11\n1 0 0 0 0 0 0 0 0 0 0 0\n0 0 7 0 0 0 0 0 0 0 0 1\n"));
        } else {
            QApplication::clipboard()->setText(text);
        }
        open(Ring, {{lit({5}), lit({6})}});
        keys(QKeySequence::Paste);
        QCOMPARE(status(), message);
        Frames frames;
        for (int f = 0; f < document()->sequence(0)->frameCount(); ++f)
            frames << values(0, f);
        QCOMPARE(frames, Frames{lit({5})} + pasted + Frames{lit({6})});
        QList<int> selected;
        for (const QModelIndex& index : document()->treeView()->selectionModel()->selectedRows())
            selected << index.row();
        std::sort(selected.begin(), selected.end());
        QCOMPARE(selected, rows);
    }

    void repeatRotatesTheRing()
    {
        open(Ring, {{Values{{0, 1}, {50, 1}, {100, 3}}}});
        ModalAnswer::onNext([](QWidget* dialog) {
            dialog->findChild<QSpinBox*>("spinBox_RepeatCount")->setValue(48);
            auto* operation = dialog->findChild<QComboBox*>("comboBox_RepeatOperation");
            operation->setCurrentIndex(operation->findData(QString("action_ShiftForward")));
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QVERIFY(triggerAnswered(action("action_RepeatFrame")));
        QCOMPARE(document()->sequence(0)->frameCount(), 49);
        for (int k = 0; k < 49; ++k)
            QCOMPARE(values(0, k), (Values{{k % 48, 1}, {48 + (2 + k) % 48, 1}, {96 + (4 + k) % 48, 3}}));
        QCOMPARE(undoText(), QString("Undo Repeat frame"));
        keys(QKeySequence::Undo);
        QCOMPARE(document()->sequence(0)->frameCount(), 1);
    }

    void enabledOnlyWhereTheyAct()
    {
        const QStringList names{"Undo", "Redo", "Cut", "Copy", "Paste", "DeleteFrames", "DuplicateFrame", "MoveFrameUp",
                                "MoveFrameDown", "RepeatFrame", "InvertFrame", "MirrorRows", "SelectAll"};
        const auto enabled = [&] {
            QStringList on;
            for (const QString& name : names)
                if (action("action_" + name)->isEnabled())
                    on << name;
            return on.join(' ');
        };
        QCOMPARE(enabled(), QString());
        open(Grid, {{}, {Values(), Values()}});
        QCOMPARE(enabled(), QString()); // an empty sequence is current, the clipboard is empty
        auto* held = new HeldText;
        held->setText("1");
        QApplication::clipboard()->setMimeData(held);
        QCOMPARE(enabled(), QString("Paste"));
        held->reads = 0;
        document()->makeCurrent(document()->node(1, 0));
        QTest::keyClick(document()->treeView(), Qt::Key_Down);
        QCOMPARE(held->reads, 0); // not at every step through the tree
        document()->makeCurrent(document()->node(1, 0));
        QCOMPARE(enabled(), QString("Cut Copy Paste DeleteFrames DuplicateFrame MoveFrameDown RepeatFrame InvertFrame "
                                    "MirrorRows SelectAll"));
        // A selection reaching into another sequence keeps the current item's sequence only.
        QItemSelectionModel* selection = document()->treeView()->selectionModel();
        selection->select(document()->treeModel()->index(document()->node(0)), QItemSelectionModel::Select);
        QCOMPARE(selection->selectedRows(), QModelIndexList{document()->treeModel()->index(document()->node(1, 0))});

        QVERIFY(document()->ledFrame()->findChild<QMenu*>()->actions().contains(action("action_ShiftForward")));
        LedTreeView* tree = document()->treeView();
        const QPoint pos = tree->visualRect(document()->treeModel()->index(document()->node(1, 1))).center();
        QContextMenuEvent request(QContextMenuEvent::Mouse, pos, tree->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(tree->viewport(), &request);
        auto* frameMenu = m_window->findChild<QMenu*>("contextMenu_frame");
        QVERIFY(frameMenu->isVisible() && frameMenu->actions().contains(action("action_DuplicateFrame")));
        frameMenu->hide();
    }

    void saveAndReopen()
    {
        QVERIFY(newDocumentWithFrames(*m_window, 0));
        QVERIFY(addFrames(2));
        QVERIFY(m_window->isWindowModified() && m_window->windowTitle().startsWith(QStringLiteral("LedPanel_")));
        // The first Save asks for a file, a second one goes straight to it.
        const QString path = m_dir.filePath(QStringLiteral("reopened.xml"));
        ModalAnswer::fileDialog(path.chopped(4)); // typed without its .xml, which Open lists
        QVERIFY(triggerAnswered(menu()->action_Save));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("reopened.xml[*]"));
        QCOMPARE(status(), QStringLiteral("Document saved"));
        QVERIFY(addFrames(0)); // cancelled: nothing added, nothing changed
        QVERIFY(!m_window->isWindowModified());
        QVERIFY(addFrames(3) && m_window->isWindowModified());
        menu()->action_Save->trigger();
        QVERIFY(!m_window->isWindowModified());

        menu()->action_New->trigger();
        ModalAnswer::fileDialog(path);
        QVERIFY(triggerAnswered(menu()->action_Open));
        QVERIFY(!m_window->isWindowModified() && status() == QStringLiteral("Document loaded"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("reopened.xml[*]"));
        QCOMPARE(document()->sequence(0)->frameCount(), 5);
    }

    // Newest first, reopened from the menu, and a file gone since leaves the list.
    void recentFiles()
    {
        QVERIFY(newDocumentWithFrames(*m_window, 0));
        QMenu* recent = m_window->findChild<QMenu*>(QStringLiteral("menu_RecentFiles"));
        QVERIFY(recent && !recent->isEnabled());
        const auto entries = [recent] {
            QStringList texts;
            for (QAction* action : recent->actions())
                texts << action->text();
            return texts;
        };
        const QString first = m_dir.filePath(QStringLiteral("a&b.xml")),
                      second = m_dir.filePath(QStringLiteral("c.xml"));
        for (const QString& path : { first, second }) {
            ModalAnswer::fileDialog(path);
            QVERIFY(triggerAnswered(menu()->action_SaveAs));
        }
        QCOMPARE(entries(), QStringList({ "&1 c.xml", "&2 a&&b.xml" }));

        recent->actions().at(1)->trigger();
        QTRY_COMPARE(document()->filePath(), first);
        QCOMPARE(entries(), QStringList({ "&1 a&&b.xml", "&2 c.xml" }));
        QVERIFY(QFile::remove(second));
        recent->actions().at(1)->trigger();
        QTRY_COMPARE(entries(), QStringList({ "&1 a&&b.xml" }));
        QVERIFY(status().contains(QStringLiteral("no longer there")));
        QCOMPARE(document()->filePath(), first);
        QCOMPARE(
            QSettings(settingsFile(), QSettings::IniFormat).value(QStringLiteral("RecentFiles/List")).toStringList(),
            QStringList { first });
        // Saved as the question on closing asks: listed all the same.
        menu()->action_New->trigger();
        menu()->action_AddSequence->trigger();
        ModalAnswer::messageBox(QMessageBox::Save);
        ModalAnswer::fileDialog(second);
        QVERIFY(triggerAnswered(menu()->action_Close));
        QCOMPARE(entries(), QStringList({ "&1 c.xml", "&2 a&&b.xml" }));
    }

    void documentSurvivesRefusals_data()
    {
        // Answer: to the save question; file: for the open dialog, empty cancels it.
        const auto add = dataColumns<QString, int, QString, bool>("action", "answer", "file", "kept");
        const int cancel = QMessageBox::Cancel, discard = QMessageBox::Discard;
        add("new, question cancelled", "action_New", cancel, QString(), true);
        add("open, question cancelled", "action_Open", cancel, QString(), true);
        add("close, question cancelled", "action_Close", cancel, QString(), true);
        add("open, file dialog cancelled", "action_Open", discard, "", true);
        add("open, empty file", "action_Open", discard, m_dir.filePath("empty.xml"), true);
        add("close, discarded", "action_Close", discard, QString(), false);
        // Leaving the program writes app.ini; a cancelled exit leaves it and the flasher window alone.
        add("exit, question cancelled", "action_Exit", cancel, QString(), true);
        add("exit, discarded", "action_Exit", discard, QString(), false);
    }

    void documentSurvivesRefusals()
    {
        const auto [action, answer, file, kept] =
            fetchColumns<QString, int, QString, bool>("action", "answer", "file", "kept");
        QVERIFY(newDocumentWithFrames(*m_window, 0) && addFrames(3));
        LedPanelDocument* doc = document();
        m_window->move(320, 240);
        const QString title = m_window->windowTitle();
        QVERIFY(QFile(m_dir.filePath(QStringLiteral("empty.xml"))).open(QIODevice::WriteOnly));
        // An idle flasher window with the report of a refused run (no firmware file beside the program).
        menu()->action_MspBootDialog->trigger();
        QPointer<MspFlasherDialog> flasher = m_window->findChild<MspFlasherDialog*>();
        QVERIFY(flasher);
        QTest::mouseClick(flasher->findChild<QPushButton*>(QStringLiteral("flash")), Qt::LeftButton);
        QTRY_VERIFY(!flasher->isFlashing());
        const QString report = flasher->findChild<QPlainTextEdit*>()->toPlainText();
        // A run refused before any port opens ends with its refusal.
        QVERIFY(!report.isEmpty() && !report.contains(QStringLiteral("Finished")));

        // The save question first; its text is tst_Hardening's, the failed read's tst_LedPanelDocument's.
        ModalAnswer::messageBox(QMessageBox::StandardButton(answer));
        if (!file.isNull())
            ModalAnswer::fileDialog(file);
        if (!file.isEmpty())
            ModalAnswer::messageBox(QMessageBox::Ok);
        QVERIFY(triggerAnswered(this->action(action)));
        QCOMPARE(document(), kept ? doc : nullptr);
        QCOMPARE(m_window->windowTitle(), kept ? title : QStringLiteral("[*]"));
        QCOMPARE(m_window->isWindowModified(), kept);
        QVERIFY(!kept || doc->sequence(0)->frameCount() == 3);
        const bool exited = !m_window->isVisible();
        QCOMPARE(exited, action == "action_Exit" && !kept);
        QCOMPARE(QFile::exists(settingsFile()), exited);
        QTRY_COMPARE(flasher && flasher->isVisible(), !exited);
        QVERIFY(exited || flasher->findChild<QPlainTextEdit*>()->toPlainText() == report);
        if (exited) {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            // No port was saved: the first the system has, not a "COM1" that is not there.
            QCOMPARE(settings.value("SerialPort/Name").toString(), SerialPortSetupDialog::defaultPortName());
            QCOMPARE(settings.value("MainWindow/Size").toSize(), m_window->size());
            QCOMPARE(settings.value("MainWindow/Position").toPoint(), m_window->pos());
            return;
        }
        // Save, Save as and Close follow the document, also after a port setup accepted without one.
        const auto savable = [this](bool enabled) {
            const QList<QAction*> actions { menu()->action_Save, menu()->action_SaveAs, menu()->action_Close };
            return std::all_of(actions.cbegin(), actions.cend(), [=](QAction* a) { return a->isEnabled() == enabled; });
        };
        QVERIFY(savable(kept));
        ModalAnswer::onNext([](QWidget* setup) {
            QTest::mousePress(setup->findChild<QPushButton*>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
        });
        QVERIFY(triggerAnswered(menu()->action_SetupPort));
        if (!kept)
            menu()->action_New->trigger();
        QVERIFY(document() && savable(true));
    }

private:
    // Without a window manager nothing gives the window its focus back after a dialog.
    void keys(const QKeySequence& keys)
    {
        QApplication::setActiveWindow(m_window);
        QTest::keySequence(document()->treeView(), keys);
    }
    // A new document with these frames, the first one current.
    void open(const QByteArray& layout, const QList<Frames>& sequences)
    {
        QByteArray body = layout;
        for (int s = 0; s < sequences.size(); ++s) {
            const Frames& frames = sequences.at(s);
            body += sequenceXml(s, frames.size(), 192, [&](int f, int led) { return frames.at(f).value(led); });
        }
        QVERIFY(openShow(body));
    }

    QString status() const { return m_window->statusBar()->currentMessage(); }

    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
