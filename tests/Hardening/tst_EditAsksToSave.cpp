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

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

// Every kind of edit, done through the real window, makes closing ask first;
// looking without changing anything does not.
class tst_EditAsksToSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Tessaloom")); }
    void closeAfterEdit_data();
    void closeAfterEdit();
};

using MenuAction = QAction* MainMenu::*;
Q_DECLARE_METATYPE(MenuAction)

// What the test does besides, or instead of, triggering a menu action.
enum Extra { None, ClickLed, AcceptCount, TypeTitle, ConfirmInfo, ImportCsv };

void tst_EditAsksToSave::closeAfterEdit_data()
{
    QTest::addColumn<MenuAction>("action");
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("asks");

    QTest::newRow("nothing changed") << MenuAction() << int(None) << false;
    QTest::newRow("LED clicked") << MenuAction() << int(ClickLed) << true;
    QTest::newRow("sequence added") << &MainMenu::action_AddSequence << int(None) << true;
    QTest::newRow("sequence removed") << &MainMenu::action_RemoveSequence << int(None) << true;
    QTest::newRow("frame added") << &MainMenu::action_AddFrame << int(None) << true;
    QTest::newRow("frames added") << &MainMenu::action_AddFrames << int(AcceptCount) << true;
    QTest::newRow("frame removed") << &MainMenu::action_RemoveFrame << int(None) << true;
    QTest::newRow("title edited") << &MainMenu::action_LedPanelInfo << int(TypeTitle) << true;
    QTest::newRow("info confirmed unchanged") << &MainMenu::action_LedPanelInfo << int(ConfirmInfo) << false;
    QTest::newRow("sequence imported") << MenuAction() << int(ImportCsv) << true;
}

void tst_EditAsksToSave::closeAfterEdit()
{
    QFETCH(MenuAction, action);
    QFETCH(int, extra);
    QFETCH(bool, asks);

    QTemporaryDir dir;
    MainWindow window;
    LedPanelDocument* document = newDocumentWithFrames(window, 2);
    QVERIFY(document);
    auto* menu = qobject_cast<MainMenu*>(window.menuBar());
    auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
    CommandList* sequence = document->sequence(0);
    // Saved, so that only the edit below can make the document dirty.
    QVERIFY(document->save(dir.filePath(QStringLiteral("%1.xml").arg(QTest::currentDataTag()))));
    QVERIFY(!window.isWindowModified());
    if (extra != ImportCsv)
        tree->setCurrentIndex(document->treeModel()->index(sequence->frame(0)));

    QAction* trigger = action ? menu->*action : nullptr;
    if (extra == AcceptCount)
        ModalAnswer::onNext([](QWidget* dialog) { QTest::keyClick(dialog->findChild<QSpinBox*>(), Qt::Key_Return); });
    if (extra == ImportCsv) {
        QFile csv(dir.filePath(QStringLiteral("frames.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("0\n1\n") == 4);
        csv.close();
        ModalAnswer::fileDialog(csv.fileName());
        trigger = tree->findChild<QMenu*>(QStringLiteral("contextMenu_table"))->actions().value(0); // "import"
    }
    if (trigger)
        trigger->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    if (extra == ClickLed) {
        LedStateWidget* view = document->ledFrame();
        LedGraphicsItem* item = document->ledScene()->ledItems().at(5);
        view->centerOn(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(item->scenePos()));
    } else if (extra == TypeTitle || extra == ConfirmInfo) {
        QPushButton* ok = nullptr;
        QTRY_VERIFY((ok = window.findChild<QPushButton*>(QStringLiteral("pushButton_OK"))) && ok->isVisible());
        if (extra == TypeTitle)
            QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("lineEdit_Title")), QStringLiteral(" and more"));
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
