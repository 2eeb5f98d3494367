#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "Document/LedPanelInfoDialog.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedStateWidget.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"
#include "common/ModalAnswer.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class tst_LedPanelDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newDocument();
    void pageFollowsCurrentItem();
    void saveAndReload();
    void fileMessages_data();
    void fileMessages();
    void clickMarksModified_data();
    void clickMarksModified();
    void removingShownFrame_data();
    void removingShownFrame();
    void dyingWhileFrameShown();
    void infoDialog_data();
    void infoDialog();

private:
    QTemporaryDir m_Dir;
};

static LedTreeView* treeView(LedPanelDocument& document)
{
    return document.findChild<LedTreeView*>(QStringLiteral("treeView"));
}

static int page(LedPanelDocument& document)
{
    return document.findChild<QStackedWidget*>(QStringLiteral("stackedWidget"))->currentIndex();
}

// Adds sequences of frames the way the editor does, through the tree model.
static void addSequences(LedPanelDocument& document, int sequences, int frames)
{
    for (int s = 0; s < sequences; ++s) {
        auto* sequence = new CommandList(&document);
        document.treeModel()->append(sequence, nullptr);
        for (int f = 0; f < frames; ++f)
            document.treeModel()->append(new LedStateCommand(sequence), sequence);
    }
}

static void select(LedPanelDocument& document, AbstractCommand* node)
{
    treeView(document)->setCurrentIndex(document.treeModel()->index(node));
}

// Clicks LED `led` on the document's own view.
static void clickLed(LedPanelDocument& document, int led)
{
    LedStateWidget* view = document.ledFrame();
    LedGraphicsItem* item = document.ledScene()->ledItems().at(led);
    view->centerOn(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(item->scenePos()));
}

static QString writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return path;
}

void tst_LedPanelDocument::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
}

void tst_LedPanelDocument::newDocument()
{
    std::unique_ptr<LedPanelDocument> first(LedPanelDocument::newDocument());
    std::unique_ptr<LedPanelDocument> second(LedPanelDocument::newDocument());
    QCOMPARE(first->fileName(), QStringLiteral("LedPanel_1.xml"));
    QCOMPARE(second->fileName(), QStringLiteral("LedPanel_2.xml"));
    QCOMPARE(second->windowTitle(), QStringLiteral("LedPanel_2.xml[*]"));
    QVERIFY(second->filePath().isEmpty());
    QVERIFY(!second->isModified());
    QCOMPARE(page(*second), 0);
    QCOMPARE(second->sequenceCount(), 0);
    QCOMPARE(second->treeModel()->rowCount(), 0);
    QCOMPARE(second->ledScene()->ledItems().count(), 192);
    QVERIFY(!second->currentSequence() && !second->currentFrame());
}

void tst_LedPanelDocument::pageFollowsCurrentItem()
{
    LedPanelDocument document;
    addSequences(document, 2, 2);
    document.resize(800, 600);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    CommandList* sequence = document.sequence(1);
    LedStateCommand* frame = sequence->frame(1);
    frame->leds().at(0)->setIntensity(1);

    // A real click on the second sequence's row.
    LedTreeView* tree = treeView(document);
    const QModelIndex sequenceIndex = document.treeModel()->index(sequence);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(sequenceIndex).center());
    QCOMPARE(page(document), 1);
    QCOMPARE(document.currentSequence(), sequence);
    QVERIFY(!document.currentFrame());
    QVERIFY(document.findChild<QWidget*>(QStringLiteral("commandList"))->isVisible());

    tree->expand(sequenceIndex);
    const QModelIndex frameIndex = document.treeModel()->index(frame);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(frameIndex).center());
    QCOMPARE(page(document), 2);
    QCOMPARE(document.currentFrame(), frame);
    QCOMPARE(document.currentSequence(), sequence);
    QVERIFY(document.ledFrame()->isVisible());
    QCOMPARE(document.ledScene()->ledItems().at(0)->ledData(), frame->leds().at(0));

    tree->setCurrentIndex(QModelIndex());
    QCOMPARE(page(document), 0);
    QVERIFY(!document.currentSequence());
    QVERIFY(!document.isModified());
}

