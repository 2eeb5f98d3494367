#include "Data/CommandList.h"
#include "Data/FrameClipboard.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Data/LedPanelModel.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "common/ModalAnswer.h"
#include "common/PythonRunner.h"
#include "common/TestData.h"

#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QtTest>

using Frames = QList<QList<int>>;

// Switches the document to a one-row rectangle of the given LED count.
static void setLayout(LedPanelDocument* document, int leds)
{
    QVERIFY(readShow(*document, showXml(layoutXml(1, leds))));
}

class tst_SequenceCsv : public QObject
{
    Q_OBJECT

private slots:
    void bothDoors_data();
    void bothDoors();
    void menu_data();
    void menu();

private:
    QTemporaryDir m_Dir;
};

void tst_SequenceCsv::bothDoors_data()
{
    QTest::addColumn<QString>("python"); // csv.writer's keyword arguments; empty: the table is the text itself
    QTest::addColumn<QByteArray>("table"); // the text, or the rows Python writes
    QTest::addColumn<Frames>("expected");
    QTest::addColumn<QString>("error");

    QTest::newRow("exported") << "" << QByteArray("0,1,2,3\n1,0,1,1\r\n0,0,0,2\r\n")
                              << Frames{{1, 0, 1, 1}, {0, 0, 0, 2}} << "";
    QTest::newRow("python, integers first: no header") << "{}" << QByteArray("[[1, 0, 0, 1], [0, 1, 1, 0]]")
                                                       << Frames{{1, 0, 0, 1}, {0, 1, 1, 0}} << "";
    QTest::newRow("python, every cell quoted") << "{'quoting': csv.QUOTE_ALL}"
                                               << QByteArray("[range(4), [1, 1, 0, -3], [' 2', 0]]")
                                               << Frames{{1, 1, 0, -3}, {2, 0, 0, 0}} << "";
    QTest::newRow("python, tabs, quoted words") << "{'dialect': 'excel-tab', 'quoting': csv.QUOTE_NONNUMERIC}"
                                                << QByteArray("[['LED a', 'LED, b'], [1, 2], [3, '']]")
                                                << Frames{{1, 2, 0, 0}, {3, 0, 0, 0}} << "";
    QTest::newRow("python, quoted text after a number")
        << "{'quoting': csv.QUOTE_ALL}" << QByteArray("[[0, 1], [1, 0], [1, '2x']]") << Frames()
        << "Line 3, column 2: \"2x\" is not a number.";
    // A line of blanks is empty, and its tab picks no separator.
    QTest::newRow("blank lines, blanks in cells") << "" << QByteArray("\n \t\n 0 , 1\n\n5, 6 ,\r\n")
                                                  << Frames{{5, 6, 0, 0}} << "";
    QTest::newRow("a lone 0 is a header") << "" << QByteArray("0\n7\n") << Frames{{7, 0, 0, 0}} << "";
    QTest::newRow("fraction after a blank line") << "" << QByteArray("0,1\r\n2,3\r\n\r\n4, 1.5\r\n") << Frames()
                                                 << "Line 4, column 2: \"1.5\" is not a number.";
}

