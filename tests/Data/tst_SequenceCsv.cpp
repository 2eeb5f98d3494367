#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "common/ModalAnswer.h"
#include "common/PythonRunner.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using Frames = QList<QList<int>>;

namespace {

// Switches the document to a one-row rectangle of the given LED count.
void setLayout(LedPanelDocument* document, int leds)
{
    QByteArray xml = QStringLiteral("<LedPanelDocument version=\"1.0\"><Layout type=\"Rectangle\">"
                                    "<Rows>1</Rows><Columns>%1</Columns></Layout></LedPanelDocument>")
                         .arg(leds).toUtf8();
    QBuffer buffer(&xml);
    QVERIFY(buffer.open(QIODevice::ReadOnly) && document->readXML(&buffer));
}

// A frame with values of another LED count is made under a layout of that count.
CommandList* addSequence(LedPanelDocument* document, const Frames& frames)
{
    auto* sequence = new CommandList(document);
    document->treeModel()->append(sequence, nullptr);
    for (const QList<int>& values : frames) {
        if (!values.isEmpty() && values.size() != document->ledScene()->ledItems().size())
            setLayout(document, values.size());
        auto* frame = new LedStateCommand(sequence);
        document->treeModel()->append(frame, sequence);
        for (int i = 0; i < values.size(); ++i)
            frame->leds().at(i)->setIntensity(values.at(i));
    }
    return sequence;
}

// The first six LEDs of every frame.
Frames values(const CommandList* sequence)
{
    Frames frames;
    for (int row = 0; row < sequence->frameCount(); ++row) {
        frames.append(QList<int>());
        for (const LedData* led : sequence->frame(row)->leds().mid(0, 6))
            frames.last().append(led->intensity());
    }
    return frames;
}

// Picks the entry of the tree's context menu over the sequence (the menu itself is the tree view's test).
void runMenu(LedPanelDocument* document, CommandList* sequence, const QString& entry)
{
    auto* view = document->findChild<LedTreeView*>();
    view->setCurrentIndex(document->treeModel()->index(sequence));
    for (QAction* action : view->findChild<QMenu*>(QStringLiteral("contextMenu_table"))->actions())
        if (action->text() == entry)
            action->trigger();
}

// Answers every message box with Ok and records it; unlike a scheduled answer it
// cannot take the file dialog that comes first.
struct MessageRecorder : QObject
{
    QStringList texts, titles;
    QTimer timer;
    MessageRecorder()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                titles << box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer.start(20);
    }
};

} // namespace

class tst_SequenceCsv : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Tessaloom")); }
    void init();
    void cleanup() { delete m_pDocument; }
    void throughPython();
    void menu_data();
    void menu();

private:
    LedPanelDocument* m_pDocument = nullptr;
    QTemporaryDir m_Dir;
};

void tst_SequenceCsv::init()
{
    m_pDocument = LedPanelDocument::newDocument();
    setLayout(m_pDocument, 4);
    m_pDocument->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pDocument));
}

// Python's csv module reads what we export, and writes what we import.
void tst_SequenceCsv::throughPython()
{
    const Frames frames{{0, 1, 1, 0}, {1, 0, 0, -3}, {2, 0, 1, 1}};
    CommandList* sequence = addSequence(m_pDocument, frames);
    const QString out = m_Dir.filePath("out.csv");
    const QString in = m_Dir.filePath("in.csv");
    ModalAnswer::fileDialog(out);
    runMenu(m_pDocument, sequence, "export");
    QVERIFY(ModalAnswer::allAnswered());

    const QJsonArray rows = QJsonDocument::fromJson(PythonRunner::run(
        "import csv, json, sys\n"
        "rows = list(csv.reader(open(sys.argv[1], newline='')))\n"
        "out = [rows[0]] + [[int(v) + 1 for v in r] for r in rows[1:]] + [[7] * len(rows[0])]\n"
        "csv.writer(open(sys.argv[2], 'w', newline='')).writerows(out)\n"
        "print(json.dumps(rows))\n",
        {out, in})).array();
    QCOMPARE(rows.size(), frames.size() + 1);
    for (int row = 0; row < frames.size(); ++row)
        for (int led = 0; led < 4; ++led)
            QCOMPARE(rows[row + 1][led].toString().toInt(), frames[row][led]);

    m_pDocument->setModified(false);
    QSignalSpy inserted(m_pDocument->treeModel(), &QAbstractItemModel::rowsInserted);
    ModalAnswer::fileDialog(in);
    runMenu(m_pDocument, sequence, "import");
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(values(sequence), Frames({{1, 2, 2, 1}, {2, 1, 1, -2}, {3, 1, 2, 2}, {7, 7, 7, 7}}));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.first().at(0).value<QModelIndex>(), m_pDocument->treeModel()->index(sequence));
    QVERIFY(m_pDocument->isModified());
}

