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
    void newDocumentNumbers();
    void newDocumentIsEmpty();
    void pageFollowsCurrentItem();
    void clickOnLedMarksModified();
    void saveAndReload();
    void saveFailures_data();
    void saveFailures();
    void loadFailures_data();
    void loadFailures();
    void loadedSceneIsConnected();
    void layoutAfterSequences();
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

void tst_LedPanelDocument::newDocumentNumbers()
{
    std::unique_ptr<LedPanelDocument> first(LedPanelDocument::newDocument());
    std::unique_ptr<LedPanelDocument> second(LedPanelDocument::newDocument());
    QVERIFY(!first->QWidget::parent());
    QCOMPARE(first->fileName(), QStringLiteral("LedPanel_1.xml"));
    QCOMPARE(second->fileName(), QStringLiteral("LedPanel_2.xml"));
    QCOMPARE(second->windowTitle(), QStringLiteral("LedPanel_2.xml[*]"));
    QVERIFY(second->filePath().isEmpty());
}

void tst_LedPanelDocument::newDocumentIsEmpty()
{
    LedPanelDocument document;
    QCOMPARE(document.type(), 3);
    QCOMPARE(document.name(), QStringLiteral("?"));
    QCOMPARE(page(document), 0);
    QCOMPARE(document.sequenceCount(), 0);
    QCOMPARE(document.treeModel()->rowCount(), 0);
    QVERIFY(!document.isModified());
    QCOMPARE(int(document.ledScene()->type()), int(AbstractLedGraphicsScene::Ring));
    QCOMPARE(document.ledScene()->ledItems().count(), 192);
    QVERIFY(!document.currentSequence());
    QVERIFY(!document.currentFrame());
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

void tst_LedPanelDocument::clickOnLedMarksModified()
{
    LedPanelDocument document;
    addSequences(document, 1, 1);
    document.resize(800, 600);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    QSignalSpy modified(&document, &AbstractDocument::modifiedChanged);
    select(document, document.sequence(0)->frame(0));

    clickLed(document, 5);
    QCOMPARE(document.sequence(0)->frame(0)->leds().at(5)->intensity(), 1);
    QVERIFY(document.isModified());
    QCOMPARE(modified.count(), 1);
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

    LedPanelDocument reloaded;
    QVERIFY(reloaded.load(path));
    QVERIFY(!reloaded.isModified());
    QCOMPARE(reloaded.title(), document.title());
    QCOMPARE(reloaded.description(), document.description());
    QCOMPARE(reloaded.sequenceCount(), 2);
    for (int s = 0; s < 2; ++s) {
        QCOMPARE(reloaded.sequence(s)->frameCount(), 3);
        for (int f = 0; f < 3; ++f) {
            const QList<LedData*> expected = document.sequence(s)->frame(f)->leds();
            const QList<LedData*> actual = reloaded.sequence(s)->frame(f)->leds();
            QCOMPARE(actual.count(), expected.count());
            for (int i = 0; i < actual.count(); ++i)
                QCOMPARE(actual.at(i)->intensity(), expected.at(i)->intensity());
        }
    }
}

void tst_LedPanelDocument::saveFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("messageStart");

    const QString missingDir = m_Dir.filePath(QStringLiteral("no/such/dir/doc.xml"));
    QTest::newRow("directory missing")
        << missingDir << QString("Cannot open file %1 for writing:\n").arg(QDir::toNativeSeparators(missingDir));
    const QString dirTarget = m_Dir.filePath(QStringLiteral("taken.xml"));
    QTest::newRow("target is a directory")
        << dirTarget << QString("Cannot open file %1 for writing:\n").arg(QDir::toNativeSeparators(dirTarget));
}

