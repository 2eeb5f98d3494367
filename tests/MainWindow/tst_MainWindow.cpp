#include "ModalAnswer.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QAction>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithoutDocument();
    void menuStructure();
    void composeSaveAndReopen();
    void appendLedStates_data();
    void appendLedStates();
    void removeCommandsMarkModified();
    void cancelledSaveQuestionKeepsDocument();
    void failedOpenKeepsPreviousDocument();
    void closingDocumentClearsTitle();
    void cancelledCloseLeavesSettingsUntouched();
    void aboutBoxShowsVersion();
    void acceptedPortSetupUpdatesActions();

private:
    MainMenu* menu() const { return qobject_cast<MainMenu*>(m_window->menuBar()); }
    LedPanelDocument* document() const { return qobject_cast<LedPanelDocument*>(m_window->currentDocument()); }
    LedTreeView* tree() const { return document()->findChild<LedTreeView*>(); }
    void clickTreeRow(const QModelIndex& index);
    void clickLed(const QPointF& scenePosition);
    LedPanelDocument* newDocumentWithFrames(int frames);
    QString settingsFile() const { return QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini"); }

    MainWindow* m_window = nullptr;
    QTemporaryDir m_dir;
};

void tst_MainWindow::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QVERIFY(m_dir.isValid());
}

void tst_MainWindow::init()
{
    QFile::remove(settingsFile());
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_MainWindow::cleanup()
{
    if (m_window && m_window->currentDocument())
        m_window->currentDocument()->setModified(false);
    delete m_window;
    m_window = nullptr;
    QVERIFY(ModalAnswer::allAnswered());
}

void tst_MainWindow::clickTreeRow(const QModelIndex& index)
{
    QVERIFY(index.isValid());
    tree()->scrollTo(index);
    const QRect rect = tree()->visualRect(index);
    QVERIFY(!rect.isEmpty());
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void tst_MainWindow::clickLed(const QPointF& scenePosition)
{
    LedStateWidget* view = document()->ledFrame();
    QVERIFY(view->isVisible());
    view->ensureVisible(QRectF(scenePosition - QPointF(3, 3), QSizeF(6, 6)));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(scenePosition));
}

LedPanelDocument* tst_MainWindow::newDocumentWithFrames(int frames)
{
    menu()->action_New->trigger();
    LedPanelDocument* doc = document();
    if (!doc)
        return nullptr;
    menu()->action_AddSequence->trigger();
    clickTreeRow(doc->treeModel()->index(0, 0, QModelIndex()));
    for (int i = 0; i < frames; ++i)
        menu()->action_AddFrame->trigger();
    return doc;
}

void tst_MainWindow::startsWithoutDocument()
{
    QCOMPARE(m_window->currentDocument(), nullptr);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("[*]"));
    // Nothing is disabled until the port setup refreshes the actions; Save then simply does nothing.
    QVERIFY(menu()->action_Save->isEnabled());
    QVERIFY(menu()->action_Close->isEnabled());
    QCOMPARE(m_window->saveDocument(), false);
}

void tst_MainWindow::menuStructure()
{
    QStringList lines;
    const auto describe = [&lines](QMenu* m, const QString& indent, auto&& self) -> void {
        lines << indent + m->title();
        for (QAction* a : m->actions()) {
            if (a->isSeparator())
                lines << indent + QStringLiteral("  --");
            else if (a->menu())
                self(a->menu(), indent + QStringLiteral("  "), self);
            else
                lines << indent + QStringLiteral("  ") + a->text();
        }
    };
    for (QAction* top : menu()->actions())
        describe(top->menu(), QString(), describe);
    const QStringList expected = {
        "File", "  New", "  Open...", "  Save", "  Save as...", "  Close", "  --", "  Exit",
        "Light", "  Info", "  Sequence", "    Add", "    Remove", "  Frame", "    Add", "    Add...", "    Remove",
        "Tools", "  Reset", "  Next", "  --", "  Setup Port", "  Compile && Write", "  --", "  MspBoot", "  MspBootDialog",
        "Help", "  About"};
    QCOMPARE(lines, expected);
    QCOMPARE(menu()->action_Reset->shortcut(), QKeySequence(Qt::Key_F10));
    QCOMPARE(menu()->action_Next->shortcut(), QKeySequence(Qt::Key_F11));
    QCOMPARE(menu()->action_Save->shortcuts(), QKeySequence::keyBindings(QKeySequence::Save));
    QCOMPARE(menu()->action_New->parent(), menu());
    QCOMPARE(menu()->action_Exit->parent(), m_window);
}

