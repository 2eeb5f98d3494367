#include "ModalAnswer.h"

#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QtTest>
#include <QtWidgets>

typedef QAction* MainMenu::*MenuAction;
Q_DECLARE_METATYPE(MenuAction)

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void composeSaveAndReopen();
    void appendLedStates_data();
    void appendLedStates();
    void documentSurvivesRefusals_data();
    void documentSurvivesRefusals();

private:
    MainMenu* menu() const { return qobject_cast<MainMenu*>(m_window->menuBar()); }
    LedPanelDocument* document() const { return qobject_cast<LedPanelDocument*>(m_window->currentDocument()); }
    QModelIndex index(int row, const QModelIndex& parent = QModelIndex()) const
    {
        return document()->treeModel()->index(row, 0, parent);
    }
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
    QFile file(m_dir.filePath(QStringLiteral("bad.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n<LedPanelDocument version=\"2.0\"/>\n");
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
    if (document())
        document()->setModified(false);
    delete m_window;
    QVERIFY(ModalAnswer::allAnswered());
}

void tst_MainWindow::clickTreeRow(const QModelIndex& index)
{
    auto* tree = document()->findChild<LedTreeView*>();
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(index).center());
}

void tst_MainWindow::clickLed(const QPointF& scenePosition)
{
    LedStateWidget* view = document()->ledFrame();
    view->ensureVisible(QRectF(scenePosition - QPointF(3, 3), QSizeF(6, 6)));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(scenePosition));
}

LedPanelDocument* tst_MainWindow::newDocumentWithFrames(int frames)
{
    menu()->action_New->trigger();
    menu()->action_AddSequence->trigger();
    clickTreeRow(index(0));
    for (int i = 0; i < frames; ++i)
        menu()->action_AddFrame->trigger();
    return document();
}

void tst_MainWindow::composeSaveAndReopen()
{
    LedPanelDocument* doc = newDocumentWithFrames(2);
    QVERIFY(m_window->isWindowModified());
    QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("LedPanel_")));
    clickTreeRow(index(1, index(0)));
    QCOMPARE(doc->currentFrame(), doc->sequence(0)->frame(1));
    // LED 0 of the default ring sits at the top, LED 12 to the right of the centre.
    clickLed(QPointF(0, -45));
    clickLed(QPointF(45, 0));

    // The first Save asks for a file, a second one goes straight to it.
    const QString path = m_dir.filePath(QStringLiteral("show.xml"));
    ModalAnswer::fileDialog(path);
    menu()->action_Save->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("show.xml[*]"));
    QVERIFY(!m_window->isWindowModified());
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Document saved"));
    clickLed(QPointF(0, -45));
    QVERIFY(m_window->isWindowModified());
    menu()->action_Save->trigger();
    QVERIFY(!m_window->isWindowModified());

    menu()->action_New->trigger();
    ModalAnswer::fileDialog(path);
    menu()->action_Open->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY(document() != doc);
    QCOMPARE(document()->fileName(), QStringLiteral("show.xml"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Document loaded"));
    QCOMPARE(document()->sequenceCount(), 1);
    QCOMPARE(document()->sequence(0)->frameCount(), 2);
    const QList<LedData*> leds = document()->sequence(0)->frame(1)->leds();
    QCOMPARE(leds.count(), 192);
    QCOMPARE(leds.at(0)->intensity(), 0);
    QCOMPARE(leds.at(12)->intensity(), 1);
    QVERIFY(!m_window->isWindowModified());
}

void tst_MainWindow::appendLedStates_data()
{
    QTest::addColumn<QString>("typed"); // empty: the dialog is cancelled
    QTest::addColumn<int>("expectedFrames");
    QTest::newRow("three") << "3" << 3;
    QTest::newRow("cancelled") << "" << 0;
    QTest::newRow("above the maximum") << "1000" << 100;
}

void tst_MainWindow::appendLedStates()
{
    QFETCH(QString, typed);
    QFETCH(int, expectedFrames);
    LedPanelDocument* doc = newDocumentWithFrames(0);
    doc->setModified(false);
    ModalAnswer::onNext([=](QWidget* widget) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Append LedStates"));
        auto* spin = dialog->findChild<QSpinBox*>();
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        if (typed.isEmpty())
            dialog->reject();
        else
            QTest::keyClick(spin, Qt::Key_Return);
    });
    menu()->action_AddFrames->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(doc->sequence(0)->frameCount(), expectedFrames);
    QCOMPARE(doc->treeModel()->rowCount(index(0)), expectedFrames);
    QCOMPARE(doc->isModified(), expectedFrames > 0);
}

void tst_MainWindow::documentSurvivesRefusals_data()
{
    QTest::addColumn<MenuAction>("action");
    QTest::addColumn<int>("answer");   // to the save question
    QTest::addColumn<QString>("file"); // for the open dialog; empty cancels it
    QTest::addColumn<bool>("kept");

    const int cancel = QMessageBox::Cancel, discard = QMessageBox::Discard;
    QTest::newRow("new, question cancelled") << &MainMenu::action_New << cancel << QString() << true;
    QTest::newRow("open, question cancelled") << &MainMenu::action_Open << cancel << QString() << true;
    QTest::newRow("close, question cancelled") << &MainMenu::action_Close << cancel << QString() << true;
    QTest::newRow("open, file dialog cancelled") << &MainMenu::action_Open << discard << "" << true;
    QTest::newRow("open, unreadable file") << &MainMenu::action_Open << discard << "bad.xml" << true;
    QTest::newRow("close, discarded") << &MainMenu::action_Close << discard << QString() << false;
    // Leaving the program writes app.ini, but only when the window really closes.
    QTest::newRow("exit, question cancelled") << &MainMenu::action_Exit << cancel << QString() << true;
    QTest::newRow("exit, discarded") << &MainMenu::action_Exit << discard << QString() << false;
}

void tst_MainWindow::documentSurvivesRefusals()
{
    QFETCH(MenuAction, action);
    QFETCH(int, answer);
    QFETCH(QString, file);
    QFETCH(bool, kept);
    LedPanelDocument* doc = newDocumentWithFrames(1);
    m_window->move(320, 240);
    const QString title = m_window->windowTitle();
    const QString name = doc->fileName();

    QString question, warning;
    ModalAnswer::messageBox(QMessageBox::StandardButton(answer), &question);
    if (!file.isNull())
        ModalAnswer::fileDialog(file.isEmpty() ? file : m_dir.filePath(file));
    if (!file.isEmpty())
        ModalAnswer::messageBox(QMessageBox::Ok, &warning);
    (menu()->*action)->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(question, QStringLiteral("%1 has been modified.\nDo you want to save changes?").arg(name));
    QVERIFY(file.isEmpty() || warning.startsWith(QStringLiteral("Error occur while reading xml data of")));

    QCOMPARE(document(), kept ? doc : nullptr);
    QCOMPARE(m_window->windowTitle(), kept ? title : QStringLiteral("[*]"));
    QCOMPARE(m_window->isWindowModified(), kept);
    if (kept)
        QCOMPARE(doc->sequence(0)->frameCount(), 1);
    const bool exited = !m_window->isVisible();
    QCOMPARE(exited, action == &MainMenu::action_Exit && !kept);
    QCOMPARE(QFile::exists(settingsFile()), exited);
    if (exited) {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("SerialPort/Name")).toString(), QStringLiteral("COM1"));
        QCOMPARE(settings.value(QStringLiteral("MainWindow/Size")).toSize(), m_window->size());
        QCOMPARE(settings.value(QStringLiteral("MainWindow/Position")).toPoint(), m_window->pos());
    }
}

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
