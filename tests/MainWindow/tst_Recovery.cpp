#include "Data/CommandList.h"
#include "Document/AutosaveWriter.h"
#include "Document/RecoveryFolder.h"
#include "MainWindow/AutosaveController.h"

#include "DataColumns.h"
#include "FileSizeLimit.h"
#include "ModalAnswer.h"
#include "NewDocument.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

#include <cstdio>
#include <functional>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList recoveryFiles(const QString& pattern = QStringLiteral("*.xml"))
{
    return QDir(AutosaveWriter::recoveryDirectory()).entryList({ pattern }, QDir::Files);
}

// Alters the files a gone writer left at stem, for a show of the file target; false when this user cannot.
using Setup = std::function<bool(const QString& stem, const QString& target)>;

// Presses the button of the next message box that reads answer; its text and buttons go to the caller.
void answerBox(const QString& answer, QString* text, QStringList* buttons)
{
    ModalAnswer::onNext([=](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        const QList<QAbstractButton*> all = box ? box->buttons() : QList<QAbstractButton*>();
        for (QAbstractButton* button : all)
            *buttons << plainText(button->text());
        if (box)
            *text = box->text();
        if (box && answer == QLatin1String("Esc"))
            return QTest::keyClick(box, Qt::Key_Escape);
        if (buttons->contains(answer))
            return all.at(buttons->indexOf(answer))->click();
        QTest::qFail("no message box with the answer's button", __FILE__, __LINE__);
        if (auto* dialog = qobject_cast<QDialog*>(widget))
            dialog->reject();
    });
}

