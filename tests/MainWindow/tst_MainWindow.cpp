#include "Data/CommandList.h"
#include "MspFlasher/MspFlasherDialog.h"
#include "SerialPort/SerialPortSetupDialog.h"

#include "ModalAnswer.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

typedef QAction* MainMenu::*MenuAction;
Q_DECLARE_METATYPE(MenuAction)

class tst_MainWindow : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showWithFrames(0)); }
    void cleanup() { QVERIFY(closeWindow()); }
    void saveAndReopen();
    void recentFiles();
    void documentSurvivesRefusals_data();
    void documentSurvivesRefusals();

private:
    QString status() const { return m_window->statusBar()->currentMessage(); }
    QTemporaryDir m_dir;
};

void tst_MainWindow::saveAndReopen()
{
    QVERIFY(addFrames(2));
    QVERIFY(m_window->isWindowModified() && m_window->windowTitle().startsWith(QStringLiteral("LedPanel_")));
    // The first Save asks for a file, a second one goes straight to it.
    const QString path = m_dir.filePath(QStringLiteral("show.xml"));
    ModalAnswer::fileDialog(path);
    menu()->action_Save->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("show.xml[*]"));
    QCOMPARE(status(), QStringLiteral("Document saved"));
    QVERIFY(addFrames(0)); // cancelled: nothing added, nothing changed
    QVERIFY(!m_window->isWindowModified());
    QVERIFY(addFrames(3) && m_window->isWindowModified());
    menu()->action_Save->trigger();
    QVERIFY(!m_window->isWindowModified());

    menu()->action_New->trigger();
    ModalAnswer::fileDialog(path);
    menu()->action_Open->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QVERIFY(!m_window->isWindowModified() && status() == QStringLiteral("Document loaded"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("show.xml[*]"));
    QCOMPARE(document()->sequence(0)->frameCount(), 5);
}

// Newest first, reopened from the menu, and a file gone since leaves the list.
void tst_MainWindow::recentFiles()
{
    QMenu* recent = m_window->findChild<QMenu*>(QStringLiteral("menu_RecentFiles"));
    QVERIFY(recent && !recent->isEnabled());
    const auto entries = [recent] {
        QStringList texts;
        for (QAction* action : recent->actions())
            texts << action->text();
        return texts;
    };
    const QString first = m_dir.filePath(QStringLiteral("a&b.xml")), second = m_dir.filePath(QStringLiteral("c.xml"));
    for (const QString& path : { first, second }) {
        ModalAnswer::fileDialog(path);
        menu()->action_SaveAs->trigger();
        QTRY_VERIFY(ModalAnswer::allAnswered());
    }
    QCOMPARE(entries(), QStringList({ "&1 c.xml", "&2 a&&b.xml" }));

    recent->actions().at(1)->trigger();
    QTRY_COMPARE(document()->filePath(), first);
    QCOMPARE(entries(), QStringList({ "&1 a&&b.xml", "&2 c.xml" }));
    QVERIFY(QFile::remove(second));
    recent->actions().at(1)->trigger();
    QTRY_COMPARE(entries(), QStringList({ "&1 a&&b.xml" }));
    QVERIFY(status().contains(QStringLiteral("no longer there")));
    QCOMPARE(document()->filePath(), first);
    QCOMPARE(QSettings(settingsFile(), QSettings::IniFormat).value(QStringLiteral("RecentFiles/List")).toStringList(),
             QStringList { first });
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
    QTest::newRow("open, empty file") << &MainMenu::action_Open << discard << m_dir.filePath("empty.xml") << true;
    QTest::newRow("close, discarded") << &MainMenu::action_Close << discard << QString() << false;
    // Leaving the program writes app.ini; a cancelled exit leaves it and the flasher window alone.
    QTest::newRow("exit, question cancelled") << &MainMenu::action_Exit << cancel << QString() << true;
    QTest::newRow("exit, discarded") << &MainMenu::action_Exit << discard << QString() << false;
}

void tst_MainWindow::documentSurvivesRefusals()
{
    QFETCH(MenuAction, action);
    QFETCH(int, answer);
    QFETCH(QString, file);
    QFETCH(bool, kept);
    QVERIFY(addFrames(3));
    LedPanelDocument* doc = document();
    m_window->move(320, 240);
    const QString title = m_window->windowTitle();
    QVERIFY(QFile(m_dir.filePath(QStringLiteral("empty.xml"))).open(QIODevice::WriteOnly));
    // An idle flasher window with the report of a refused run (no firmware file beside the program).
    menu()->action_MspBootDialog->trigger();
    QPointer<MspFlasherDialog> flasher = m_window->findChild<MspFlasherDialog*>();
    QVERIFY(flasher);
    QTest::mouseClick(flasher->findChild<QPushButton*>(QStringLiteral("flash")), Qt::LeftButton);
    QTRY_VERIFY(!flasher->isFlashing());
    const QString report = flasher->findChild<QPlainTextEdit*>()->toPlainText();
    // A run refused before any port opens ends with its refusal.
    QVERIFY(!report.isEmpty() && !report.contains(QStringLiteral("Finished")));

    // The save question first; its text is tst_Hardening's, the failed read's tst_LedPanelDocument's.
    ModalAnswer::messageBox(QMessageBox::StandardButton(answer));
    if (!file.isNull())
        ModalAnswer::fileDialog(file);
    if (!file.isEmpty())
        ModalAnswer::messageBox(QMessageBox::Ok);
    (menu()->*action)->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    QCOMPARE(document(), kept ? doc : nullptr);
    QCOMPARE(m_window->windowTitle(), kept ? title : QStringLiteral("[*]"));
    QCOMPARE(m_window->isWindowModified(), kept);
    QVERIFY(!kept || doc->sequence(0)->frameCount() == 3);
    const bool exited = !m_window->isVisible();
    QCOMPARE(exited, action == &MainMenu::action_Exit && !kept);
    QCOMPARE(QFile::exists(settingsFile()), exited);
    QTRY_COMPARE(flasher && flasher->isVisible(), !exited);
    QVERIFY(exited || flasher->findChild<QPlainTextEdit*>()->toPlainText() == report);
    if (exited) {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        // No port was saved: the first the system has, not a "COM1" that is not there.
        QCOMPARE(settings.value(QStringLiteral("SerialPort/Name")).toString(),
                 SerialPortSetupDialog::defaultPortName());
        QCOMPARE(settings.value(QStringLiteral("MainWindow/Size")).toSize(), m_window->size());
        QCOMPARE(settings.value(QStringLiteral("MainWindow/Position")).toPoint(), m_window->pos());
        return;
    }
    // Save, Save as and Close follow the document, also after a port setup accepted without one.
    const auto savable = [this](bool enabled) {
        const QList<QAction*> actions { menu()->action_Save, menu()->action_SaveAs, menu()->action_Close };
        return std::all_of(actions.cbegin(), actions.cend(), [=](QAction* a) { return a->isEnabled() == enabled; });
    };
    QVERIFY(savable(kept));
    ModalAnswer::onNext([](QWidget* setup) {
        QTest::mousePress(setup->findChild<QPushButton*>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
    });
    menu()->action_SetupPort->trigger();
    QTRY_VERIFY(ModalAnswer::allAnswered());
    if (!kept)
        menu()->action_New->trigger();
    QVERIFY(document() && savable(true));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