void tst_LedPanelDocument::saveAndReload()
{
    const QString path = m_Dir.filePath(QStringLiteral("saved.xml"));
    LedPanelDocument document;
    document.setTitle(QStringLiteral("Front <panel> & co"));
    document.setDescription(QStringLiteral("line one\nline two"));
    addSequences(document, 2, 3);
    document.sequence(1)->frame(2)->leds().at(191)->setIntensity(1);
    document.sequence(0)->frame(1)->leds().at(7)->setIntensity(-4);
    document.setModified(true);
    QSignalSpy nameChanged(&document, &AbstractDocument::fileNameChanged);

    QVERIFY(document.save(path));
    QVERIFY(!document.isModified());
    QCOMPARE(document.filePath(), QFileInfo(path).canonicalFilePath());
    QCOMPARE(document.fileName(), QStringLiteral("saved.xml"));
    QCOMPARE(nameChanged.count(), 1);

    // An independent reader accepts the file and sees its structure.
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
    QVERIFY(lint.waitForFinished());
    QCOMPARE(lint.exitCode(), 0);
    QProcess count;
    count.start(QStringLiteral("xmllint"),
                {QStringLiteral("--xpath"),
                 QStringLiteral("concat(count(/LedPanelDocument[@version='1.0']/CommandList/LedState/LedData),"
                                "'|',/LedPanelDocument/Layout/@type,"
                                "'|',/LedPanelDocument/CommandList[@index='1']/LedState[@index='2']/"
                                "LedData[@index='191']/intensity)"),
                 path});
    QVERIFY(count.waitForFinished());
    QCOMPARE(QString::fromUtf8(count.readAllStandardOutput()).trimmed(), QStringLiteral("1152|Ring|1"));

    // Reloaded and saved again, the document gives the same file.
    LedPanelDocument reloaded;
    QVERIFY(reloaded.load(path));
    QVERIFY(!reloaded.isModified());
    QCOMPARE(reloaded.sequence(0)->frame(1)->leds().at(7)->intensity(), -4);
    const QString again = m_Dir.filePath(QStringLiteral("again.xml"));
    QVERIFY(reloaded.save(again));
    QFile first(path), second(again);
    QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), first.readAll());
}

void tst_LedPanelDocument::fileMessages_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    const QString reading = QStringLiteral("Error occur while reading xml data of %1.");
    QTest::newRow("missing file") << false << "absent.xml" << QByteArray()
                                  << "Cannot read file %1:\nNo such file or directory.";
    QTest::newRow("wrong root") << false << "root.xml" << QByteArray("<Document version='1.0'></Document>") << reading;
    QTest::newRow("later version") << false << "v11.xml"
                                   << QByteArray("<LedPanelDocument version='1.1'><Title>t</Title></LedPanelDocument>")
                                   << reading;
    QTest::newRow("version with a space") << false << "space.xml"
                                          << QByteArray("<LedPanelDocument version='1.0 '></LedPanelDocument>")
                                          << reading;
    QTest::newRow("no version") << false << "none.xml" << QByteArray("<LedPanelDocument></LedPanelDocument>")
                                << reading;
    QTest::newRow("root in lower case") << false << "case.xml"
                                        << QByteArray("<ledpaneldocument version='1.0'></ledpaneldocument>")
                                        << reading;
    QTest::newRow("malformed") << false << "broken.xml"
                               << QByteArray("<LedPanelDocument version='1.0'><Title>t</Titel></LedPanelDocument>")
                               << reading;
    QTest::newRow("truncated") << false << "cut.xml"
                               << QByteArray("<LedPanelDocument version='1.0'><CommandList index='0'><LedState")
                               << reading;
    QTest::newRow("empty") << false << "empty.xml" << QByteArray("") << reading;
    QTest::newRow("huge layout")
        << false << "huge.xml"
        << QByteArray("<LedPanelDocument version='1.0'><Layout type='Rectangle'><Rows>100000</Rows>"
                      "<Columns>100000</Columns></Layout><CommandList index='0'><LedState index='0'/>"
                      "</CommandList></LedPanelDocument>")
        << reading;
    QTest::newRow("save into a missing directory") << true << "no/such/dir/doc.xml" << QByteArray()
                                                   << "Cannot open file %1 for writing:\nNo such file or directory.";
    QTest::newRow("save over a directory") << true << "taken" << QByteArray()
                                           << "Cannot open file %1 for writing:\n";
}