// The same table pasted and imported into a sequence of a four-LED panel gives the same frames or refusal.
void tst_SequenceCsv::bothDoors()
{
    QFETCH(QString, python);
    QFETCH(QByteArray, table);
    QFETCH(Frames, expected);
    QFETCH(QString, error);
    if (!python.isEmpty())
        table = PythonRunner::run("import csv, sys\nw = csv.writer(sys.stdout, **eval(sys.argv[1]))\n"
                                  "for r in eval(sys.argv[2]): w.writerow(r)\n",
                                  {python, QString::fromUtf8(table)});

    QMimeData clipboard;
    clipboard.setText(QString::fromUtf8(table));
    QVector<QVector<int>> pasted;
    QString message;
    const bool pastes = FrameClipboard::read(&clipboard, 4, &pasted, &message);
    Frames frames;
    for (const QVector<int>& frame : qAsConst(pasted))
        frames << frame.toList();
    QCOMPARE(frames, expected);
    QCOMPARE(pastes ? QString() : message, error);

    LedPanelModel show;
    QVERIFY(readShow(show, showXml(layoutXml(1, 4) + sequenceXml(0, 0))));
    QFile file(m_Dir.filePath("both.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(table) == table.size());
    file.close();
    const bool imports = show.sequence(0)->importSequence(file.fileName(), &message);
    frames.clear();
    for (int row = 0; row < show.sequence(0)->frameCount(); ++row)
        frames << show.sequence(0)->frame(row)->intensities().toList();
    QCOMPARE(frames, expected);
    QCOMPARE(imports ? QString() : message, error);
}

void tst_SequenceCsv::menu_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("leds");
    QTest::addColumn<Frames>("preset");
    QTest::addColumn<QString>("file");       // "-": no dialog may appear
    QTest::addColumn<QByteArray>("content"); // read by an import, expected of an export
    QTest::addColumn<Frames>("expected");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status"); // of the window holding the document after an import

    const Frames one{{9, 9, 9, 9}};
    const QByteArray none;
    QTest::newRow("wider file, more rows") << "import" << 4 << one << "a.csv"
                                           << QByteArray("0,1,2,3,4,5\n1,2,3,4,5,6\r\n-1,0,0,0,0,0\n")
                                           << Frames{{1, 2, 3, 4}, {-1, 0, 0, 0}} << ""
                                           << "2 frames imported; rows of 6 values cut to the panel's 4 LEDs";
    // Frames beyond the file stay.
    QTest::newRow("one frame left") << "import" << 4 << one + one << "a.csv" << QByteArray("0\n1\n")
                                    << Frames{{1, 0, 0, 0}, {9, 9, 9, 9}} << "" << "1 frame imported; frame 2 unchanged";
    // A cell that is no integer refuses the whole file, at its line of the file.
    QTest::newRow("words") << "import" << 4 << one << "a.csv" << QByteArray("a,b,c\nx,y,z\n") << one
                           << "Line 2, column 1: \"x\" is not a number." << "";
    QTest::newRow("unreadable") << "import" << 4 << one << "socket.csv" << none << one << "Cannot read file %1."
                                << "";
    QTest::newRow("too many frames") << "import" << 65536 << Frames{{}} << "a.csv"
                                     << QByteArray("0\n").append(QByteArray("1\n").repeated(300))
                                     << Frames{{0, 0, 0, 0, 0, 0}}
                                     << "The document would hold more than 4194304 LED values." << "";
    QTest::newRow("export, mixed LED counts") << "export" << 6 << Frames{{1, 2, 3, 4, 5, 6}, {-1, 0, 0, 0}}
                                              << "x.csv" << QByteArray("0,1,2,3,4,5\n1,2,3,4,5,6\r\n-1,0,0,0,0,0\r\n")
                                              << Frames{{1, 2, 3, 4, 5, 6}, {-1, 0, 0, 0}} << "" << "";
    QTest::newRow("no frames") << "export" << 4 << Frames() << "-" << none << Frames()
                               << "The sequence has no frames to export." << "";
    QTest::newRow("unwritable") << "export" << 4 << one << "missing/a.csv" << none << one
                                << "Cannot write file %1:\nNo such file or directory."
                                << "";
}

// Picks the entry of the tree's context menu over a sequence (the menu itself is the tree view's test).
void tst_SequenceCsv::menu()
{
    QFETCH(QString, entry);
    QFETCH(int, leds);
    QFETCH(Frames, preset);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(Frames, expected);
    QFETCH(QString, message);
    QFETCH(QString, status);

    QMainWindow host;
    auto* document = LedPanelDocument::newDocument(); // the host's
    host.setCentralWidget(document);
    setLayout(document, leds);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    auto* sequence = new CommandList(document);
    document->treeModel()->append(sequence, nullptr);
    for (const QList<int>& frameValues : preset) {
        // A frame of another LED count is made under a layout of that count.
        if (!frameValues.isEmpty() && frameValues.size() != document->ledScene()->layout().ledCount())
            setLayout(document, frameValues.size());
        auto* frame = new LedStateCommand(sequence);
        document->treeModel()->append(frame, sequence);
        for (int i = 0; i < frameValues.size(); ++i)
            frame->leds().at(i)->setIntensity(frameValues.at(i));
    }

    const bool import = entry == "import";
    const QString path = file == "-" ? file : m_Dir.filePath(file);
    QFile out(path);
    QVERIFY(!import || content.isEmpty() || (out.open(QIODevice::WriteOnly) && out.write(content) == content.size()));
    out.close();
    if (file == "socket.csv") // exists, yet opening it fails even for root
        PythonRunner::run("import socket, sys\nsocket.socket(socket.AF_UNIX).bind(sys.argv[1])\n", {path});

    document->setModified(false);
    QSignalSpy inserted(document->treeModel(), &QAbstractItemModel::rowsInserted);
    // Message boxes are answered and recorded; a scheduled answer could take the file dialog.
    QStringList boxes;
    QTimer boxAnswers;
    connect(&boxAnswers, &QTimer::timeout, this, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->windowTitle() + ": " + box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    boxAnswers.start(20);
    QString caption;
    if (file != "-")
        ModalAnswer::fileDialog(path, &caption);
    auto* view = document->findChild<LedTreeView*>();
    view->setCurrentIndex(document->treeModel()->index(sequence));
    for (QAction* action : view->findChild<QMenu*>(QStringLiteral("contextMenu_table"))->actions())
        if (action->text() == entry)
            action->trigger();
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(caption, file == "-" ? QString() : import ? "Import sequence" : "Export sequence");
    QCOMPARE(boxes, message.isEmpty() ? QStringList() : QStringList(qAppName() + ": " + message.replace("%1", path)));
    Frames frames; // the first six LEDs of every frame
    for (int row = 0; row < sequence->frameCount(); ++row) {
        frames << QList<int>();
        for (const LedData* led : sequence->frame(row)->leds().mid(0, 6))
            frames.last() << led->intensity();
    }
    QCOMPARE(frames, expected);
    QCOMPARE(host.statusBar()->currentMessage(), status);
    QCOMPARE(inserted.count(), qMax(0, expected.size() - preset.size()));
    QCOMPARE(document->isModified(), import && !content.isEmpty() && message.isEmpty());
    if (!import && !content.isEmpty()) {
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), content);
        // Python's csv module reads the same cells.
        QCOMPARE(PythonRunner::run("import csv, sys\nfor r in csv.reader(open(sys.argv[1], newline='')):"
                                   " print(','.join(r))\n", {path}), QByteArray(content).replace("\r\n", "\n"));
    }
}

QTEST_MAIN(tst_SequenceCsv)
#include "tst_SequenceCsv.moc"
