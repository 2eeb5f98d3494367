#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"
#include "common/ModalAnswer.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// A failed save must keep the previous file whole and the document modified,
// whether it fails on opening, on writing or on the final rename.
class tst_SaveFailure : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void documentSave_data();
    void documentSave();
    void saveAction_data();
    void saveAction();
    void exportSequence_data();
    void exportSequence();
    void writeToFullDevice();
};

namespace {

enum Failure { DiskFull, NoFreeInode, DirectoryGone };

// A small file system of its own, so that it can be filled without harm.
class SmallDisk
{
public:
    explicit SmallDisk(const QString& path)
        : m_Path(path)
    {
    }
    ~SmallDisk()
    {
        if (m_Mounted)
            QProcess::execute(QStringLiteral("umount"), { m_Path });
    }
    bool mount(const QString& options)
    {
        m_Mounted = QDir().mkpath(m_Path)
            && QProcess::execute(QStringLiteral("mount"),
                                 { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                                   QStringLiteral("tmpfs"), m_Path })
                == 0;
        return m_Mounted;
    }

private:
    QString m_Path;
    bool m_Mounted = false;
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
        for (int i = 0;; ++i) {
            QFile spare(QDir(dir).filePath(QStringLiteral("spare%1").arg(i)));
            if (!spare.open(QIODevice::WriteOnly))
                break;
        }
    }
}

// Prepares the place of the previous file: a small file system for the first two
// failures, a folder of the temporary directory for the last one.
bool prepare(SmallDisk& disk, Failure failure)
{
    if (failure == DiskFull)
        return disk.mount(QStringLiteral("size=64k"));
    if (failure == NoFreeInode)
        return disk.mount(QStringLiteral("size=256k,nr_inodes=4"));
    return true;
}

void addFrames(LedPanelDocument* document, CommandList* sequence, int frames)
{
    for (int f = 0; f < frames; ++f)
        document->treeModel()->append(new LedStateCommand(sequence), sequence);
}

} // namespace

void tst_SaveFailure::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
}

void tst_SaveFailure::documentSave_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("message");

    QTest::newRow("disk full") << int(DiskFull) << QStringLiteral("Cannot write file ");
    QTest::newRow("no free file entry") << int(NoFreeInode) << QStringLiteral("Cannot open file ");
    QTest::newRow("target directory gone") << int(DirectoryGone) << QStringLiteral("Cannot open file ");
}

void tst_SaveFailure::documentSave()
{
    QFETCH(int, failure);
    QFETCH(QString, message);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString dir = temp.filePath(QStringLiteral("disk"));
    SmallDisk disk(dir);
    if (!prepare(disk, Failure(failure)))
        QSKIP("mounting a small tmpfs is not permitted here");
    QVERIFY(QDir().mkpath(dir));
    const QString previousPath = QDir(dir).filePath(QStringLiteral("panel.xml"));

    {
        LedPanelDocument document;
        auto* sequence = new CommandList(&document);
        document.treeModel()->append(sequence, nullptr);
        addFrames(&document, sequence, 1);
        document.setTitle(QStringLiteral("before"));
        QVERIFY(document.save(previousPath));
        const QString savedPath = document.filePath();
        const QByteArray before = contents(previousPath);
        QVERIFY(before.contains("<Title>before</Title>"));

        // Grown well beyond what the small disk could take anyway.
        addFrames(&document, sequence, 6);
        document.setTitle(QStringLiteral("after"));
        document.setModified(true);

        QString target = previousPath;
        if (failure == DirectoryGone) {
            const QString gone = temp.filePath(QStringLiteral("gone"));
            QVERIFY(QDir().mkpath(gone));
            QVERIFY(QDir(gone).removeRecursively());
            target = QDir(gone).filePath(QStringLiteral("panel.xml"));
        } else {
            exhaust(dir, Failure(failure));
        }

        QString text;
        ModalAnswer::messageBox(QMessageBox::Ok, &text);
        QVERIFY(!document.save(target));
        QTRY_VERIFY(ModalAnswer::allAnswered());
        QVERIFY2(text.startsWith(message), qPrintable(text));

        QCOMPARE(contents(previousPath), before);
        QVERIFY(document.isModified());
        QCOMPARE(document.filePath(), savedPath);
        QCOMPARE(document.title(), QStringLiteral("after"));
        // No half-written copy is left behind to fill the disk further.
        const QStringList left = QDir(dir).entryList(QStringList() << QStringLiteral("panel*"), QDir::Files);
        QCOMPARE(left, QStringList() << QStringLiteral("panel.xml"));
    }
}

void tst_SaveFailure::saveAction_data()
{
    QTest::addColumn<int>("failure");

    QTest::newRow("disk full") << int(DiskFull);
    QTest::newRow("no free file entry") << int(NoFreeInode);
}

