#include "Data/CommandList.h"
#include "Document/AutosaveWriter.h"
#include "Document/LedPanelDocument.h"
#include "MainWindow/AutosaveController.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainSettings.h"
#include "MainWindow/MainWindow.h"

#include "FileSizeLimit.h"
#include "ModalAnswer.h"
#include "NewDocument.h"
#include "TestData.h"

#include <QtTest>
#include <QtWidgets>

#include <cstdio>

namespace {

QString settingsFile()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini");
}

QStringList recoveryFiles(const QString& pattern = QStringLiteral("*.xml"))
{
    return QDir(AutosaveWriter::recoveryDirectory()).entryList({ pattern }, QDir::Files);
}

// The editor that is killed: saves a show, edits it further, and waits for its
// autosave; what it holds then goes to expectedPath.
int runEditor(const QString& showPath, const QString& expectedPath)
{
    MainWindow window;
    LedPanelDocument* document = newDocumentWithFrames(window, 3);
    if (!document || !document->save(showPath))
        return 1;
    auto* menu = qobject_cast<MainMenu*>(window.menuBar());
    menu->action_AddFrame->trigger();
    menu->action_AddFrame->trigger();
    QFile expected(expectedPath);
    if (!expected.open(QFile::WriteOnly) || !document->writeXML(&expected))
        return 1;
    expected.close();
    if (!QTest::qWaitFor([] { return !recoveryFiles().isEmpty(); }, 20000))
        return 1;
    window.autosave()->writer()->waitForDone();
    std::puts("autosaved");
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace

class tst_Recovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void killedEditorIsRecovered();
    void question_data();
    void question();
    void fileOfLiveEditorIsLeftAlone();
    void saveAndCloseRemoveTheFile_data();
    void saveAndCloseRemoveTheFile();
    void failedAutosave_data();
    void failedAutosave();

private:
    // A recovery file as a writer that has gone leaves it.
    void leaveRecoveryFile(const QString& base, const QByteArray& xml, const QString& path, const QString& name);

    QTemporaryDir m_data;
    QTemporaryDir m_dir;
    MainWindow* m_window = nullptr;
};

void tst_Recovery::initTestCase()
{
    QVERIFY(m_data.isValid() && m_dir.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    QVERIFY(AutosaveWriter::recoveryDirectory().startsWith(m_data.path()));
}

void tst_Recovery::init()
{
    QDir(AutosaveWriter::recoveryDirectory()).removeRecursively();
    QDir().mkpath(AutosaveWriter::recoveryDirectory());
    QFile::remove(settingsFile());
    QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("Document/AutosaveSeconds"), 5);
}

void tst_Recovery::cleanup()
{
    delete m_window;
    m_window = nullptr;
    QVERIFY(ModalAnswer::allAnswered());
}

void tst_Recovery::leaveRecoveryFile(const QString& base, const QByteArray& xml, const QString& path,
                                     const QString& name)
{
    const QString stem = AutosaveWriter::recoveryDirectory() + QLatin1Char('/') + base;
    QFile file(stem + QStringLiteral(".xml"));
    QVERIFY(file.open(QFile::WriteOnly));
    file.write(xml);
    QSettings info(stem + QStringLiteral(".ini"), QSettings::IniFormat);
    info.setValue(AutosaveWriter::infoKeyPath(), path);
    info.setValue(AutosaveWriter::infoKeyName(), name);
}