void tst_LedPanelDocument::fileMessages()
{
    QFETCH(bool, saving);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    const QString path = m_Dir.filePath(fileName);
    if (!content.isNull())
        QCOMPARE(writeFile(path, content), path);
    QDir(m_Dir.path()).mkpath(QStringLiteral("taken"));

    std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
    const QString name = document->fileName();
    document->setModified(saving);
    QSignalSpy nameChanged(document.get(), &AbstractDocument::fileNameChanged);
    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Ok, &text, &title);
    QVERIFY(!(saving ? document->save(path) : document->load(path)));
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY2(text.startsWith(message.arg(QDir::toNativeSeparators(path))), qPrintable(text));
    QCOMPARE(title, QStringLiteral("Tessaloom"));
    QVERIFY(!QApplication::overrideCursor());
    // The document is as it was: its name, no path, its modified flag.
    QCOMPARE(document->fileName(), name);
    QVERIFY(document->filePath().isEmpty());
    QCOMPARE(nameChanged.count(), 0);
    QCOMPARE(document->isModified(), saving);
    QVERIFY(document->ledScene()->ledItems().count() <= AbstractLedGraphicsScene::MaxLedCount);
}

void tst_LedPanelDocument::clickMarksModified_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("ledCount");

    QTest::newRow("default ring") << QByteArray() << 192;
    QTest::newRow("scene read from the file")
        << QByteArray("<LedPanelDocument version='1.0'><Layout type='Rectangle'><Rows>2</Rows></Layout>"
                      "<CommandList index='0'><LedState index='0'><LedData index='3'><intensity>1</intensity>"
                      "</LedData></LedState></CommandList></LedPanelDocument>")
        << 16;
    // Frames of the default ring shown on a smaller layout read after them.
    QTest::newRow("layout after the sequences")
        << QByteArray("<LedPanelDocument version='1.0'><CommandList index='0'><LedState index='0'/></CommandList>"
                      "<Layout type='Rectangle'/></LedPanelDocument>")
        << 32;
}

void tst_LedPanelDocument::clickMarksModified()
{
    QFETCH(QByteArray, file);
    QFETCH(int, ledCount);

    LedPanelDocument document;
    QPointer<AbstractLedGraphicsScene> defaultScene = document.ledScene();
    if (file.isEmpty())
        addSequences(document, 1, 1);
    else
        QVERIFY(document.load(writeFile(m_Dir.filePath(QStringLiteral("click.xml")), file)));
    AbstractLedGraphicsScene* scene = document.ledScene();
    QCOMPARE(scene->ledItems().count(), ledCount);
    document.resize(800, 600);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    QSignalSpy modified(&document, &AbstractDocument::modifiedChanged);

    LedStateCommand* frame = document.sequence(0)->frame(0);
    select(document, frame);
    QCOMPARE(scene->ledItems().at(3)->ledData(), frame->leds().at(3));
    if (scene != defaultScene)
        QVERIFY(!defaultScene->ledItems().at(3)->ledData()); // no longer follows the tree
    const int before = frame->leds().at(3)->intensity();
    clickLed(document, 3);
    QCOMPARE(frame->leds().at(3)->intensity(), before == 0 ? 1 : 0);
    QVERIFY(document.isModified());
    QCOMPARE(modified.count(), 1);
    document.ledFrame()->viewport()->grab();
}