void tst_MainWindow::composeSaveAndReopen()
{
    LedPanelDocument* doc = newDocumentWithFrames(2);
    QVERIFY(doc);
    QVERIFY(m_window->isWindowModified());
    QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("LedPanel_")));

    const QModelIndex sequenceIndex = doc->treeModel()->index(0, 0, QModelIndex());
    QCOMPARE(doc->treeModel()->rowCount(sequenceIndex), 2);
    clickTreeRow(doc->treeModel()->index(1, 0, sequenceIndex));
    QCOMPARE(doc->currentFrame(), doc->sequence(0)->frame(1));

    // LED 0 of the default ring sits at the top, LED 12 to the right of the centre.
    clickLed(QPointF(0, -45));
    clickLed(QPointF(45, 0));
    QCOMPARE(doc->sequence(0)->frame(1)->leds().at(0)->intensity(), 1);
    QCOMPARE(doc->sequence(0)->frame(1)->leds().at(12)->intensity(), 1);

    const QString path = m_dir.filePath(QStringLiteral("show.xml"));
    ModalAnswer::fileDialog(path);
    menu()->action_Save->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY(QFile::exists(path));
    QVERIFY(!m_window->isWindowModified());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("show.xml[*]"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Document saved"));

    // A second save goes straight to the file.
    clickLed(QPointF(0, -45));
    QVERIFY(m_window->isWindowModified());
    menu()->action_Save->trigger();
    QVERIFY(!m_window->isWindowModified());

    menu()->action_New->trigger();
    QVERIFY(document() != doc);
    ModalAnswer::fileDialog(path);
    menu()->action_Open->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    LedPanelDocument* reopened = document();
    QCOMPARE(reopened->fileName(), QStringLiteral("show.xml"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Document loaded"));
    QCOMPARE(reopened->sequenceCount(), 1);
    QCOMPARE(reopened->sequence(0)->frameCount(), 2);
    const QList<LedData*> leds = reopened->sequence(0)->frame(1)->leds();
    QCOMPARE(leds.count(), 192);
    QCOMPARE(leds.at(0)->intensity(), 0);
    QCOMPARE(leds.at(12)->intensity(), 1);
    QVERIFY(!m_window->isWindowModified());
}

void tst_MainWindow::appendLedStates_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("expectedFrames");
    QTest::newRow("default") << -1 << true << 10;
    QTest::newRow("three") << 3 << true << 3;
    QTest::newRow("cancelled") << 5 << false << 0;
    QTest::newRow("maximum") << 999 << true << 999;
}

void tst_MainWindow::appendLedStates()
{
    QFETCH(int, typed);
    QFETCH(bool, confirm);
    QFETCH(int, expectedFrames);
    LedPanelDocument* doc = newDocumentWithFrames(0);
    QVERIFY(doc);
    doc->setModified(false);

    ModalAnswer::onNext([=](QWidget* widget) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Append LedStates"));
        QCOMPARE(dialog->labelText(), QStringLiteral("Number:"));
        QCOMPARE(dialog->intValue(), 10);
        auto* spin = dialog->findChild<QSpinBox*>();
        QVERIFY(spin);
        if (typed >= 0) {
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(typed));
        }
        if (confirm)
            QTest::keyClick(spin, Qt::Key_Return);
        else
            dialog->reject();
    });
    menu()->action_AddFrames->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(doc->sequence(0)->frameCount(), expectedFrames);
    QCOMPARE(doc->treeModel()->rowCount(doc->treeModel()->index(0, 0, QModelIndex())), expectedFrames);
    QCOMPARE(doc->isModified(), expectedFrames > 0);
}

void tst_MainWindow::removeCommandsMarkModified()
{
    LedPanelDocument* doc = newDocumentWithFrames(2);
    QVERIFY(doc);
    const QModelIndex sequenceIndex = doc->treeModel()->index(0, 0, QModelIndex());
    clickTreeRow(doc->treeModel()->index(0, 0, sequenceIndex));
    clickLed(QPointF(0, -45));

    doc->setModified(false);
    menu()->action_RemoveFrame->trigger();
    QCOMPARE(doc->sequence(0)->frameCount(), 1);
    QVERIFY(doc->isModified());

    doc->setModified(false);
    clickTreeRow(doc->treeModel()->index(0, 0, QModelIndex()));
    menu()->action_RemoveFrame->trigger(); // a sequence is current, not a frame
    QCOMPARE(doc->sequence(0)->frameCount(), 1);
    QVERIFY(!doc->isModified());

    menu()->action_RemoveSequence->trigger();
    QCOMPARE(doc->sequenceCount(), 0);
    QCOMPARE(doc->treeModel()->rowCount(QModelIndex()), 0);
    QVERIFY(doc->isModified());
}

