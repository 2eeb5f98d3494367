#include "Data/CommandList.h"
#include "Data/FrameClipboard.h"
#include "Data/LedStateCommand.h"
#include "Data/LedPanelModel.h"
#include "Document/LedPanelDocument.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "common/DataColumns.h"
#include "common/LatePipeWriter.h"
#include "common/ModalAnswer.h"
#include "common/PythonRunner.h"
#include "common/TestData.h"

#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

using Frames = QVector<QVector<int>>;

class tst_SequenceCsv : public QObject
{
    Q_OBJECT

private slots:
    void bothDoors_data()
    {
        // Python: csv.writer's keyword arguments, and the table the rows it writes; without, the table is the text.
        const auto add = dataColumns<QString, QByteArray, Frames, QString>("python", "table", "expected", "error");
        add("exported", "", "0,1,2,3\n1,0,1,1\r\n0,0,0,2\r\n", { { 1, 0, 1, 1 }, { 0, 0, 0, 2 } }, "");
        add("python, integers first: no header", "{}", "[[1, 0, 0, 1], [0, 1, 1, 0]]",
            { { 1, 0, 0, 1 }, { 0, 1, 1, 0 } }, "");
        add("python, every cell quoted", "{'quoting': csv.QUOTE_ALL}", "[range(4), [1, 1, 0, -3], [' 2', 0]]",
            { { 1, 1, 0, -3 }, { 2, 0, 0, 0 } }, "");
        add("python, tabs, quoted words", "{'dialect': 'excel-tab', 'quoting': csv.QUOTE_NONNUMERIC}",
            "[['LED a', 'LED, b'], [1, 2], [3, '']]", { { 1, 2, 0, 0 }, { 3, 0, 0, 0 } }, "");
        add("python, quoted text after a number", "{'quoting': csv.QUOTE_ALL}", "[[0, 1], [1, 0], [1, '2x']]", {},
            "Line 3, column 2: \"2x\" is not a number.");
        // A line of blanks is empty, and its tab picks no separator.
        add("blank lines, blanks in cells", "", "\n \t\n 0 , 1\n\n5, 6 ,\r\n", { { 5, 6, 0, 0 } }, "");
        add("a lone 0 is a header", "", "0\n7\n", { { 7, 0, 0, 0 } }, "");
        // As spreadsheets write them: lines ended by CR alone, a separator after every cell.
        add("lone CRs", "", "0,1,2,3\r1,0,1,1\r0,0,0,2\r", { { 1, 0, 1, 1 }, { 0, 0, 0, 2 } }, "");
        add("separator after every cell", "", "0,1,2,3,\r\n1,0,1,1,\r\n", { { 1, 0, 1, 1 } }, "");
        add("a later line wider than the first", "", "0,1\n\n1\n\"7\",0,0,4,5\n", { { 1, 0, 0, 0 }, { 7, 0, 0, 4 } },
            "");
        // The largest sequence under its header, 64 frames of the largest panel, has 4259840 cells: as many
        // separators and line ends as this table (tabs on a blank line only count).
        add("as many cells as the largest sequence", "", "0,1,2,3\n1,1,1,1\r\n" + QByteArray(4259831, '\t') + '\n',
            { { 1, 1, 1, 1 } }, "");
        add("more cells than a show holds", "", QByteArray("0\n").repeated(4300000), {},
            "The table has more cells than any sequence.");
        add("as many with one long line", "",
            QByteArray("0,").repeated(200000) + "0\n" + QByteArray("1\n").repeated(30), {},
            "The table has more cells than any sequence.");
        add("a long word", "", "0,1\n" + QByteArray(100000, 'x') + "\n", {},
            "Line 2, column 1: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx…\" is not a number.");
        add("fraction after a blank line", "", "0,1\r\n2,3\r\n\r\n4, 1.5\r\n", {},
            "Line 4, column 2: \"1.5\" is not a number.");
    }

    // The same table pasted and imported into a sequence of a four-LED panel gives the same frames or refusal.
    void bothDoors()
    {
        auto [python, table, expected, error] =
            fetchColumns<QString, QByteArray, Frames, QString>("python", "table", "expected", "error");
        if (!python.isEmpty())
            table = PythonRunner::run("import csv, sys\nw = csv.writer(sys.stdout, **eval(sys.argv[1]))\n"
                                      "for r in eval(sys.argv[2]): w.writerow(r)\n",
                                      {python, QString::fromUtf8(table)});

        QMimeData clipboard;
        clipboard.setText(QString::fromUtf8(table));
        Frames frames;
        QString message;
        const bool pastes = FrameClipboard::read(&clipboard, 4, &frames, &message);
        QCOMPARE(frames, expected);
        QCOMPARE(pastes ? QString() : message, error);

        LedPanelModel show;
        QVERIFY(readShow(show, showXml(layoutXml(1, 4) + sequenceXml(0, 0))));
        const QString path = m_Dir.filePath("both.csv");
        QVERIFY(writeFile(path, table));
        const bool imports = show.sequence(0)->importSequence(path, &message);
        frames.clear();
        for (int row = 0; row < show.sequence(0)->frameCount(); ++row)
            frames << show.sequence(0)->frame(row)->intensities();
        QCOMPARE(frames, expected);
        QCOMPARE(imports ? QString() : message, error);
    }