void tst_LedPanelDocument::saveFailures()
{
    QFETCH(QString, path);
    QFETCH(QString, messageStart);

    QDir(m_Dir.path()).mkpath(QStringLiteral("taken.xml"));
    LedPanelDocument document;
    document.setFileName(QStringLiteral("mine.xml"));
    document.setModified(true);
    QSignalSpy nameChanged(&document, &AbstractDocument::fileNameChanged);

    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Ok, &text, &title);
    QVERIFY(!document.save(path));
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY2(text.startsWith(messageStart), qPrintable(text));
    QVERIFY(text.endsWith(QLatin1Char('.')));
    QCOMPARE(title, QStringLiteral("Tessaloom"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(document.isModified());
    QCOMPARE(document.fileName(), QStringLiteral("mine.xml"));
    QVERIFY(document.filePath().isEmpty());
    QCOMPARE(nameChanged.count(), 0);
}

void tst_LedPanelDocument::loadFailures_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");

    const QByteArray layout = "<Layout type='Ring'/>";
    QTest::newRow("wrong root") << "root.xml" << QByteArray("<Document version='1.0'>") + layout + "</Document>";
    QTest::newRow("later version") << "v11.xml"
                                   << QByteArray("<LedPanelDocument version='1.1'><Title>t</Title></LedPanelDocument>");
    QTest::newRow("version with a space") << "space.xml"
                                          << QByteArray("<LedPanelDocument version='1.0 '></LedPanelDocument>");
    QTest::newRow("no version") << "none.xml" << QByteArray("<LedPanelDocument></LedPanelDocument>");
    QTest::newRow("malformed") << "broken.xml"
                               << QByteArray("<LedPanelDocument version='1.0'><Title>t</Titel></LedPanelDocument>");
    QTest::newRow("truncated") << "cut.xml"
                               << QByteArray("<LedPanelDocument version='1.0'><CommandList index='0'><LedState");
    QTest::newRow("empty") << "empty.xml" << QByteArray();
    QTest::newRow("huge layout")
        << "huge.xml"
        << QByteArray("<LedPanelDocument version='1.0'><Layout type='Rectangle'><Rows>100000</Rows>"
                      "<Columns>100000</Columns></Layout><CommandList index='0'><LedState index='0'/>"
                      "</CommandList></LedPanelDocument>");
    QTest::newRow("missing file") << "" << QByteArray();
}

void tst_LedPanelDocument::loadFailures()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);

    QString path = m_Dir.filePath(QStringLiteral("absent.xml"));
    QString expected = QString("Cannot read file %1:\nNo such file or directory.").arg(path);
    if (!fileName.isEmpty()) {
        path = writeFile(m_Dir.filePath(fileName), content);
        QVERIFY(!path.isEmpty());
        expected = QString("Error occur while reading xml data of %1.").arg(QDir::toNativeSeparators(path));
    }

    std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
    const QString name = document->fileName();
    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Ok, &text, &title);
    QVERIFY(!document->load(path));
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(text, expected);
    QCOMPARE(title, QStringLiteral("Tessaloom"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(document->filePath().isEmpty());
    QCOMPARE(document->fileName(), name);
    QVERIFY(!document->isModified());
    // Whatever the reader refused, the layout in force is a usable one.
    QVERIFY(document->ledScene()->ledItems().count() <= AbstractLedGraphicsScene::MaxLedCount);
}

void tst_LedPanelDocument::loadedSceneIsConnected()
{
    const QString path = writeFile(
        m_Dir.filePath(QStringLiteral("rect.xml")),
        "<?xml version='1.0'?><LedPanelDocument version='1.0'><Layout type='Rectangle'><Rows>2</Rows></Layout>"
        "<CommandList index='0'><LedState index='0'><LedData index='3'><intensity>1</intensity></LedData>"
        "</LedState></CommandList></LedPanelDocument>");
    QVERIFY(!path.isEmpty());
    LedPanelDocument document;
    QPointer<AbstractLedGraphicsScene> defaultScene = document.ledScene();
    QVERIFY(document.load(path));
    QPointer<AbstractLedGraphicsScene> scene = document.ledScene();
    QVERIFY(scene != defaultScene);
    QCOMPARE(int(scene->type()), int(AbstractLedGraphicsScene::Rectangle));
    QCOMPARE(scene->ledItems().count(), 16);

    document.resize(800, 600);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    LedStateCommand* frame = document.sequence(0)->frame(0);
    select(document, frame);
    QCOMPARE(scene->ledItems().at(3)->ledData(), frame->leds().at(3));
    // The default scene no longer follows the tree.
    QVERIFY(!defaultScene->ledItems().at(3)->ledData());

    clickLed(document, 3);
    QCOMPARE(frame->leds().at(3)->intensity(), 0);
    QVERIFY(document.isModified());
}

void tst_LedPanelDocument::layoutAfterSequences()
{
    // Frames made under the default ring, then a smaller layout.
    const QString path = writeFile(
        m_Dir.filePath(QStringLiteral("late.xml")),
        "<LedPanelDocument version='1.0'><CommandList index='0'><LedState index='0'><LedData index='191'>"
        "<intensity>1</intensity></LedData></LedState></CommandList><Layout type='Rectangle'/></LedPanelDocument>");
    LedPanelDocument document;
    QVERIFY(document.load(path));
    LedStateCommand* frame = document.sequence(0)->frame(0);
    QCOMPARE(frame->leds().count(), 192);
    QCOMPARE(document.ledScene()->ledItems().count(), 32);

    document.resize(800, 600);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    select(document, frame);
    QCOMPARE(page(document), 2);
    clickLed(document, 31);
    QCOMPARE(frame->leds().at(31)->intensity(), 1);
    QCOMPARE(frame->leds().at(191)->intensity(), 1);
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