void tst_Recovery::killedEditorIsRecovered()
{
    const QString show = m_dir.filePath(QStringLiteral("show.xml"));
    const QString expected = m_dir.filePath(QStringLiteral("expected.xml"));
    QProcess editor;
    editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    editor.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--editor"), show, expected });
    QVERIFY(editor.waitForStarted());
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += editor.readAllStandardOutput()).contains("autosaved")
                                 || editor.state() == QProcess::NotRunning,
                             30000);
    QCOMPARE(editor.state(), QProcess::Running);
    editor.kill(); // SIGKILL: nothing is cleaned up
    QVERIFY(editor.waitForFinished());
    QCOMPARE(recoveryFiles().size(), 1);
    QCOMPARE(recoveryFiles(QStringLiteral("*.lock")).size(), 1);

    QString text;
    ModalAnswer::messageBox(QMessageBox::Yes, &text);
    m_window = new MainWindow;
    QVERIFY(m_window->offerRecovery());
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(text, QStringLiteral("show.xml was not saved when Tessaloom last stopped. Recover it?"));
    auto* document = qobject_cast<LedPanelDocument*>(m_window->currentDocument());
    QVERIFY(document && document->isModified());
    QCOMPARE(document->filePath(), QFileInfo(show).canonicalFilePath());
    QCOMPARE(document->sequence(0)->frameCount(), 5);
    // Save writes over the original; the file then equals what the editor held.
    QVERIFY(m_window->saveDocument());
    QFile saved(show), held(expected);
    QVERIFY(saved.open(QFile::ReadOnly) && held.open(QFile::ReadOnly));
    QCOMPARE(saved.readAll(), held.readAll());
    QVERIFY(recoveryFiles().isEmpty());
}

void tst_Recovery::question_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("recovered");
    QTest::addColumn<int>("filesLeft");
    QTest::addColumn<QString>("note");

    const QByteArray good = showXml(layoutXml(2, 3) + sequenceXml(0, 2, 6, [](int f, int i) { return f + i; }));
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("yes") << good << yes << true << 0 << QString();
    QTest::newRow("no deletes") << good << no << false << 0 << QString();
    QTest::newRow("unreadable, yes") << QByteArray("<LedPanelDocument") << yes << false << 1 << "cannot be read";
    QTest::newRow("unreadable, no") << QByteArray("<nothing/>") << no << false << 1 << "cannot be read";
}

void tst_Recovery::question()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, answer);
    QFETCH(bool, recovered);
    QFETCH(int, filesLeft);
    QFETCH(QString, note);
    leaveRecoveryFile(QStringLiteral("a"), xml, QString(), QStringLiteral("LedPanel_7"));
    QString text, title;
    ModalAnswer::messageBox(QMessageBox::StandardButton(answer), &text, &title);
    m_window = new MainWindow;
    QCOMPARE(m_window->offerRecovery(), recovered);
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY2(text.startsWith(QStringLiteral("LedPanel_7 was not saved")), qPrintable(text));
    QCOMPARE(title, QCoreApplication::applicationName());
    QCOMPARE(text.contains(note), true);
    QCOMPARE(recoveryFiles().size(), filesLeft + (recovered ? 1 : 0));
    if (recovered) {
        QCOMPARE(m_window->currentDocument()->fileName(), QStringLiteral("LedPanel_7"));
        QVERIFY(m_window->isWindowModified());
        // The window's own file replaces the one offered.
        QVERIFY(!recoveryFiles().contains(QStringLiteral("a.xml")));
    }
}