void tst_SaveFailure::saveAction()
{
    QFETCH(int, failure);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString dir = temp.filePath(QStringLiteral("disk"));
    SmallDisk disk(dir);
    if (!prepare(disk, Failure(failure)))
        QSKIP("mounting a small tmpfs is not permitted here");
    const QString path = QDir(dir).filePath(QStringLiteral("show.xml"));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* menu = qobject_cast<MainMenu*>(window.menuBar());
    QVERIFY(menu);
    menu->action_New->trigger();
    auto* document = qobject_cast<LedPanelDocument*>(window.currentDocument());
    QVERIFY(document);

    menu->action_AddSequence->trigger();
    auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
    tree->setCurrentIndex(document->treeModel()->index(document->sequence(0)));
    menu->action_AddFrame->trigger();
    ModalAnswer::fileDialog(path);
    menu->action_SaveAs->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY(!document->isModified());
    const QByteArray before = contents(path);
    QVERIFY(before.contains("<LedState index=\"0\">"));

    exhaust(dir, Failure(failure));
    for (int f = 0; f < 6; ++f)
        menu->action_AddFrame->trigger();
    QCOMPARE(document->sequence(0)->frameCount(), 7);
    QVERIFY(window.isWindowModified());

    QString text;
    ModalAnswer::messageBox(QMessageBox::Ok, &text);
    menu->action_Save->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));

    QCOMPARE(contents(path), before);
    QVERIFY(document->isModified());
    QVERIFY(window.isWindowModified());
    QCOMPARE(window.currentDocument(), document);
    QCOMPARE(document->sequence(0)->frameCount(), 7);

    // Leaving without saving: the document goes before the disk is unmounted.
    ModalAnswer::messageBox(QMessageBox::Discard);
    QVERIFY(window.close());
    QTRY_VERIFY(ModalAnswer::allAnswered());
}

void tst_SaveFailure::exportSequence_data()
{
    saveAction_data();
}

// Answers every dialog of an export as it comes: the file name, the question
// whether to replace the file, and any report, which it keeps.
struct ExportAnswers : QObject
{
    QString path;
    QStringList reports;
    QTimer timer;
    QPointer<QWidget> handled;

    explicit ExportAnswers(const QString& filePath)
        : path(filePath)
    {
        connect(&timer, &QTimer::timeout, this, [this]() {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || modal == handled)
                return;
            handled = modal;
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
                // Queued, so that the question it may ask is answered by the next tick.
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
                    yes->click();
                } else {
                    reports << box->text();
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        timer.start(20);
    }
};

// A sequence exported again over its earlier file, through the tree's context menu.
void tst_SaveFailure::exportSequence()
{
    QFETCH(int, failure);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString dir = temp.filePath(QStringLiteral("disk"));
    SmallDisk disk(dir);
    if (!prepare(disk, Failure(failure)))
        QSKIP("mounting a small tmpfs is not permitted here");
    const QString path = QDir(dir).filePath(QStringLiteral("sequence.csv"));

    LedPanelDocument document;
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    auto* sequence = new CommandList(&document);
    document.treeModel()->append(sequence, nullptr);
    addFrames(&document, sequence, 2);
    auto* tree = document.findChild<LedTreeView*>(QStringLiteral("treeView"));
    tree->setCurrentIndex(document.treeModel()->index(sequence));
    QAction* exportAction = nullptr;
    for (QAction* action : tree->findChild<QMenu*>(QStringLiteral("contextMenu_table"))->actions()) {
        if (action->text() == QLatin1String("export"))
            exportAction = action;
    }
    QVERIFY(exportAction);

    ExportAnswers answers(path);
    exportAction->trigger();
    QCOMPARE(answers.reports, QStringList());
    const QByteArray before = contents(path);
    QCOMPARE(before.count('\n'), 3);

    exhaust(dir, Failure(failure));
    addFrames(&document, sequence, 200);
    exportAction->trigger();
    QCOMPARE(answers.reports.count(), 1);
    QVERIFY2(answers.reports.first().contains(QDir::toNativeSeparators(path)), qPrintable(answers.reports.first()));
    QCOMPARE(contents(path), before);
}

void tst_SaveFailure::writeToFullDevice()
{
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        QSKIP("/dev/full is not available");
    LedPanelDocument document;
    auto* sequence = new CommandList(&document);
    document.treeModel()->append(sequence, nullptr);
    // More than the file's write buffer, so the device refuses during writing.
    addFrames(&document, sequence, 4);
    QVERIFY(!document.writeXML(&full));
}

QTEST_MAIN(tst_SaveFailure)
#include "tst_SaveFailure.moc"