void tst_SequenceCsv::menu_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("leds");
    QTest::addColumn<Frames>("preset");
    QTest::addColumn<QString>("file"); // "-": no dialog may appear, "": the dialog is cancelled
    QTest::addColumn<QByteArray>("content"); // read by an import, expected of an export
    QTest::addColumn<Frames>("expected");
    QTest::addColumn<QString>("message");

    const Frames one{{9, 9, 9, 9}};
    QTest::newRow("more rows append") << "import" << 4 << one << "a.csv"
                                      << QByteArray("0,1,2,3\n1,2,3,4\r\n5,6,7,8\r\n")
                                      << Frames{{1, 2, 3, 4}, {5, 6, 7, 8}} << "";
    QTest::newRow("fewer rows") << "import" << 4 << one + one << "a.csv" << QByteArray("0,1,2,3\n1,1,1,1\r\n")
                                << Frames{{1, 1, 1, 1}, {9, 9, 9, 9}} << "";
    // The header fixes the column count; missing, quoted or non-integer values are 0.
    QTest::newRow("loose values") << "import" << 4 << one << "a.csv"
                                  << QByteArray("\n0,1,2\n\n\"3\",1.5, 7,8\r\n\r\n5\n")
                                  << Frames{{0, 0, 7, 0}, {5, 0, 0, 0}} << "";
    QTest::newRow("wider file") << "import" << 4 << one << "a.csv"
                                << QByteArray("0,1,2,3,4,5\n1,2,3,4,5,6\r\n-1,0,0,0,0,0\r\n")
                                << Frames{{1, 2, 3, 4}, {-1, 0, 0, 0}} << "";
    QTest::newRow("million columns") << "import" << 4 << one << "a.csv"
                                     << QByteArray(1000000, ',').append("\n1,2\n") << Frames{{1, 2, 0, 0}} << "";
    QTest::newRow("cancelled import") << "import" << 4 << one << "" << QByteArray() << one << "";
    QTest::newRow("unreadable") << "import" << 4 << one << "socket.csv" << QByteArray() << one
                                << "Cannot read file %1.";
    QTest::newRow("too many frames") << "import" << 65536 << Frames{{}} << "a.csv"
                                     << QByteArray("0\n").append(QByteArray("1\n").repeated(300))
                                     << Frames{{0, 0, 0, 0, 0, 0}}
                                     << "The file %1 holds more frames than a sequence can take.";
    QTest::newRow("export, mixed LED counts") << "export" << 6 << Frames{{1, 2, 3, 4, 5, 6}, {-1, 0, 0, 0}}
                                              << "x.csv" << QByteArray("0,1,2,3,4,5\n1,2,3,4,5,6\r\n-1,0,0,0,0,0\r\n")
                                              << Frames{{1, 2, 3, 4, 5, 6}, {-1, 0, 0, 0}} << "";
    QTest::newRow("no frames") << "export" << 4 << Frames() << "-" << QByteArray() << Frames()
                               << "The sequence has no frames to export.";
    QTest::newRow("no LEDs") << "export" << 0 << Frames{{}, {}} << "-" << QByteArray() << Frames{{}, {}}
                             << "The frames of the sequence have no LEDs to export.";
    QTest::newRow("cancelled export") << "export" << 4 << one << "" << QByteArray() << one << "";
    QTest::newRow("unwritable") << "export" << 4 << one << "missing/a.csv" << QByteArray() << one
                                << "Cannot write file %1.";
}

void tst_SequenceCsv::menu()
{
    QFETCH(QString, entry);
    QFETCH(int, leds);
    QFETCH(Frames, preset);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(Frames, expected);
    QFETCH(QString, message);

    const bool import = entry == "import";
    setLayout(m_pDocument, leds);
    CommandList* sequence = addSequence(m_pDocument, preset);
    const QString path = file.isEmpty() || file == "-" ? file : m_Dir.filePath(file);
    QFile out(path);
    if (import && !content.isEmpty())
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(content) == content.size());
    out.close();
    if (file == "socket.csv") // exists, yet opening it fails even for root
        PythonRunner::run("import socket, sys\nsocket.socket(socket.AF_UNIX).bind(sys.argv[1])\n", {path});

    m_pDocument->setModified(false);
    QSignalSpy inserted(m_pDocument->treeModel(), &QAbstractItemModel::rowsInserted);
    MessageRecorder recorder;
    if (file != "-")
        ModalAnswer::fileDialog(path);
    runMenu(m_pDocument, sequence, entry);
    QVERIFY(ModalAnswer::allAnswered());
    if (message.contains("%1"))
        message = message.arg(QDir::toNativeSeparators(path));
    QCOMPARE(recorder.texts, message.isEmpty() ? QStringList() : QStringList(message));
    QCOMPARE(recorder.titles.mid(0, 1), message.isEmpty() ? QStringList() : QStringList("Tessaloom"));
    QCOMPARE(values(sequence), expected);
    QCOMPARE(inserted.count(), qMax(0, expected.size() - preset.size()));
    QCOMPARE(m_pDocument->isModified(), import && !content.isEmpty() && message.isEmpty());
    if (!import && !content.isEmpty()) {
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), content);
    }
}

QTEST_MAIN(tst_SequenceCsv)
#include "tst_SequenceCsv.moc"