void tst_LedPanelDocument::removingShownFrame_data()
{
    QTest::addColumn<bool>("removeSequence");
    QTest::addColumn<bool>("othersLeft");

    QTest::newRow("the frame, others left") << false << true;
    QTest::newRow("the last frame") << false << false;
    QTest::newRow("its sequence") << true << false;
}

void tst_LedPanelDocument::removingShownFrame()
{
    QFETCH(bool, removeSequence);
    QFETCH(bool, othersLeft);

    LedPanelDocument document;
    addSequences(document, 1, othersLeft ? 2 : 1);
    document.resize(800, 600);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    LedStateCommand* frame = document.sequence(0)->frame(0);
    select(document, frame);

    AbstractCommand* removed = removeSequence ? static_cast<AbstractCommand*>(document.sequence(0)) : frame;
    document.treeModel()->remove(removed);
    delete removed;

    // Paint and click what the scene now shows: nothing may reach freed LEDs.
    for (LedGraphicsItem* item : document.ledScene()->ledItems())
        QVERIFY(!item->ledData() || othersLeft);
    document.ledFrame()->viewport()->grab();
    clickLed(document, 0);
    if (othersLeft)
        QCOMPARE(document.sequence(0)->frame(0)->leds().at(0)->intensity(), 1);
}

void tst_LedPanelDocument::dyingWhileFrameShown()
{
    const QString path = writeFile(m_Dir.filePath(QStringLiteral("dying.xml")),
                                   "<LedPanelDocument version='1.0'><Layout type='Ring'><Rows>1</Rows></Layout>"
                                   "<CommandList index='0'><LedState index='0'/></CommandList></LedPanelDocument>");
    auto* document = new LedPanelDocument;
    QVERIFY(document->load(path));
    document->show();
    QVERIFY(QTest::qWaitForWindowExposed(document));
    select(*document, document->sequence(0)->frame(0));
    QPointer<AbstractLedGraphicsScene> scene = document->ledScene();
    QCOMPARE(scene->ledItems().count(), 48);
    QVERIFY(scene->ledItems().at(0)->ledData());

    // The scene read from the file goes with its document.
    delete document;
    QVERIFY(scene.isNull());
}

void tst_LedPanelDocument::infoDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("modified");

    QTest::newRow("OK with a new title") << "pushButton_OK" << "New" << "old text" << true << true;
    QTest::newRow("OK with a new description") << "pushButton_OK" << "Old" << "two\nlines" << true << true;
    QTest::newRow("OK unchanged") << "pushButton_OK" << "Old" << "old text" << true << false;
    QTest::newRow("Cancel") << "pushButton_Cancel" << "New" << "new text" << false << false;
}

void tst_LedPanelDocument::infoDialog()
{
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, description);
    QFETCH(bool, stored);
    QFETCH(bool, modified);

    LedPanelDocument document;
    document.setTitle(QStringLiteral("Old"));
    document.setDescription(QStringLiteral("old text"));
    QWidget mainWindow;
    auto* dialog = new LedPanelInfoDialog(&document, &mainWindow);
    QSignalSpy finished(dialog, &QDialog::finished);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QVERIFY(dialog->isModal());

    auto* titleEdit = dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit_Title"));
    auto* descriptionEdit = dialog->findChild<QPlainTextEdit*>(QStringLiteral("plainTextEdit_Description"));
    QCOMPARE(titleEdit->text(), QStringLiteral("Old"));
    QCOMPARE(descriptionEdit->toPlainText(), QStringLiteral("old text"));
    titleEdit->selectAll();
    QTest::keyClicks(titleEdit, title);
    descriptionEdit->setPlainText(description);

    // The buttons act on the press, before any release.
    QTest::mousePress(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(document.title(), stored ? title : QStringLiteral("Old"));
    QCOMPARE(document.description(), stored ? description : QStringLiteral("old text"));
    QCOMPARE(document.isModified(), modified);
}

QTEST_MAIN(tst_LedPanelDocument)
#include "tst_LedPanelDocument.moc"