void tst_Recovery::fileOfLiveEditorIsLeftAlone()
{
    // Another editor's writer, alive and holding its lock.
    AutosaveWriter other;
    QVERIFY(other.isLocked());
    auto* copy = new LedPanelModel;
    QVERIFY(readShow(*copy, showXml(layoutXml(1, 4) + sequenceXml(0, 1, 4, [](int, int i) { return i % 2; }))));
    QVERIFY(other.write(copy, QString(), QStringLiteral("LedPanel_9")));
    other.waitForDone();
    QCOMPARE(recoveryFiles().size(), 1);
    // Older, and its writer gone: offered; the live one is not even after a No.
    leaveRecoveryFile(QStringLiteral("old"), showXml(layoutXml(1, 4)), QString(), QStringLiteral("LedPanel_2"));
    QFile old(AutosaveWriter::recoveryDirectory() + QStringLiteral("/old.xml"));
    QVERIFY(old.open(QFile::ReadWrite)
            && old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    old.close();
    QString text;
    ModalAnswer::messageBox(QMessageBox::No, &text);
    m_window = new MainWindow;
    QVERIFY(!m_window->offerRecovery());
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY(text.startsWith(QStringLiteral("LedPanel_2")));
    QCOMPARE(recoveryFiles(), QStringList { QFileInfo(other.filePath()).fileName() });
}

void tst_Recovery::saveAndCloseRemoveTheFile_data()
{
    QTest::addColumn<QString>("step");
    QTest::newRow("save") << "save";
    QTest::newRow("close, discarded") << "discard";
    QTest::newRow("exit, discarded") << "exit";
    QTest::newRow("undone to clean") << "undo";
}

void tst_Recovery::saveAndCloseRemoveTheFile()
{
    QFETCH(QString, step);
    m_window = new MainWindow;
    LedPanelDocument* document = newDocumentWithFrames(*m_window, 2);
    QVERIFY(document && document->save(m_dir.filePath(QStringLiteral("s.xml"))));
    auto* menu = qobject_cast<MainMenu*>(m_window->menuBar());
    menu->action_AddFrame->trigger();
    QVERIFY(m_window->autosave()->autosave());
    m_window->autosave()->writer()->waitForDone();
    QCOMPARE(recoveryFiles().size(), 1);
    if (step == QLatin1String("save")) {
        QVERIFY(m_window->saveDocument());
    } else if (step == QLatin1String("undo")) {
        document->undoStack()->undo();
    } else {
        ModalAnswer::messageBox(QMessageBox::Discard);
        (step == QLatin1String("discard") ? menu->action_Close : menu->action_Exit)->trigger();
        QVERIFY(ModalAnswer::allAnswered());
    }
    QVERIFY(recoveryFiles().isEmpty());
    QVERIFY(recoveryFiles(QStringLiteral("*.ini")).isEmpty());
}

void tst_Recovery::failedAutosave_data()
{
    QTest::addColumn<int>("cut"); // which of FileSizeLimit::limitsFor()
    QTest::newRow("in the first block") << 0;
    QTest::newRow("at a block's end") << 1;
    QTest::newRow("in the last block") << 2;
}

// Autosaves cut short keep the recovery file from before, and the status bar says so once, not at each.
void tst_Recovery::failedAutosave()
{
    QFETCH(int, cut);
    m_window = new MainWindow;
    LedPanelDocument* document = newDocumentWithFrames(*m_window, 40);
    QVERIFY(document && document->save(m_dir.filePath(QStringLiteral("s.xml"))));
    auto* menu = qobject_cast<MainMenu*>(m_window->menuBar());
    menu->action_AddFrame->trigger();
    QVERIFY(m_window->autosave()->autosave());
    m_window->autosave()->writer()->waitForDone();
    QFile file(m_window->autosave()->writer()->filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    menu->action_AddFrame->trigger();
    const QList<qint64> limits = FileSizeLimit::limitsFor(writtenShow(*document).size());
    QCOMPARE(limits.size(), 3);
    QSignalSpy messages(m_window->statusBar(), &QStatusBar::messageChanged);
    {
        const FileSizeLimit limit(limits.at(cut));
        for (int i = 0; i < 2; ++i) {
            QVERIFY(m_window->autosave()->autosave());
            m_window->autosave()->writer()->waitForDone();
        }
    }
    QCoreApplication::processEvents(); // the writers' reports, queued by now
    QStringList failures;
    for (const QList<QVariant>& message : qAsConst(messages)) {
        if (message.value(0).toString().startsWith(QStringLiteral("Autosave failed")))
            failures += message.value(0).toString();
    }
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures.first().contains(QStringLiteral("File too large")), qPrintable(failures.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(recoveryFiles(QStringLiteral("*")).size(), 3); // the show, its document's name and the lock
    // The document itself is as modified as before.
    QVERIFY(m_window->isWindowModified());
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--editor"))
        return runEditor(app.arguments().value(2), app.arguments().value(3));
    tst_Recovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Recovery.moc"