    void menu_data()
    {
        // File "-": no dialog may appear. Content: read by an import, expected of an export. Status: of the window
        // holding the document after an import.
        const auto add = dataColumns<QString, int, Frames, QString, QByteArray, Frames, QString, QString>(
            "entry", "leds", "preset", "file", "content", "expected", "message", "status");
        const Frames one{{9, 9, 9, 9}};
        add("wider file, more rows", "import", 4, one, "a.csv", "0,1,2,3,4,5\n1,2,3,4,5,6\r\n-1,0,0,0,0,0\n",
            {{1, 2, 3, 4}, {-1, 0, 0, 0}}, "", "2 frames imported; rows of 6 values cut to the panel's 4 LEDs");
        // Frames beyond the file stay.
        add("one frame left", "import", 4, one + one, "a.csv", "0\n1\n", Frames{{1, 0, 0, 0}} + one, "",
            "1 frame imported; frame 2 unchanged");
        add("unreadable", "import", 4, one, "socket.csv", {}, one, "Cannot read file %1.", "");
        add("header only", "import", 4, one, "a.csv", "0,1,2,3\n", one, "%1 holds no frames.", "");
        add("endless", "import", 4, one, "/dev/zero", {}, one, "The file is larger than any sequence (64 MiB).", "");
        add("a pipe nobody writes to", "import", 4, one, "fifo.csv", {}, one, "%1 holds no frames.", "");
        add("too many frames", "import", 65536, { {} }, "a.csv",
            QByteArray("0\n").append(QByteArray("1\n").repeated(300)), { { 0, 0, 0, 0, 0, 0 } },
            "The document would hold more than 4194304 LED values.", "");
        const Frames two { { 1, 2, 3, 4, 5, 6 }, { -1, 0, 0, 0, 0, 0 } };
        add("export", "export", 6, two, "x.csv", "0,1,2,3,4,5\n1,2,3,4,5,6\r\n-1,0,0,0,0,0\r\n", two, "", "");
        add("no frames", "export", 4, {}, "-", {}, {}, "The sequence has no frames to export.", "");
        add("unwritable", "export", 4, one, "missing/a.csv", {}, one,
            "Cannot write file %1:\nNo such file or directory.", "");
    }

    // Picks the entry of the tree's context menu over a sequence (the menu itself is the tree view's test).
    void menu()
    {
        auto [entry, leds, preset, file, content, expected, message, status] =
            fetchColumns<QString, int, Frames, QString, QByteArray, Frames, QString, QString>(
                "entry", "leds", "preset", "file", "content", "expected", "message", "status");

        QMainWindow host;
        auto* document = LedPanelDocument::newDocument(); // the host's
        host.setCentralWidget(document);
        const auto value = [&preset](int frame, int led) { return preset.at(frame).value(led); };
        QVERIFY(readShow(*document, showXml(layoutXml(1, leds) + sequenceXml(0, preset.size(), leds, value))));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        CommandList* sequence = document->sequence(0);

        const bool import = entry == "import";
        const QString path = file == "-" || file.startsWith('/') ? file : m_Dir.filePath(file);
        QVERIFY(!import || content.isEmpty() || writeFile(path, content));
        if (file == "socket.csv") // exists, yet opening it fails even for root
            PythonRunner::run("import socket, sys\nsocket.socket(socket.AF_UNIX).bind(sys.argv[1])\n", {path});
        std::unique_ptr<LatePipeWriter> late; // a frame for an import that waits for a writer
        if (file == "fifo.csv") {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            late.reset(new LatePipeWriter(path, "0\n5\n"));
        }

        document->setModified(false);
        QSignalSpy inserted(document->treeModel(), &QAbstractItemModel::rowsInserted);
        QString text;
        if (file != "-")
            ModalAnswer::fileDialog(path);
        if (!message.isEmpty())
            ModalAnswer::messageBox(QMessageBox::Ok, &text);
        auto* view = document->findChild<LedTreeView*>();
        view->setCurrentIndex(document->treeModel()->index(sequence));
        for (QAction* action : view->findChild<QMenu*>(QStringLiteral("contextMenu_table"))->actions())
            if (action->text() == entry)
                action->trigger();
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(text, message.replace("%1", path));
        Frames frames; // the first six LEDs of every frame
        for (int row = 0; row < sequence->frameCount(); ++row)
            frames << sequence->frame(row)->intensities().mid(0, 6);
        QCOMPARE(frames, expected);
        QCOMPARE(host.statusBar()->currentMessage(), status);
        QCOMPARE(inserted.count(), qMax(0, expected.size() - preset.size()));
        QCOMPARE(document->isModified(), import && !content.isEmpty() && message.isEmpty());
        if (!import && !content.isEmpty())
            QCOMPARE(fileContents(path), content);
    }

    // Frames of another show are padded to this panel only as far as a show holds them.
    void pasteOwnFrames()
    {
        QMimeData clipboard;
        FrameClipboard::store(&clipboard, QVector<QVector<int>>(300, { 1 }));
        QVector<QVector<int>> frames;
        QString message;
        QVERIFY(!FrameClipboard::read(&clipboard, 65536, &frames, &message));
        QCOMPARE(message, LedPanelModel::tooManyLedValuesText());
        QVERIFY(frames.isEmpty());
        QVERIFY(FrameClipboard::read(&clipboard, 4, &frames, &message));
        QCOMPARE(frames, QVector<QVector<int>>(300, { 1, 0, 0, 0 }));
        // No frames at all pastes nothing, rather than an empty step reported as pasted.
        FrameClipboard::store(&clipboard, {});
        QVERIFY(!FrameClipboard::read(&clipboard, 4, &frames, &message));
    }

private:
    QTemporaryDir m_Dir;
};

QTEST_MAIN(tst_SequenceCsv)
#include "tst_SequenceCsv.moc"
