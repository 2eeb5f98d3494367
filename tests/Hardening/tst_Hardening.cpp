#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "TreeView/LedTreeView.h"
#include "common/DataColumns.h"
#include "common/FileSizeLimit.h"
#include "common/ModalAnswer.h"
#include "common/WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

enum Way { DocumentSave, SaveAction, ExportSequence };
// The size limits cut the file inside its first block, at a block's end and inside its last block.
enum Failure { DiskFull, NoFreeInode, DirectoryGone, FirstBlock, BlockEnd, LastBlock };

// Takes whatever room is left: every free block, or every free file entry.
void exhaust(const QString& dir, Failure failure)
{
    if (failure == DiskFull) {
        QFile filler(QDir(dir).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    } else if (failure == NoFreeInode) {
        for (int i = 0; QFile(QDir(dir).filePath(QStringLiteral("spare%1").arg(i))).open(QIODevice::WriteOnly); ++i) {
        }
    }
}

// A sequence of empty frames: a few bytes each, but a value for every LED once read.
QByteArray sparse(const QByteArray& layout, int frames)
{
    return showXml(layout + sequenceXml(0, frames));
}

// A document as the program writes it: every LED of every frame spelled out.
QByteArray saved(int rows, int columns, int frames)
{
    LedPanelModel source;
    return readShow(source, sparse(layoutXml(rows, columns), frames)) ? writtenShow(source) : QByteArray();
}

} // namespace