void tst_MainWindow::cancelledSaveQuestionKeepsDocument()
{
    LedPanelDocument* doc = newDocumentWithFrames(1);
    QVERIFY(doc);
    QString text;
    ModalAnswer::messageBox(QMessageBox::Cancel, &text);
    menu()->action_New->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(text, QStringLiteral("%1 has been modified.\nDo you want to save changes?").arg(doc->fileName()));
    QCOMPARE(document(), doc);
    QVERIFY(doc->isModified());
    QCOMPARE(doc->sequence(0)->frameCount(), 1);

    ModalAnswer::messageBox(QMessageBox::Cancel);
    menu()->action_Close->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(document(), doc);
}

void tst_MainWindow::failedOpenKeepsPreviousDocument()
{
    const QString bad = m_dir.filePath(QStringLiteral("bad.xml"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n<LedPanelDocument version=\"2.0\"/>\n");
    file.close();

    LedPanelDocument* doc = newDocumentWithFrames(1);
    QVERIFY(doc);
    const QString title = m_window->windowTitle();
    ModalAnswer::messageBox(QMessageBox::Discard);
    ModalAnswer::fileDialog(bad);
    QString warning;
    ModalAnswer::messageBox(QMessageBox::Ok, &warning);
    menu()->action_Open->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY(warning.contains(QStringLiteral("Error occur while reading xml data of")));
    QCOMPARE(document(), doc);
    QCOMPARE(m_window->windowTitle(), title);
    QCOMPARE(doc->sequenceCount(), 1);

    // A cancelled file dialog keeps it too.
    doc->setModified(false);
    ModalAnswer::fileDialog(QString());
    menu()->action_Open->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(document(), doc);
}

void tst_MainWindow::closingDocumentClearsTitle()
{
    LedPanelDocument* doc = newDocumentWithFrames(0);
    QVERIFY(doc);
    QVERIFY(m_window->isWindowModified());
    ModalAnswer::messageBox(QMessageBox::Discard);
    menu()->action_Close->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(m_window->currentDocument(), nullptr);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("[*]"));
    QVERIFY(!m_window->isWindowModified());
}

void tst_MainWindow::cancelledCloseLeavesSettingsUntouched()
{
    QVERIFY(newDocumentWithFrames(1));
    ModalAnswer::messageBox(QMessageBox::Cancel);
    QVERIFY(!m_window->close());
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY(m_window->isVisible());
    QVERIFY(document());
    QVERIFY(!QFile::exists(settingsFile()));

    m_window->move(320, 240);
    ModalAnswer::messageBox(QMessageBox::Discard);
    QVERIFY(m_window->close());
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(m_window->currentDocument(), nullptr);
    QSettings settings(settingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("SerialPort/Name")).toString(), QStringLiteral("COM1"));
    QCOMPARE(settings.value(QStringLiteral("MainWindow/Size")).toSize(), m_window->size());
    QCOMPARE(settings.value(QStringLiteral("MainWindow/Position")).toPoint(), m_window->pos());
}

void tst_MainWindow::aboutBoxShowsVersion()
{
    menu()->action_About->trigger();
    QDialog* about = m_window->findChild<QDialog*>(QStringLiteral("AboutDialog"));
    QVERIFY(about);
    QVERIFY(about->isModal());
    auto* version = about->findChild<QLabel*>(QStringLiteral("label_version"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("version: 1.0"));
    auto* close = about->findChild<QAbstractButton*>(QStringLiteral("pushButton_Close"));
    QVERIFY(close);
    QTest::mousePress(close, Qt::LeftButton);
    QTRY_VERIFY(!about->isVisible());
    QTest::mouseRelease(close, Qt::LeftButton);
    QTRY_VERIFY(m_window->findChild<QDialog*>(QStringLiteral("AboutDialog")) == nullptr);
}

void tst_MainWindow::acceptedPortSetupUpdatesActions()
{
    const auto acceptSetup = [this]() {
        ModalAnswer::onNext([](QWidget* widget) {
            auto* ok = widget->findChild<QAbstractButton*>(QStringLiteral("pushButton_OK"));
            QVERIFY(ok);
            QTest::mousePress(ok, Qt::LeftButton);
        });
        menu()->action_SetupPort->trigger();
        QTRY_VERIFY(ModalAnswer::allAnswered());
    };
    acceptSetup();
    QVERIFY(!menu()->action_Save->isEnabled());
    QVERIFY(!menu()->action_Close->isEnabled());
    QVERIFY(menu()->action_New->isEnabled());

    menu()->action_New->trigger();
    acceptSetup();
    QVERIFY(menu()->action_Save->isEnabled());
    QVERIFY(menu()->action_Close->isEnabled());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