// The editor that is killed once it has autosaved; what it then holds goes to expectedPath.
int runEditor(const QString& showPath, const QString& expectedPath, bool editAfter)
{
    MainWindow window;
    LedPanelDocument* document = newDocumentWithFrames(window, 3);
    if (!document || !document->save(showPath))
        return 1;
    QAction* addFrame = qobject_cast<MainMenu*>(window.menuBar())->action_AddFrame;
    for (int i = 0; i < 2; ++i)
        addFrame->trigger();
    if (!QTest::qWaitFor([] { return !recoveryFiles().isEmpty(); }, 20000))
        return 1;
    window.autosave()->writer()->waitForDone();
    if (editAfter)
        addFrame->trigger();
    if (!writeFile(expectedPath, writtenShow(*document)))
        return 1;
    std::puts("autosaved");
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_Recovery : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_data.isValid() && m_dir.isValid());
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        QVERIFY(AutosaveWriter::recoveryDirectory().startsWith(m_data.path()));
    }

    void init()
    {
        QDir(AutosaveWriter::recoveryDirectory()).removeRecursively();
        QDir().mkpath(AutosaveWriter::recoveryDirectory());
        QFile::remove(settingsFile());
        QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("Document/AutosaveSeconds"), 5);
    }

    void cleanup() { QVERIFY(closeWindow()); }

    void killedEditorIsRecovered_data()
    {
        const auto add = dataColumns<int, int>("signal", "frames"); // frames of the recovered show
        add("killed", SIGKILL, 5);
        // As at logging out or shutting down: the edit since the last autosave is kept too.
        add("terminated", SIGTERM, 6);
    }

    void killedEditorIsRecovered()
    {
        const auto [signal, frames] = fetchColumns<int, int>("signal", "frames");
        const QString show = m_dir.filePath(QStringLiteral("show.xml"));
        const QString expected = m_dir.filePath(QStringLiteral("expected.xml"));
        QProcess editor;
        editor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        editor.start(QCoreApplication::applicationFilePath(),
                     { QStringLiteral("--editor"), show, expected, QString::number(signal == SIGTERM) });
        QVERIFY(editor.waitForReadyRead(30000) && editor.readAllStandardOutput().contains("autosaved"));
        QCOMPARE(editor.state(), QProcess::Running);
        ::kill(pid_t(editor.processId()), signal); // SIGKILL leaves no chance to clean up
        QVERIFY(editor.waitForFinished());
        QCOMPARE(recoveryFiles().size(), 1);
        QCOMPARE(recoveryFiles(QStringLiteral("*.lock")).size(), 1);
        // Another editor's writer, alive and holding its lock: its file is neither offered nor removed.
        AutosaveWriter other;
        auto* copy = new LedPanelModel;
        QVERIFY(other.isLocked() && readShow(*copy, showXml(layoutXml(1, 4) + sequenceXml(0, 1))));
        QVERIFY(other.write(copy, QString(), QStringLiteral("LedPanel_9")));
        other.waitForDone();

        QString text;
        ModalAnswer::messageBox(QMessageBox::Yes, &text);
        m_window = new MainWindow;
        QVERIFY(m_window->offerRecovery());
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(text, QDir::toNativeSeparators(QFileInfo(show).canonicalFilePath())
                           + QStringLiteral(" was not saved when Tessaloom last stopped. Recover it?"));
        QVERIFY(document() && document()->isModified());
        QCOMPARE(document()->filePath(), QFileInfo(show).canonicalFilePath());
        QCOMPARE(document()->sequence(0)->frameCount(), frames);
        QVERIFY(m_window->saveDocument());
        const QByteArray held = fileContents(expected);
        QVERIFY(!held.isEmpty());
        QCOMPARE(fileContents(show), held);
        QCOMPARE(recoveryFiles(), QStringList { QFileInfo(other.filePath()).fileName() });
    }

    void recoveryFolder_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("answer"); // Yes, No or Esc, Keep or Delete; empty: no question may come
        QTest::addColumn<QString>("says"); // %1: the recorded show's full path
        QTest::addColumn<QString>("warning");

        const Setup nothing = [](const QString&, const QString&) { return true; };
        const auto file = [](const char* suffix, const QByteArray& contents) {
            return Setup([=](const QString& stem, const QString&) { return writeFile(stem + suffix, contents); });
        };
        const auto fifo = [](const char* suffix) {
            return [suffix](const QString& stem, const QString&) {
                QFile::remove(stem + QLatin1String(suffix));
                return ::mkfifo(QFile::encodeName(stem + QLatin1String(suffix)).constData(), 0600) == 0;
            };
        };
        const auto recordedPath = [](const QString& path) {
            return [path](const QString& stem, const QString& target) {
                QSettings(stem + QStringLiteral(".ini"), QSettings::IniFormat)
                    .setValue(AutosaveWriter::infoKeyPath(), path.isEmpty() ? target + QStringLiteral(".link") : path);
                QFile::remove(target + QStringLiteral(".link"));
                return path.isEmpty() ? QFile::link(target, target + QStringLiteral(".link")) : true;
            };
        };
        const QString askSave = QStringLiteral("Save will ask where to save it.");

        QTest::newRow("yes") << nothing << "Yes" << "%1 was not saved" << QString();
        QTest::newRow("no deletes") << nothing << "No" << "%1 was not saved" << QString();
        QTest::newRow("Esc keeps it for later") << nothing << "Esc" << "%1 was not saved" << QString();
        QTest::newRow("settings a FIFO") << Setup(fifo(".ini")) << "Yes" << "a was not saved" << QString();
        QTest::newRow("lock a FIFO") << Setup(fifo(".lock")) << QString() << QString() << QString();
        QTest::newRow("empty lock") << file(".lock", "") << "No" << "%1 was not saved" << QString();
        // A power cut can leave a lock of zeros.
        QTest::newRow("garbled lock") << file(".lock", QByteArray(64, 0)) << "Yes" << "%1 was not saved" << QString();
        QTest::newRow("cut-off show") << file(".xml", "<LedPanelDocument") << "Keep" << "cannot be read:\nLine 1"
                                      << QString();
        QTest::newRow("oversized show") << Setup([](const QString& stem, const QString&) {
            return QFile::resize(stem + QStringLiteral(".xml"), RecoveryFolder::MaxShowBytes + 1);
        }) << "Delete" << "larger than any show" << QString();
        QTest::newRow("unreadable show") << Setup([](const QString& stem, const QString&) {
            // Root reads it all the same.
            return ::geteuid() != 0 && QFile::setPermissions(stem + QStringLiteral(".xml"), {});
        }) << "Keep" << "Permission denied" << QString();
        QTest::newRow("show a link") << Setup([](const QString& stem, const QString& target) {
            return QFile::remove(stem + QStringLiteral(".xml")) && QFile::link(target, stem + QStringLiteral(".xml"));
        }) << QString() << QString() << QString();
        QTest::newRow("another user's show") << Setup([](const QString& stem, const QString&) {
            // Only root gives a file away.
            return ::geteuid() == 0
                   && ::chown(QFile::encodeName(stem + QStringLiteral(".xml")).constData(), 65534, 65534) == 0;
        }) << QString() << QString() << QString();
        QTest::newRow("unknown layout") << file(".xml", showXml(layoutXml(2, 3, "Hexagon"))) << "Yes"
                                        << "%1 was not saved"
                                        << LedPanelModel::unknownLayoutText(QStringLiteral("Hexagon"));
        QTest::newRow("untitled") << Setup([](const QString& stem, const QString&) {
            QSettings(stem + QStringLiteral(".ini"), QSettings::IniFormat).remove(AutosaveWriter::infoKeyPath());
            return true;
        }) << "Yes" << "show.xml was not saved" << QString();
        QTest::newRow("recorded path a link") << Setup(recordedPath(QString())) << "Yes" << askSave << QString();
        QTest::newRow("recorded path a device") << Setup(recordedPath(QStringLiteral("/dev/null"))) << "No" << askSave
                                                << QString();
    }

    void recoveryFolder()
    {
        auto [setup, answer, says, warning] =
            fetchColumns<Setup, QString, QString, QString>("setup", "answer", "says", "warning");
        const QString stem = AutosaveWriter::recoveryDirectory() + QStringLiteral("/a");
        const QString targetPath = leaveRecoveryFile(stem);
        QVERIFY(!targetPath.isEmpty());
        if (!setup(stem, targetPath))
            QSKIP("this user cannot arrange that here");

        QString text, shownWarning;
        QStringList offered;
        const QStringList buttons = answer.isEmpty()       ? QStringList()
            : answer.startsWith('K') || answer == "Delete" ? QStringList { "Keep", "Delete" }
                                                           : QStringList { "Cancel", "Yes", "No" };
        if (!answer.isEmpty())
            answerBox(answer, &text, &offered);
        if (!warning.isEmpty())
            ModalAnswer::messageBox(QMessageBox::Ok, &shownWarning);
        // No question is due: one that comes anyway is noted and closed, not waited on.
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                offered << QStringLiteral("unexpected");
                dialog->reject();
            }
        });
        if (answer.isEmpty())
            guard.start(50);
        m_window = new MainWindow;
        const bool recovered = m_window->offerRecovery();
        guard.stop();
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(offered, buttons);
        QVERIFY2(text.contains(says.replace(QStringLiteral("%1"), QDir::toNativeSeparators(targetPath))),
                 qPrintable(text));
        QCOMPARE(shownWarning, warning);
        QCOMPARE(recovered, answer == QLatin1String("Yes"));
        // The offered file stays only when kept or never offered.
        const QFileInfo offeredFile(stem + QStringLiteral(".xml"));
        QCOMPARE(offeredFile.exists() || offeredFile.isSymLink(),
                 answer.isEmpty() || answer == QLatin1String("Keep") || answer == QLatin1String("Esc"));
        if (!recovered)
            return;
        // An edit undone takes the show back to what was recovered, which no file holds yet.
        menu()->action_AddSequence->trigger();
        document()->undoStack()->undo();
        QVERIFY(m_window->isWindowModified());
        // Save writes where the question said, and only there; an untitled show asks.
        const QString path = m_window->currentDocument()->filePath();
        QVERIFY(path.isEmpty() || path == targetPath);
        if (path.isEmpty())
            ModalAnswer::fileDialog(QString());
        QCOMPARE(m_window->saveDocument(), !path.isEmpty());
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(fileContents(targetPath) != "original", !path.isEmpty());
        QVERIFY(path.isEmpty() || text.startsWith(QDir::toNativeSeparators(path) + QStringLiteral(" was")));
    }

    // Closed with its changes discarded; a save's removal is killedEditorIsRecovered's.
    void saveAndCloseRemoveTheFile()
    {
        QVERIFY(autosavedShow(2));
        QCOMPARE(recoveryFiles().size(), 1);
        ModalAnswer::messageBox(QMessageBox::Discard);
        QVERIFY(triggerAnswered(menu()->action_Close));
        QVERIFY(recoveryFiles().isEmpty());
        QVERIFY(recoveryFiles(QStringLiteral("*.ini")).isEmpty());
    }

    void failedAutosave_data()
    {
        QTest::addColumn<QString>("start"); // "saved" and autosaved once, "new" or "recovered"
        QTest::addColumn<int>("limit"); // bytes a file may have while it fails; of a saved show, which of limitsFor()
        QTest::addColumn<QString>("says");
        const QString kept = QStringLiteral("File too large. The recovery file from before is kept.");
        const QString none = QStringLiteral(". This document has no recovery file yet.");
        QTest::newRow("cut in the first block") << "saved" << 0 << kept;
        QTest::newRow("cut at a block's end") << "saved" << 1 << kept;
        QTest::newRow("cut in the last block") << "saved" << 2 << kept;
        // 200 bytes leave room for the lock and the document's name, not for the show.
        QTest::newRow("a new show") << "new" << 200 << "File too large" + none;
        QTest::newRow("a new show, no room for the lock") << "new" << 8 << ".lock" + none;
        QTest::newRow("a recovered show") << "recovered" << 200 << kept;
    }

    // Autosaves cut short say so once, not at each. A show with no recovery file yet says so; the others keep the
    // file from before, a recovered show the one it came from until its own is written.
    void failedAutosave()
    {
        auto [start, limit, says] = fetchColumns<QString, int, QString>("start", "limit", "says");
        const QString stem = AutosaveWriter::recoveryDirectory() + QStringLiteral("/a");
        QVERIFY(start != QLatin1String("recovered") || !leaveRecoveryFile(stem).isEmpty());
        // Only the autosaves below: one of the interval's own, on a slow run, could fall inside or outside the cut.
        QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("Document/AutosaveSeconds"), 3600);
        QString autosaved;
        QByteArray before;
        if (start == QLatin1String("saved")) {
            QVERIFY(autosavedShow(40));
            autosaved = m_window->autosave()->writer()->filePath();
            before = fileContents(autosaved);
            QVERIFY(!before.isEmpty());
            menu()->action_AddFrame->trigger();
            const QList<qint64> limits = FileSizeLimit::limitsFor(writtenShow(*document()).size());
            QCOMPARE(limits.size(), 3);
            limit = int(limits.at(limit));
        } else {
            m_window = new MainWindow;
        }
        QSignalSpy failures(m_window->autosave(), &AutosaveController::failed);
        {
            const FileSizeLimit limited(limit);
            if (start == QLatin1String("recovered")) {
                ModalAnswer::messageBox(QMessageBox::Yes);
                QVERIFY(m_window->offerRecovery());
            } else if (start == QLatin1String("new")) {
                QVERIFY(newDocumentWithFrames(*m_window, 2));
                menu()->action_AddFrame->trigger();
            }
            for (int i = 0; i < 2; ++i)
                QVERIFY(autosaveNow());
            QCoreApplication::processEvents(); // the writers' reports, queued by now
        }
        QCOMPARE(failures.size(), 1);
        const QString failure = failures.first().first().toString();
        QVERIFY2(failure.endsWith(says), qPrintable(failure));
        // A menu entry's tip shown and gone, as the mouse passes over it, leaves the notice standing.
        for (const QString& tip : { QStringLiteral("Open an existing document"), QString() }) {
            QStatusTipEvent event(tip);
            QCoreApplication::sendEvent(m_window, &event);
        }
        QCOMPARE(m_window->statusBar()->currentMessage(), failure);
        if (start == QLatin1String("saved")) {
            QCOMPARE(fileContents(autosaved), before);
            QCOMPARE(recoveryFiles(QStringLiteral("*")).size(), 3); // the show, its document's name and the lock
        }
        QCOMPARE(QFile::exists(stem + QStringLiteral(".xml")), start == QLatin1String("recovered"));
        // The document itself is as modified as before; its files are kept for this editor, not offered to another.
        QVERIFY(m_window->isWindowModified());
        QVERIFY(RecoveryFolder::orphans().isEmpty());
        // Once autosave writes again, the status bar stops saying it fails and a recovered show's first file goes.
        QVERIFY(autosaveNow());
        QCoreApplication::processEvents();
        QVERIFY(m_window->statusBar()->currentMessage().isEmpty());
        QCOMPARE(recoveryFiles().size(), 1);
        QVERIFY(!QFile::exists(stem + QStringLiteral(".xml")) && !QFile::exists(stem + QStringLiteral(".ini")));
    }

    // The show's file was saved by another editor after this one stopped: Save asks before writing over that.
    void recoveredOverAnotherSave()
    {
        QVERIFY(autosavedShow(2));
        const QString show = document()->filePath();
        const QString left = m_window->autosave()->writer()->filePath().chopped(4);
        const QString stem = AutosaveWriter::recoveryDirectory() + QStringLiteral("/a");
        for (const QString suffix : { ".xml", ".ini" }) // as a writer that is gone leaves them
            QVERIFY(QFile::copy(left + suffix, stem + suffix));
        QVERIFY(closeWindow());
        const QByteArray theirs = showXml(layoutXml(3, 3));
        QVERIFY(writeFile(show, theirs));

        ModalAnswer::messageBox(QMessageBox::Yes);
        m_window = new MainWindow;
        QVERIFY(m_window->offerRecovery());
        QString text;
        ModalAnswer::messageBox(QMessageBox::Cancel, &text);
        QVERIFY(!m_window->saveDocument());
        QVERIFY(ModalAnswer::allAnswered());
        QVERIFY2(text.startsWith("s.xml was changed by another program"), qPrintable(text));
        QCOMPARE(fileContents(show), theirs);
        QVERIFY(m_window->isWindowModified());
    }

    // A clean-up removed the recovery folder while the editor runs: the next autosave puts it back, lock and all.
    void recoveryFolderRemoved()
    {
        QVERIFY(autosavedShow(2));
        QSignalSpy failures(m_window->autosave(), &AutosaveController::failed);
        QVERIFY(QDir(AutosaveWriter::recoveryDirectory()).removeRecursively());
        menu()->action_AddFrame->trigger();
        QVERIFY(autosaveNow());
        QCoreApplication::processEvents();
        QCOMPARE(failures.size(), 0);
        QCOMPARE(recoveryFiles(QStringLiteral("*")).size(), 3);
        QVERIFY(RecoveryFolder::orphans().isEmpty());

        // Where it cannot come back, the failure does not say that a recovery file is kept.
        const QString folder = AutosaveWriter::recoveryDirectory();
        QVERIFY(QDir(folder).removeRecursively() && writeFile(folder, "a file"));
        const auto remove = qScopeGuard([&] { QFile::remove(folder); });
        menu()->action_AddFrame->trigger();
        QVERIFY(autosaveNow());
        QCoreApplication::processEvents();
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.first().first().toString().endsWith(" has no recovery file yet."),
                 qPrintable(failures.first().first().toString()));
    }