// Nothing lost: a failed save keeps the previous file whole and the document modified. Files that would make
// the reader hold more than any show needs are refused; those within the bounds still load.
class tst_Hardening : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Tessaloom")); }
    void cleanup() { QVERIFY(closeWindow()); }

    void failedSave_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason");

        const QString write = QStringLiteral("Cannot write file "), open = QStringLiteral("Cannot open file ");
        const QString full = QStringLiteral("No space left on device"), large = QStringLiteral("File too large");
        QTest::newRow("document, disk full") << int(DocumentSave) << int(DiskFull) << write << full;
        QTest::newRow("document, no free file entry") << int(DocumentSave) << int(NoFreeInode) << open << full;
        QTest::newRow("document, directory gone") << int(DocumentSave) << int(DirectoryGone) << open
                                                  << "No such file or directory";
        QTest::newRow("Save action, disk full") << int(SaveAction) << int(DiskFull) << write << full;
        QTest::newRow("export over earlier file, disk full") << int(ExportSequence) << int(DiskFull) << write << full;
        QTest::newRow("export over earlier file, no free file entry")
            << int(ExportSequence) << int(NoFreeInode) << write << full;
        for (const int failure : { FirstBlock, BlockEnd, LastBlock }) {
            const QString where =
                QStringList { "in the first block", "at a block's end", "in the last block" }.at(failure - FirstBlock);
            QTest::addRow("Save action, cut %s", qPrintable(where)) << int(SaveAction) << failure << write << large;
            QTest::addRow("export, cut %s", qPrintable(where)) << int(ExportSequence) << failure << write << large;
        }
    }

    void failedSave()
    {
        const auto [way, failure, message, reason] =
            fetchColumns<int, int, QString, QString>("way", "failure", "message", "reason");

        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString dir = temp.filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(dir));
        // A small file system of its own, so that it can be filled without harm.
        const bool mounted = failure == DiskFull || failure == NoFreeInode;
        const QString room = QLatin1String(failure == DiskFull ? "size=64k" : "size=256k,nr_inodes=4");
        const QStringList options { "-t", "tmpfs", "-o", room, "tmpfs", dir };
        if (mounted && QProcess::execute(QStringLiteral("mount"), options) != 0)
            QSKIP("mounting a small tmpfs is not permitted here");
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                QProcess::execute(QStringLiteral("umount"), { dir });
        });
        const QString name = way == ExportSequence ? QStringLiteral("sequence.csv") : QStringLiteral("panel.xml");
        const QString path = QDir(dir).filePath(name);

        QVERIFY(showWithFrames(1));
        // The sequence's own menu: Import, then Export.
        QAction* exportAction = document()->treeView()->findChild<QMenu*>("contextMenu_table")->actions().value(1);

        if (way == ExportSequence) {
            ModalAnswer::fileDialog(path);
            exportAction->trigger();
            QTRY_VERIFY(ModalAnswer::allAnswered());
        } else {
            QVERIFY(document()->save(path));
        }
        const QByteArray before = fileContents(path);
        QVERIFY(before.contains(way == ExportSequence ? "\n0,0,0" : "<LedState index=\"0\">"));
        const QString savedPath = document()->filePath();

        // Grown well beyond what the small disk could hold even with the earlier file gone.
        for (int f = 0; f < 200; ++f)
            menu()->action_AddFrame->trigger();
        const QString target = failure == DirectoryGone ? temp.filePath(QStringLiteral("gone/") + name) : path;
        exhaust(dir, Failure(failure));
        qint64 size = 0;
        if (failure >= FirstBlock) {
            QString problem;
            const QString whole = temp.filePath(QStringLiteral("whole.csv"));
            QVERIFY(way != ExportSequence || document()->sequence(0)->exportSequence(whole, &problem));
            size = way == ExportSequence ? QFileInfo(whole).size() : writtenShow(*document()).size();
            QVERIFY(FileSizeLimit::limitsFor(size).size() == 3);
        }

        QString text;
        if (way == ExportSequence) {
            ModalAnswer::fileDialog(path);
            ModalAnswer::messageBox(QMessageBox::Yes); // replace the earlier file
        }
        ModalAnswer::messageBox(QMessageBox::Ok, &text);
        {
            std::unique_ptr<FileSizeLimit> cut;
            if (failure >= FirstBlock)
                cut.reset(new FileSizeLimit(FileSizeLimit::limitsFor(size).at(failure - FirstBlock)));
            if (way == DocumentSave)
                QVERIFY(!document()->save(target));
            else
                (way == SaveAction ? menu()->action_Save : exportAction)->trigger();
            QTRY_VERIFY(ModalAnswer::allAnswered());
        }
        QVERIFY2(text.startsWith(message) && text.contains(QDir::toNativeSeparators(target)) && text.contains(reason),
                 qPrintable(text));

        QCOMPARE(fileContents(path), before);
        QVERIFY(document()->isModified() && m_window->isWindowModified());
        QCOMPARE(document()->filePath(), savedPath);
        QCOMPARE(document()->sequence(0)->frameCount(), 201);
        // No half-written copy is left behind to fill the disk further.
        QCOMPARE(QDir(dir).entryList({ name + QLatin1Char('*') }, QDir::Files), QStringList(name));
        // Leaving still asks.
        ModalAnswer::messageBox(QMessageBox::Cancel);
        QVERIFY(!m_window->close());
        QVERIFY(ModalAnswer::allAnswered());
    }

    void readWithinLimits_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("frames"); // -1: refused
        QTest::addColumn<int>("leds");
        QTest::addColumn<QString>("reason"); // of a refusal, as the reader gives it

        // The show holds at most 4194304 LED values: 64 empty frames of the largest layout, not 65.
        const QString tooMany = "The document would hold more than 4194304 LED values.";
        QTest::newRow("one frame past the bound") << sparse(layoutXml(256, 256), 65) << -1 << 0 << tooMany;
        QTest::newRow("at the bound") << sparse(layoutXml(256, 256), 64) << 64 << 65536 << "";
        QTest::newRow("1 x 1, frames, then 256 x 256")
            << showXml(layoutXml(1, 1) + sequenceXml(0, 1000) + layoutXml(256, 256)) << -1 << 0
            << "The Layout element comes after the sequences";
        QTest::newRow("too many LEDs") << showXml(layoutXml(1024, 65)) << -1 << 0 << "exceeds the limit of 65536 LEDs";
        // Numbers no panel has only overflow the view's arithmetic.
        const QString outOfRange = "OuterDiameter holds %1, which is not a number between -1000000 and 1000000.";
        for (const char* value : { "inf", "nan", "1000000.5" }) {
            QTest::newRow(value) << showXml("<Layout type=\"Ring\"><OuterDiameter>" + QByteArray(value)
                                            + "</OuterDiameter></Layout>") << -1 << 0 << outOfRange.arg(value);
        }
        QTest::newRow("a million") << showXml("<Layout type=\"Rectangle\"><Rectangle_W>1e+06</Rectangle_W></Layout>")
                                   << 0 << 32 << "";

        // The reader holds a run of text whole before it reports it: an endless one must end early.
        QTest::newRow("a title of 20 MiB") << showXml("<Title>" + QByteArray(20 << 20, 'a') + "</Title>") << -1 << 0
                                           << "Line 1, column 16777217: A text runs over 16 MiB without markup.";
        QTest::newRow("a description of 15 MiB")
            << showXml("<Description>" + QByteArray(15 << 20, 'a') + "</Description>") << 0 << 192 << "";

        // What the program writes, and what a hand-made file reasonably leaves out, still loads.
        QTest::newRow("saved, many frames") << saved(4, 8, 300) << 300 << 32 << "";
        QTest::newRow("2000 empty frames, default ring") << sparse("", 2000) << 2000 << 192 << "";
    }

    void readWithinLimits()
    {
        const auto [xml, frames, leds, reason] =
            fetchColumns<QByteArray, int, int, QString>("xml", "frames", "leds", "reason");
        QVERIFY(!xml.isEmpty());

        // Qt polishes new items later from the event loop, and until then removing an item searches a list of all
        // of them: a large layout replaced or destroyed before the event loop runs (a failed load) took minutes.
        // Reading must leave no such work pending.
        struct PendingCalls : QObject
        {
            int count = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                count += event->type() == QEvent::MetaCall;
                return false;
            }
        } pending;
        LedPanelDocument target;
        QCOMPARE(readShow(target, xml), frames >= 0);
        QVERIFY2(target.readError().contains(reason), qPrintable(target.readError()));
        target.ledScene()->installEventFilter(&pending);
        QCoreApplication::sendPostedEvents(target.ledScene(), QEvent::MetaCall);
        QCOMPARE(pending.count, 0);
        QVERIFY(target.ledValueCount() <= LedPanelModel::MaxLedValues);
        if (frames >= 0) {
            QCOMPARE(target.sequenceCount(), frames > 0 ? 1 : 0);
            QCOMPARE(target.ledScene()->layout().ledCount(), leds);
            if (frames > 0) {
                QCOMPARE(target.sequence(0)->frameCount(), frames);
                QCOMPARE(target.sequence(0)->frame(frames - 1)->ledCount(), leds);
            }
        }
    }
};

QTEST_MAIN(tst_Hardening)
#include "tst_Hardening.moc"
