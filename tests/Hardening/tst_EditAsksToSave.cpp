#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "Document/LedPanelInfoDialog.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"
#include "common/ModalAnswer.h"

#include <QInputDialog>
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
    void initTestCase();
    void closeAfterEdit_data();
    void closeAfterEdit();

private:
    QTemporaryDir m_Dir;
};

namespace {

enum Edit {
    NoEdit,
    LedClick,
    AddSequence,
    RemoveSequence,
    AddFrame,
    AddFrames,
    RemoveFrame,
    InfoTitle,
    InfoUnchanged,
    ImportSequence
};

void select(LedPanelDocument* document, AbstractCommand* node)
{
    auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
    tree->setCurrentIndex(document->treeModel()->index(node));
}

void clickLed(LedPanelDocument* document, int led)
{
    LedStateWidget* view = document->ledFrame();
    LedGraphicsItem* item = document->ledScene()->ledItems().at(led);
    view->centerOn(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(item->scenePos()));
}

void pressInfoOk(MainWindow& window, const QString& typed)
{
    LedPanelInfoDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = window.findChild<LedPanelInfoDialog*>()) && dialog->isVisible());
    if (!typed.isEmpty())
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit_Title")), typed);
    QTest::mousePress(dialog->findChild<QPushButton*>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
    QTRY_VERIFY(!dialog->isVisible());
}

QString writeTable(const QString& path, int leds)
{
    QStringList header, values;
    for (int i = 0; i < leds; ++i) {
        header << QString::number(i);
        values << QString::number(i % 3 == 0 ? 1 : 0);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(header.join(QLatin1Char(',')).toUtf8() + "\n" + values.join(QLatin1Char(',')).toUtf8() + "\r\n");
    return path;
}

} // namespace

void tst_EditAsksToSave::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
}

void tst_EditAsksToSave::closeAfterEdit_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<bool>("asks");

    QTest::newRow("nothing changed") << int(NoEdit) << false;
    QTest::newRow("LED clicked") << int(LedClick) << true;
    QTest::newRow("sequence added") << int(AddSequence) << true;
    QTest::newRow("sequence removed") << int(RemoveSequence) << true;
    QTest::newRow("frame added") << int(AddFrame) << true;
    QTest::newRow("frames added") << int(AddFrames) << true;
    QTest::newRow("frame removed") << int(RemoveFrame) << true;
    QTest::newRow("title edited") << int(InfoTitle) << true;
    QTest::newRow("info confirmed unchanged") << int(InfoUnchanged) << false;
    QTest::newRow("sequence imported") << int(ImportSequence) << true;
}

void tst_EditAsksToSave::closeAfterEdit()
{
    QFETCH(int, edit);
    QFETCH(bool, asks);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* menu = qobject_cast<MainMenu*>(window.menuBar());
    QVERIFY(menu);
    menu->action_New->trigger();
    auto* document = qobject_cast<LedPanelDocument*>(window.currentDocument());
    QVERIFY(document);
    menu->action_AddSequence->trigger();
    CommandList* sequence = document->sequence(0);
    select(document, sequence);
    menu->action_AddFrame->trigger();
    menu->action_AddFrame->trigger();
    QCOMPARE(sequence->frameCount(), 2);

    // Saved, so that only the edit below can make the document dirty.
    const QString path = m_Dir.filePath(QStringLiteral("%1.xml").arg(QTest::currentDataTag()));
    QVERIFY(document->save(path));
    QVERIFY(!document->isModified());
    QVERIFY(!window.isWindowModified());

    switch (Edit(edit)) {
    case NoEdit:
        select(document, sequence->frame(1));
        break;
    case LedClick:
        select(document, sequence->frame(1));
        clickLed(document, 5);
        QCOMPARE(sequence->frame(1)->leds().at(5)->intensity(), 1);
        break;
    case AddSequence:
        menu->action_AddSequence->trigger();
        QCOMPARE(document->sequenceCount(), 2);
        break;
    case RemoveSequence:
        menu->action_RemoveSequence->trigger();
        QCOMPARE(document->sequenceCount(), 0);
        break;
    case AddFrame:
        menu->action_AddFrame->trigger();
        QCOMPARE(sequence->frameCount(), 3);
        break;
    case AddFrames:
        ModalAnswer::onNext([](QWidget* widget) {
            auto* dialog = qobject_cast<QInputDialog*>(widget);
            QVERIFY(dialog);
            QTest::keyClick(dialog->findChild<QSpinBox*>(), Qt::Key_Return);
        });
        menu->action_AddFrames->trigger();
        QTRY_VERIFY(ModalAnswer::allAnswered());
        QCOMPARE(sequence->frameCount(), 12);
        break;
    case RemoveFrame:
        select(document, sequence->frame(0));
        menu->action_RemoveFrame->trigger();
        QCOMPARE(sequence->frameCount(), 1);
        break;
    case InfoTitle:
        menu->action_LedPanelInfo->trigger();
        pressInfoOk(window, QStringLiteral(" and more"));
        QVERIFY(document->title().endsWith(QStringLiteral(" and more")));
        break;
    case InfoUnchanged:
        menu->action_LedPanelInfo->trigger();
        pressInfoOk(window, QString());
        break;
    case ImportSequence: {
        const QString table = writeTable(m_Dir.filePath(QStringLiteral("frames.csv")),
                                         document->ledScene()->ledItems().count());
        QVERIFY(!table.isEmpty());
        auto* tree = document->findChild<LedTreeView*>(QStringLiteral("treeView"));
        auto* contextMenu = tree->findChild<QMenu*>(QStringLiteral("contextMenu_table"));
        QVERIFY(contextMenu);
        ModalAnswer::fileDialog(table);
        for (QAction* action : contextMenu->actions()) {
            if (action->text() == QLatin1String("import"))
                action->trigger();
        }
        QTRY_VERIFY(ModalAnswer::allAnswered());
        QCOMPARE(sequence->frame(0)->leds().at(3)->intensity(), 1);
        break;
    }
    }
    QCOMPARE(window.isWindowModified(), asks);

    if (asks) {
        // Cancel keeps everything open; Discard then lets the window go.
        QString text;
        ModalAnswer::messageBox(QMessageBox::Cancel, &text);
        QVERIFY(!window.close());
        QTRY_VERIFY(ModalAnswer::allAnswered());
        QCOMPARE(text, QStringLiteral("%1 has been modified.\nDo you want to save changes?").arg(document->fileName()));
        QVERIFY(window.isVisible());
        QCOMPARE(window.currentDocument(), document);
        ModalAnswer::messageBox(QMessageBox::Discard);
        QVERIFY(window.close());
        QTRY_VERIFY(ModalAnswer::allAnswered());
    } else {
        // Should a question come after all, it is recorded and answered, not left hanging.
        bool asked = false;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&asked]() {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = true;
                box->button(QMessageBox::Discard)->click();
            }
        });
        watcher.start(50);
        QVERIFY(window.close());
        QVERIFY(!asked);
    }
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(tst_EditAsksToSave)
#include "tst_EditAsksToSave.moc"
