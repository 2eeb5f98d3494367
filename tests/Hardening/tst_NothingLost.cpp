#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"
#include "common/ModalAnswer.h"
#include "common/NewDocument.h"
#include "common/TestData.h"

#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// A failed save must keep the previous file whole and the document modified, whether it fails on
// opening, on writing or on the final rename. An edit made through the real window makes closing ask
// first; looking without changing anything, or confirming the info dialog unchanged, does not (that
// every kind of edit marks the window modified is checked by tst_Editing's undo and redo of each).
class tst_NothingLost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Tessaloom")); }
    void failedSave_data();
    void failedSave();
    void writeToFullDevice();
    void closeAfterEdit_data();
    void closeAfterEdit();
};

namespace {

enum Way { DocumentSave, SaveAction, ExportSequence };
enum Failure { DiskFull, NoFreeInode, DirectoryGone };

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
        for (int i = 0; QFile(QDir(dir).filePath(QStringLiteral("spare%1").arg(i))).open(QIODevice::WriteOnly); ++i) {
        }
    }
}

} // namespace

void tst_NothingLost::failedSave_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("message");

    const QString write = QStringLiteral("Cannot write file "), open = QStringLiteral("Cannot open file ");
    QTest::newRow("document, disk full") << int(DocumentSave) << int(DiskFull) << write;
    QTest::newRow("document, no free file entry") << int(DocumentSave) << int(NoFreeInode) << open;
    QTest::newRow("document, directory gone") << int(DocumentSave) << int(DirectoryGone) << open;
    QTest::newRow("Save action, disk full") << int(SaveAction) << int(DiskFull) << write;
    QTest::newRow("Save action, no free file entry") << int(SaveAction) << int(NoFreeInode) << open;
    QTest::newRow("export over earlier file, disk full") << int(ExportSequence) << int(DiskFull) << write;
    QTest::newRow("export over earlier file, no free file entry") << int(ExportSequence) << int(NoFreeInode) << write;
}

void tst_NothingLost::failedSave()
{
    QFETCH(int, way);
    QFETCH(int, failure);
    QFETCH(QString, message);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString dir = temp.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(dir));
    // A small file system of its own, so that it can be filled without harm.
    const bool mounted = failure != DirectoryGone;
    const QString options = QLatin1String(failure == DiskFull ? "size=64k" : "size=256k,nr_inodes=4");
    if (mounted && QProcess::execute(QStringLiteral("mount"), QStringList{ "-t", "tmpfs", "-o", options, "tmpfs", dir }) != 0)
        QSKIP("mounting a small tmpfs is not permitted here");
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), { dir });
    });
    const QString name = way == ExportSequence ? QStringLiteral("sequence.csv") : QStringLiteral("panel.xml");
    const QString path = QDir(dir).filePath(name);

    MainWindow window;
    LedPanelDocument* document = newDocumentWithFrames(window, 1);
    QVERIFY(document);
    auto* menu = qobject_cast<MainMenu*>(window.menuBar());
    auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
    QAction* exportAction = tree->findChild<QMenu*>(QStringLiteral("contextMenu_table"))->actions().value(1); // "export"

    if (way == ExportSequence) {
        ModalAnswer::fileDialog(path);
        exportAction->trigger();
        QTRY_VERIFY(ModalAnswer::allAnswered());
    } else {
        QVERIFY(document->save(path));
    }
    const QByteArray before = contents(path);
    QVERIFY(before.contains(way == ExportSequence ? "\n0,0,0" : "<LedState index=\"0\">"));
    const QString savedPath = document->filePath();

    // Grown well beyond what the small disk could hold even with the earlier file gone.
    for (int f = 0; f < 200; ++f)
        menu->action_AddFrame->trigger();
    const QString target = failure == DirectoryGone ? temp.filePath(QStringLiteral("gone/") + name) : path;
    exhaust(dir, Failure(failure));

    QString text;
    if (way == ExportSequence) {
        ModalAnswer::fileDialog(path);
        ModalAnswer::messageBox(QMessageBox::Yes); // replace the earlier file
    }
    ModalAnswer::messageBox(QMessageBox::Ok, &text);
    if (way == DocumentSave)
        QVERIFY(!document->save(target));
    else
        (way == SaveAction ? menu->action_Save : exportAction)->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY2(text.startsWith(message) && text.contains(QDir::toNativeSeparators(target)), qPrintable(text));

    QCOMPARE(contents(path), before);
    QVERIFY(document->isModified() && window.isWindowModified());
    QCOMPARE(document->filePath(), savedPath);
    QCOMPARE(document->sequence(0)->frameCount(), 201);
    // No half-written copy is left behind to fill the disk further.
    QCOMPARE(QDir(dir).entryList({ name + QLatin1Char('*') }, QDir::Files), QStringList(name));
}

void tst_NothingLost::writeToFullDevice()
{
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        QSKIP("/dev/full is not available");
    LedPanelDocument document;
    // More than the file's write buffer, so the device refuses during writing.
    QVERIFY(readShow(document, showXml(sequenceXml(0, 4))));
    QVERIFY(!document.writeXML(&full));
}

enum Edit { Nothing, ClickLed, ConfirmInfo };

void tst_NothingLost::closeAfterEdit_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<bool>("asks");

    QTest::newRow("nothing changed") << int(Nothing) << false;
    QTest::newRow("LED clicked") << int(ClickLed) << true;
    QTest::newRow("info confirmed unchanged") << int(ConfirmInfo) << false;
}

void tst_NothingLost::closeAfterEdit()
{
    QFETCH(int, edit);
    QFETCH(bool, asks);

    QTemporaryDir dir;
    MainWindow window;
    LedPanelDocument* document = newDocumentWithFrames(window, 2);
    QVERIFY(document);
    // Saved, so that only the edit below can make the document dirty.
    QVERIFY(document->save(dir.filePath(QStringLiteral("%1.xml").arg(QTest::currentDataTag()))));
    QVERIFY(!window.isWindowModified());
    document->treeView()->setCurrentIndex(document->treeModel()->index(document->sequence(0)->frame(0)));
    if (edit == ClickLed) {
        LedStateWidget* view = document->ledFrame();
        LedGraphicsItem* item = document->ledScene()->ledItems().at(5);
        view->centerOn(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(item->scenePos()));
    } else if (edit == ConfirmInfo) {
        qobject_cast<MainMenu*>(window.menuBar())->action_LedPanelInfo->trigger();
        QPushButton* ok = nullptr;
        QTRY_VERIFY((ok = window.findChild<QPushButton*>(QStringLiteral("pushButton_OK"))) && ok->isVisible());
        QTest::mousePress(ok, Qt::LeftButton);
        QTRY_VERIFY(!ok->isVisible());
    }
    QCOMPARE(window.isWindowModified(), asks);

    // Every question is answered Cancel: close() fails exactly when it asks, and must keep everything.
    QTimer cancel;
    connect(&cancel, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Cancel)->click();
    });
    cancel.start(20);
    QCOMPARE(window.close(), !asks);
    cancel.stop();
    if (asks) {
        QVERIFY(window.isVisible() && window.isWindowModified());
        QCOMPARE(window.currentDocument(), document);
        ModalAnswer::messageBox(QMessageBox::Discard);
        QVERIFY(window.close());
        QTRY_VERIFY(ModalAnswer::allAnswered());
    }
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(tst_NothingLost)
#include "tst_NothingLost.moc"