private:
    bool autosaveNow() const
    {
        // The interval's own autosave may be writing already (a slow run takes seconds): that one ends first.
        if (AutosaveWriter* running = m_window->autosave()->writer())
            running->waitForDone();
        const bool started = m_window->autosave()->autosave();
        m_window->autosave()->writer()->waitForDone();
        return started;
    }

    LedPanelDocument* autosavedShow(int frames)
    {
        m_window = new MainWindow;
        LedPanelDocument* document = newDocumentWithFrames(*m_window, frames);
        if (!document || !document->save(m_dir.filePath(QStringLiteral("s.xml"))))
            return nullptr;
        menu()->action_AddFrame->trigger();
        return autosaveNow() ? document : nullptr;
    }

    // The file show.xml, and at stem the recovery file of a show for it that a writer now gone left. The
    // file's canonical path; empty on failure.
    QString leaveRecoveryFile(const QString& stem)
    {
        const QString target = m_dir.filePath(QStringLiteral("show.xml"));
        if (!writeFile(target, "original"))
            return QString();
        const QString path = QFileInfo(target).canonicalFilePath();
        QSettings info(stem + QStringLiteral(".ini"), QSettings::IniFormat);
        info.setValue(AutosaveWriter::infoKeyPath(), path);
        info.setValue(AutosaveWriter::infoKeyName(), QStringLiteral("show.xml"));
        const QByteArray xml = showXml(layoutXml(2, 3) + sequenceXml(0, 2, 6, [](int f, int i) { return f + i; }));
        return writeFile(stem + QStringLiteral(".xml"), xml) ? path : QString();
    }

    QTemporaryDir m_data;
    QTemporaryDir m_dir;
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--editor"))
        return runEditor(app.arguments().value(2), app.arguments().value(3), app.arguments().value(4) == "1");
    tst_Recovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Recovery.moc"
