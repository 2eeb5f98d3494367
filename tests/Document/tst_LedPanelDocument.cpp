#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "Document/LedPanelInfoDialog.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedStateWidget.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"
#include "common/DataColumns.h"
#include "common/ModalAnswer.h"
#include "common/TestData.h"

#include <QtTest>
#include <QtWidgets>

#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class RecordingDocument : public AbstractDocument
{
public:
    QStringList saved;
    bool saveResult = true;
    bool load(const QString&) override { return true; }
    bool save(const QString& fileName) override { saved << fileName; return saveResult; }
};

class tst_LedPanelDocument : public QObject
{
    Q_OBJECT

private slots:
    void saveAndReload()
    {
        LedPanelDocument document;
        QVERIFY(document.load(file("layout.xml", layoutXml(3, 5) + sequenceXml(0, 3) + sequenceXml(1, 3))));
        document.setTitle(QStringLiteral("Front <panel> & co"));
        const int last = int(document.ledScene()->layout().ledCount()) - 1;
        document.sequence(1)->frame(2)->leds().at(last)->setIntensity(1);
        document.sequence(0)->frame(1)->leds().at(7)->setIntensity(-4);
        QVERIFY(!document.isModified());

        // A description changed alone in the info dialog is an edit to save too; control characters pasted in
        // (a form feed, an escape) have no place in an XML file and are left out.
        auto* dialog = new LedPanelInfoDialog(&document, &document);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* description = dialog->findChild<QPlainTextEdit*>(QStringLiteral("plainTextEdit_Description"));
        description->setPlainText("line one\f\nline two\x1b");
        QTest::mousePress(dialog->findChild<QPushButton*>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
        QVERIFY(!dialog->isVisible() && document.isModified());
        QCOMPARE(document.description(), QStringLiteral("line one\nline two"));

        // Saved through a roundabout path, the document keeps the canonical one.
        QVERIFY(QDir().mkpath(m_Dir.filePath("sub")));
        const QString path = m_Dir.filePath("saved.xml");
        QVERIFY(document.save(m_Dir.filePath("sub/../saved.xml")));
        QVERIFY(!document.isModified());
        QCOMPARE(document.filePath(), QFileInfo(path).canonicalFilePath());

        const QString query
            = QString("concat(count(/LedPanelDocument[@version='1.0']/CommandList/LedState/LedData),'|',"
                      "//Layout/@type,'|',//Title,'|',//Description,'|',//CommandList[@index=1]/LedState"
                      "[@index=2]/LedData[@index=%1]/intensity,'|',//CommandList[@index=0]/LedState"
                      "[@index=1]/LedData[@index=7]/intensity)")
                  .arg(last);
        QCOMPARE(QString::fromUtf8(runProgram("xmllint", {"--xpath", query, path})).trimmed(),
                 QString("%1|Rectangle|Front <panel> & co|line one\nline two|1|-4").arg(6 * (last + 1)));

        LedPanelDocument reloaded;
        QVERIFY(reloaded.load(path));
        QCOMPARE(writtenShow(reloaded), fileContents(path));

        // Texts the fields cannot hold as they are, a title longer than a line edit takes and a CR, stay when
        // the dialog is confirmed untouched.
        QVERIFY(reloaded.load(
            file("odd.xml", "<Title>" + QByteArray(40000, 't') + "</Title><Description>a&#13;</Description>")));
        dialog = new LedPanelInfoDialog(&reloaded, &reloaded);
        dialog->show();
        QTest::mousePress(dialog->findChild<QPushButton*>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
        QVERIFY(!dialog->isVisible() && !reloaded.isModified());
    }

    // A hand-edited file: what cannot be placed is skipped whole, and reading goes on after it.
    void readRules()
    {
        LedPanelDocument edited;
        QVERIFY(
            edited.load(file("edited.xml",
                             "<Layout type='Rectangle'><Rows>1</Rows><Columns>2</Columns></Layout>"
                             "<Extra><CommandList index='0'/></Extra><CommandList index='1'/>"
                             "<CommandList index='0'><Note/><LedState index='0'><Foo><LedData index='0'><intensity>9"
                             "</intensity></LedData></Foo><LedData index='2'><intensity>4</intensity></LedData>"
                             "<LedData index='-1'><intensity>5</intensity></LedData><LedData index='1'><bar/>"
                             "<intensity>-8</intensity></LedData></LedState><LedState index='2'/></CommandList>")));
        QCOMPARE(edited.sequenceCount(), 1);
        QCOMPARE(edited.sequence(0)->frameCount(), 1);
        const QList<LedData*> leds = edited.sequence(0)->frame(0)->leds();
        QVERIFY(leds.count() == 2 && leds.at(0)->intensity() == 0 && leds.at(1)->intensity() == -8);
    }

    void failedLoad_data()
    {
        // Content null: no file; "|": a FIFO; "tty": a terminal. The reader's own reason follows on a second line.
        const auto add = dataColumns<QByteArray, QString>("content", "message");
        const QString reading = QStringLiteral("Error occur while reading xml data of %1.\nLine ");
        add("missing file", QByteArray(), "Cannot read file %1:\nNo such file or directory.");
        add("wrong root", "<Document version='1.0'></Document>",
            reading + "1, column 25: Invalid XML root element or version.");
        add("later version", "<LedPanelDocument version='1.1'></LedPanelDocument>",
            reading + "1, column 33: Invalid XML root element or version.");
        // Opening it must not wait for a writer that never comes.
        add("a FIFO nobody writes to", "|", reading + "1, column 1: Premature end of document.");
        // Nor for a key: a device is no show.
        add("a terminal", "tty", "Cannot read file %1:\nNot a regular file or a pipe.");
    }

    // A file that cannot be read is refused whole: the next Save must not overwrite it with a fragment.
    void failedLoad()
    {
        const auto [content, message] = fetchColumns<QByteArray, QString>("content", "message");

        const QString fifo = m_Dir.filePath("fifo.xml");
        QVERIFY(content != "|" || ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const int terminal = content == "tty" ? ::posix_openpt(O_RDWR | O_NOCTTY) : -1;
        const QString tty = terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0
                                ? QString::fromLocal8Bit(::ptsname(terminal)) : QString();
        QVERIFY(content != "tty" || !tty.isEmpty());
        // A read of the terminal that waits for a key fails once it hangs up, later than a refusal comes.
        std::promise<void> loaded;
        std::thread hangUp([&, done = loaded.get_future()] {
            done.wait_for(std::chrono::seconds(2));
            if (terminal >= 0)
                ::close(terminal);
        });
        const auto join = qScopeGuard([&] { loaded.set_value(); hangUp.join(); });
        const QString path = content.isNull() ? m_Dir.filePath("missing.xml")
                             : content == "|" ? fifo
                             : content == "tty" ? tty
                                                : file("failed.xml", content, false);
        QScopedPointer<LedPanelDocument> document(LedPanelDocument::newDocument());
        QString text;
        ModalAnswer::messageBox(QMessageBox::Ok, &text);
        QVERIFY(!document->load(path));
        QVERIFY(ModalAnswer::allAnswered());
        QVERIFY2(text.startsWith(message.arg(QDir::toNativeSeparators(path))), qPrintable(text));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(document->fileName().startsWith("LedPanel_") && document->filePath().isEmpty()
                && !document->isModified());
    }

    void shownFrame_data()
    {
        // Removed while frame 0 is shown: "frame", "sequence" or nothing; the page shown then: 0 nothing, 2 a frame.
        const auto add = dataColumns<QByteArray, QString, int>("body", "removed", "page");
        const QByteArray layout = "<Layout type='Rectangle'/>";
        const QByteArray one = sequenceXml(0, 1);
        const QByteArray two = sequenceXml(0, 2, 4, [](int f, int led) { return f == 1 && led == 3 ? 2 : 0; });
        add("frame removed, another left", layout + two, "frame", 2);
        add("last frame removed", layout + one, "frame", 0);
        add("its sequence removed", layout + one, "sequence", 0);
    }

    // The LEDs shown are the current frame's or none, never freed ones; the scene goes with its document.
    void shownFrame()
    {
        const auto [body, removed, page] = fetchColumns<QByteArray, QString, int>("body", "removed", "page");

        auto* document = new LedPanelDocument;
        QVERIFY(document->load(file("shown.xml", body)));
        QPointer<AbstractLedGraphicsScene> scene = document->ledScene();
        QCOMPARE(scene->layout().ledCount(), 32);
        document->resize(800, 600);
        document->show();
        QVERIFY(QTest::qWaitForWindowExposed(document));
        auto* tree = document->findChild<LedTreeView*>();
        tree->expandAll();
        // The sequence page shows its whole label.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualRect(document->treeModel()->index(document->sequence(0))).center());
        QCOMPARE(document->findChild<QStackedWidget*>()->currentIndex(), 1);
        auto* label = document->findChild<QLabel*>("label");
        QVERIFY(label->isVisible() && label->width() >= label->sizeHint().width());
        LedStateCommand* frame = document->sequence(0)->frame(0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualRect(document->treeModel()->index(frame)).center());
        QCOMPARE(document->currentFrame(), frame);
        if (!removed.isEmpty()) {
            AbstractCommand* node = removed == "frame" ? frame : static_cast<AbstractCommand*>(document->sequence(0));
            document->treeModel()->remove(node);
            delete node;
            frame = document->currentFrame();
        }
        QCOMPARE(document->findChild<QStackedWidget*>()->currentIndex(), page);
        QVERIFY(document->currentSequence() == (frame ? document->sequence(0) : nullptr));
        if (frame) {
            // A frame made under another layout shows what both have, the rest dark.
            QVector<int> shown = frame->intensities();
            shown.resize(32);
            QCOMPARE(scene->values(), shown);
        }
        document->ledFrame()->viewport()->grab();
        delete document;
        QVERIFY(scene.isNull());
    }

    void saveOnClose_data()
    {
        const auto add = dataColumns<bool, bool, bool>("hasPath", "saveResult", "closes");
        add("saved to its file", true, true, true);
        add("save fails", true, false, false);
        add("never saved, file dialog cancelled", false, true, false);
    }

    // Save, answered on closing, closes only once really saved; Cancel and Discard are tst_MainWindow's.
    void saveOnClose()
    {
        const auto [hasPath, saveResult, closes] = fetchColumns<bool, bool, bool>("hasPath", "saveResult", "closes");

        const QString path
            = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath(); // a file that exists
        RecordingDocument document;
        document.saveResult = saveResult;
        hasPath ? document.setFilePath(path) : document.setFileName(QStringLiteral("panel.xml"));
        document.setModified(true);
        document.show();
        QVERIFY(QTest::qWaitForWindowExposed(&document));

        ModalAnswer::messageBox(QMessageBox::Save);
        if (!hasPath)
            ModalAnswer::fileDialog(QString());
        QCOMPARE(document.close(), closes);
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(document.saved, hasPath ? QStringList{path} : QStringList());
    }

    void saveRefusals_data()
    {
        // The target is a FIFO (a reader there or not, or one that leaves), a file or a link. The answer is to the
        // message box, 0 when none may come; a file then changes outside. In what it says, %1 is the target's path.
        const auto add = dataColumns<QString, int, QString>("target", "answer", "says");
        const QString changed = QStringLiteral("outside.xml was changed by another program");
        add("FIFO nobody reads", "fifo", QMessageBox::Ok, "Cannot open file %1 for writing");
        add("FIFO with a reader", "fifo with a reader", 0, "");
        // Its reader leaving halfway must not end the program.
        add("FIFO whose reader leaves", "fifo, reader leaves", QMessageBox::Ok, "Cannot write file %1:\nBroken pipe");
        add("file unchanged", "file", 0, "");
        add("file changed, cancelled", "file", QMessageBox::Cancel, changed);
        add("file changed, saved over", "file", QMessageBox::Save, changed);
        add("file replaced by a link, cancelled", "link", QMessageBox::Cancel, changed);
    }

    // Save must not wait for a reader that never comes: the window would hang. One that is there gets the show.
    // Nor are another program's changes to the file written over unasked.
    void saveRefusals()
    {
        auto [target, answer, says] = fetchColumns<QString, int, QString>("target", "answer", "says");
        const bool pipe = target.startsWith(QLatin1String("fifo"));
        std::future<void> leaving; // std::async's: it waits for its thread as it goes
        const QString path = pipe ? m_Dir.filePath("fifo.xml") : file("outside.xml", layoutXml(2, 2));
        QScopedPointer<LedPanelDocument> document(LedPanelDocument::newDocument());
        QFile readEnd;
        const QByteArray outside = showXml(layoutXml(3, 3));
        if (pipe) {
            QFile::remove(path);
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            // This end reads what is written once Save has ended; a new show fits in the pipe meanwhile.
            const int fd = target == "fifo" ? -1 : ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(answer || readEnd.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
            // Or it takes a little of a show larger than the pipe holds, and goes.
            if (answer == QMessageBox::Ok && fd >= 0) {
                QVERIFY(readShow(*document, showXml(sequenceXml(0, 400))));
                leaving = std::async(std::launch::async, [fd] {
                    // Until the first bytes come: before Save opens the pipe, a read finds nothing at once.
                    char bytes[100];
                    for (int i = 0; i < 5000 && ::read(fd, bytes, sizeof bytes) <= 0; ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    ::close(fd);
                });
            }
        } else {
            QVERIFY(document->load(path));
            // Same size and time, as a FAT disk's two-second clock shows it: only the bytes differ.
            const QDateTime time = QFileInfo(path).lastModified();
            QFile changed(path);
            const QString elsewhere = m_Dir.filePath("elsewhere.xml");
            if (target == QLatin1String("link"))
                QVERIFY(writeFile(elsewhere, outside) && QFile::remove(path) && QFile::link(elsewhere, path));
            else
                QVERIFY(!answer || (writeFile(path, outside) && changed.open(QIODevice::Append)
                                    && changed.setFileTime(time, QFileDevice::FileModificationTime)));
        }
        document->setModified(true);
        QString text;
        if (answer)
            ModalAnswer::messageBox(QMessageBox::StandardButton(answer), &text);
        const bool saved = answer != QMessageBox::Ok && answer != QMessageBox::Cancel;
        QCOMPARE(document->save(path), saved);
        QVERIFY(ModalAnswer::allAnswered());
        QVERIFY2(says.isEmpty() || text.startsWith(says.replace(QStringLiteral("%1"), path)), qPrintable(text));
        QCOMPARE(document->isModified(), !saved);
        if (pipe)
            QVERIFY(!readEnd.isOpen() || readEnd.readAll() == writtenShow(*document));
        else
            QCOMPARE(fileContents(path) == outside, answer == QMessageBox::Cancel);
    }

    // Qt reads a file name that is no UTF-8 with a stand-in character and cannot name that file again. Opened
    // through a link, such a show is untitled: Save asks where, and writes no file of another name beside it.
    void nameNotText()
    {
        const QByteArray target = QFile::encodeName(m_Dir.path()) + "/sch\xf6n.xml", xml = showXml(layoutXml(2, 2));
        const auto remove = qScopeGuard([&] { ::unlink(target.constData()); }); // Qt cannot
        const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0 && ::write(fd, xml.constData(), size_t(xml.size())) == xml.size() && ::close(fd) == 0);
        const QString link = m_Dir.filePath("link.xml");
        QVERIFY(::symlink(target.constData(), QFile::encodeName(link).constData()) == 0);
        LedPanelDocument document;
        QVERIFY(document.load(link));
        QCOMPARE(document.filePath(), QString());
        QCOMPARE(document.fileName(), QStringLiteral("link.xml"));
    }

private:
    QString file(const QString& name, const QByteArray& content, bool body = true)
    {
        const QString path = m_Dir.filePath(name);
        return writeFile(path, body ? showXml(content) : content) ? path : QString();
    }

    QTemporaryDir m_Dir;
};

QTEST_MAIN(tst_LedPanelDocument)
#include "tst_LedPanelDocument.moc"
