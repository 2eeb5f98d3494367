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

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// An edit made through the real window makes closing ask first; looking without changing anything,
// or confirming the info dialog unchanged, does not. That every kind of edit marks the window
// modified is checked by tst_Editing's undo and redo of each.
class tst_EditAsksToSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Tessaloom")); }
    void closeAfterEdit_data();
    void closeAfterEdit();
};

enum Edit { Nothing, ClickLed, ConfirmInfo };

void tst_EditAsksToSave::closeAfterEdit_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<bool>("asks");

    QTest::newRow("nothing changed") << int(Nothing) << false;
    QTest::newRow("LED clicked") << int(ClickLed) << true;
    QTest::newRow("info confirmed unchanged") << int(ConfirmInfo) << false;
}

void tst_EditAsksToSave::closeAfterEdit()
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
    document->findChild<LedTreeView*>()->setCurrentIndex(document->treeModel()->index(document->sequence(0)->frame(0)));
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

QTEST_MAIN(tst_EditAsksToSave)
#include "tst_EditAsksToSave.moc"
