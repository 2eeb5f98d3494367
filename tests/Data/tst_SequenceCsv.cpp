#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "common/ModalAnswer.h"
#include "common/PythonRunner.h"

#include <QBuffer>
#include <QFileDialog>
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
    buffer.open(QIODevice::ReadOnly);
    QVERIFY(document->readXML(&buffer));
}

CommandList* addSequence(LedPanelDocument* document, const Frames& frames)
{
    auto* sequence = new CommandList(document);
    document->treeModel()->append(sequence, nullptr);
    for (const QList<int>& values : frames) {
        auto* frame = new LedStateCommand(sequence);
        document->treeModel()->append(frame, sequence);
        for (int i = 0; i < values.size(); ++i)
            frame->leds().at(i)->setIntensity(values.at(i));
    }
    return sequence;
}

// The first LEDs of every frame.
Frames values(const CommandList* sequence, int leds = 6)
{
    Frames frames;
    for (int row = 0; row < sequence->frameCount(); ++row) {
        frames.append(QList<int>());
        for (const LedData* led : sequence->frame(row)->leds().mid(0, leds))
            frames.last().append(led->intensity());
    }
    return frames;
}

// Right-clicks the sequence in the tree and picks the entry from its context menu.
void runMenu(LedPanelDocument* document, CommandList* sequence, const QString& entry)
{
    auto* view = document->findChild<LedTreeView*>();
    const QPoint pos = view->visualRect(document->treeModel()->index(sequence)).center();
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, pos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &event);
    auto* menu = view->findChild<QMenu*>(QStringLiteral("contextMenu_table"));
    QTRY_VERIFY(menu->isVisible());
    for (QAction* action : menu->actions())
        if (action->text() == entry)
            action->trigger();
    menu->hide();
}

// Answers every message box with Ok and records it; rejects file dialogs nobody expects.
struct MessageRecorder : QObject
{
    QStringList texts, titles;
    bool fileDialogExpected = true;
    bool unexpectedFileDialog = false;
    QTimer timer;
    MessageRecorder()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts << box->text();
                titles << box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            } else if (qobject_cast<QFileDialog*>(modal) && !fileDialogExpected) {
                unexpectedFileDialog = true;
                static_cast<QDialog*>(modal)->reject();
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
    void initTestCase();
    void init();
    void cleanup();
    void exportThroughPythonAndBack();
    void roundTripAndMixedLedCounts();
    void menu_data();
    void menu();

private:
    LedPanelDocument* m_pDocument = nullptr;
    QTemporaryDir m_Dir;
};

void tst_SequenceCsv::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
}

void tst_SequenceCsv::init()
{
    m_pDocument = LedPanelDocument::newDocument();
    setLayout(m_pDocument, 4);
    m_pDocument->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pDocument));
}

void tst_SequenceCsv::cleanup()
{
    delete m_pDocument;
}

void tst_SequenceCsv::exportThroughPythonAndBack()
{
    const Frames frames{{0, 1, 1, 0}, {1, 0, 0, -3}, {2, 0, 1, 1}};
    CommandList* sequence = addSequence(m_pDocument, frames);
    const QString out = m_Dir.filePath("out.csv");
    const QString in = m_Dir.filePath("in.csv");
    ModalAnswer::fileDialog(out);
    runMenu(m_pDocument, sequence, "export");
    QVERIFY(ModalAnswer::allAnswered());

    // Python reads the export, adds 1 to every value, adds a frame of 7s and writes it back.
    const QJsonArray read = QJsonDocument::fromJson(PythonRunner::run(
        "import csv, json, sys\n"
        "raw = open(sys.argv[1], 'rb').read()\n"
        "rows = list(csv.reader(open(sys.argv[1], newline='')))\n"
        "out = [rows[0]] + [[int(v) + 1 for v in r] for r in rows[1:]] + [[7] * len(rows[0])]\n"
        "csv.writer(open(sys.argv[2], 'w', newline='')).writerows(out)\n"
        "print(json.dumps([raw.split(b'\\n')[0].decode(), raw.count(b'\\r\\n'), rows]))\n",
        {out, in})).array();
    QCOMPARE(read.at(0).toString(), QStringLiteral("0,1,2,3"));
    QCOMPARE(read.at(1).toInt(), frames.size());
    QCOMPARE(read.at(2).toArray().size(), frames.size() + 1);
    for (int row = 0; row < frames.size(); ++row)
        for (int led = 0; led < 4; ++led)
            QCOMPARE(read.at(2)[row + 1][led].toString().toInt(), frames[row][led]);

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

void tst_SequenceCsv::roundTripAndMixedLedCounts()
{
    setLayout(m_pDocument, 6);
    CommandList* sequence = addSequence(m_pDocument, {{1, 2, 3, 4, 5, 6}});
    setLayout(m_pDocument, 4);
    auto* narrow = new LedStateCommand(sequence);
    m_pDocument->treeModel()->append(narrow, sequence);
    narrow->leds().first()->setIntensity(-1);

    const QString path = m_Dir.filePath("mixed.csv");
    ModalAnswer::fileDialog(path);
    runMenu(m_pDocument, sequence, "export");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("0,1,2,3,4,5\n1,2,3,4,5,6\r\n-1,0,0,0,0,0\r\n"));

    for (int row = 0; row < 2; ++row)
        for (LedData* led : sequence->frame(row)->leds())
            led->setIntensity(42);
    ModalAnswer::fileDialog(path);
    runMenu(m_pDocument, sequence, "import");
    QCOMPARE(values(sequence), Frames({{1, 2, 3, 4, 5, 6}, {-1, 0, 0, 0}}));
}

void tst_SequenceCsv::menu_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("leds");
    QTest::addColumn<Frames>("preset");
    QTest::addColumn<QString>("file"); // "-": no dialog may appear, "": the dialog is cancelled
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Frames>("expected");
    QTest::addColumn<QString>("message");

    const Frames one{{9, 9, 9, 9}};
    QTest::newRow("more rows append") << "import" << 4 << one << "a.csv"
                                      << QByteArray("0,1,2,3\n1,2,3,4\r\n5,6,7,8\r\n")
                                      << Frames{{1, 2, 3, 4}, {5, 6, 7, 8}} << "";
    QTest::newRow("fewer rows") << "import" << 4 << one + one << "a.csv" << QByteArray("0,1,2,3\n1,1,1,1\r\n")
                                << Frames{{1, 1, 1, 1}, {9, 9, 9, 9}} << "";
    QTest::newRow("short header") << "import" << 4 << one << "a.csv" << QByteArray("0,1\n5,6,7,8\n")
                                  << Frames{{5, 6, 0, 0}} << "";
    QTest::newRow("short row") << "import" << 4 << one << "a.csv" << QByteArray("0,1,2,3\n5\n")
                               << Frames{{5, 0, 0, 0}} << "";
    QTest::newRow("blank lines") << "import" << 4 << Frames() << "a.csv" << QByteArray("\n0,1,2,3\n\n\n4,3,2,1\r\n\r\n")
                                 << Frames{{4, 3, 2, 1}} << "";
    QTest::newRow("not integers") << "import" << 4 << one << "a.csv" << QByteArray("0,1,2,3\n\"3\",1.5,x, 7 \n")
                                  << Frames{{0, 0, 0, 7}} << "";
    QTest::newRow("wider file") << "import" << 4 << one << "a.csv" << QByteArray("a,b,c,d,e\n1,2,3,4,5\n")
                                << Frames{{1, 2, 3, 4}} << "";
    QTest::newRow("million columns") << "import" << 4 << one << "a.csv" << QByteArray(1000000, ',').append("\n1,2\n")
                                     << Frames{{1, 2, 0, 0}} << "";
    QTest::newRow("cancelled import") << "import" << 4 << one << "" << QByteArray() << one << "";
    QTest::newRow("unreadable") << "import" << 4 << one << "socket.csv" << QByteArray() << one
                                << "Cannot read file %1.";
    QTest::newRow("too many frames") << "import" << 65536 << Frames{{}} << "a.csv"
                                     << QByteArray("0\n").append(QByteArray("1\n").repeated(300))
                                     << Frames{{0, 0, 0, 0, 0, 0}}
                                     << "The file %1 holds more frames than a sequence can take.";
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

    setLayout(m_pDocument, leds);
    CommandList* sequence = addSequence(m_pDocument, preset);
    const QString path = file.isEmpty() || file == "-" ? file : m_Dir.filePath(file);
    QFile out(path);
    if (!content.isEmpty())
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(content) == content.size());
    out.close();
    if (file == "socket.csv") // exists, yet opening it fails even for root
        PythonRunner::run("import socket, sys\nsocket.socket(socket.AF_UNIX).bind(sys.argv[1])\n", {path});

    m_pDocument->setModified(false);
    QSignalSpy inserted(m_pDocument->treeModel(), &QAbstractItemModel::rowsInserted);
    MessageRecorder recorder;
    recorder.fileDialogExpected = file != "-";
    if (recorder.fileDialogExpected)
        ModalAnswer::fileDialog(path);
    runMenu(m_pDocument, sequence, entry);
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY(!recorder.unexpectedFileDialog);
    if (message.contains("%1"))
        message = message.arg(QDir::toNativeSeparators(path));
    QCOMPARE(recorder.texts, message.isEmpty() ? QStringList() : QStringList(message));
    QCOMPARE(recorder.titles.mid(0, 1), message.isEmpty() ? QStringList() : QStringList("Tessaloom"));
    QCOMPARE(values(sequence), expected);
    QCOMPARE(inserted.count(), qMax(0, expected.size() - preset.size()));
    QCOMPARE(m_pDocument->isModified(), entry == "import" && !content.isEmpty() && message.isEmpty());
}

QTEST_MAIN(tst_SequenceCsv)
#include "tst_SequenceCsv.moc"
