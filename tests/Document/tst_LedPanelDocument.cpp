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
    void newDocumentText();
    void readRules_data();
    void readRules();
    void pageFollowsCurrentItem();
    void saveAndReload();
    void failedLoad_data();
    void failedLoad();
    void clickOnSceneFromFile_data();
    void clickOnSceneFromFile();
    void removingShownFrame_data();
    void removingShownFrame();
    void infoDialogDescription();

private:
    QTemporaryDir m_Dir;
};

namespace {

LedTreeView* treeView(LedPanelDocument& document)
{
    return document.findChild<LedTreeView*>(QStringLiteral("treeView"));
}

int page(LedPanelDocument& document)
{
    return document.findChild<QStackedWidget*>(QStringLiteral("stackedWidget"))->currentIndex();
}

// Adds sequences of frames the way the editor does, through the tree model.
void addSequences(LedPanelDocument& document, int sequences, int frames)
{
    for (int s = 0; s < sequences; ++s) {
        auto* sequence = new CommandList(&document);
        document.treeModel()->append(sequence, nullptr);
        for (int f = 0; f < frames; ++f)
            document.treeModel()->append(new LedStateCommand(sequence), sequence);
    }
}

void showFrame(LedPanelDocument& document, LedStateCommand* frame)
{
    document.resize(800, 600);
    document.show();
    QVERIFY(QTest::qWaitForWindowExposed(&document));
    treeView(document)->setCurrentIndex(document.treeModel()->index(frame));
}

// Clicks LED `led` on the document's own view.
void clickLed(LedPanelDocument& document, int led)
{
    LedStateWidget* view = document.ledFrame();
    LedGraphicsItem* item = document.ledScene()->ledItems().at(led);
    view->centerOn(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(item->scenePos()));
}

QString writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? path : QString();
}

// Sequences split by " / ", frames by spaces; a frame is its LED count followed
// by ":index=value" for every LED that is not 0.
QString describe(const LedPanelDocument& document)
{
    QStringList sequences;
    for (int s = 0; s < document.sequenceCount(); ++s) {
        QStringList frames;
        for (int f = 0; f < document.sequence(s)->frameCount(); ++f) {
            const QList<LedData*> leds = document.sequence(s)->frame(f)->leds();
            QString text = QString::number(leds.count());
            for (int i = 0; i < leds.count(); ++i)
                if (leds.at(i)->intensity() != 0)
                    text += QString(":%1=%2").arg(i).arg(leds.at(i)->intensity());
            frames << text;
        }
        sequences << frames.join(QLatin1Char(' '));
    }
    return sequences.join(QStringLiteral(" / "));
}

} // namespace

void tst_LedPanelDocument::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
}

void tst_LedPanelDocument::newDocumentText()
{
    std::unique_ptr<LedPanelDocument> first(LedPanelDocument::newDocument());
    std::unique_ptr<LedPanelDocument> second(LedPanelDocument::newDocument());
    QCOMPARE(first->fileName(), QStringLiteral("LedPanel_1.xml"));
    QCOMPARE(second->windowTitle(), QStringLiteral("LedPanel_2.xml[*]"));
    QVERIFY(second->filePath().isEmpty() && !second->isModified() && page(*second) == 0);

    QByteArray data;
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::WriteOnly | QIODevice::Text) && second->writeXML(&buffer));
    QCOMPARE(data, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<LedPanelDocument version=\"1.0\">\n"
                              "    <Title></Title>\n"
                              "    <Description></Description>\n"
                              "    <Layout type=\"Ring\">\n"
                              "        <Rows>4</Rows>\n"
                              "        <Columns>48</Columns>\n"
                              "        <RowSpacing>5</RowSpacing>\n"
                              "        <ColumnSpacing>7.5</ColumnSpacing>\n"
                              "        <InnerDiameter>40</InnerDiameter>\n"
                              "        <OuterDiameter>70</OuterDiameter>\n"
                              "        <FirstLedPosition_X>0</FirstLedPosition_X>\n"
                              "        <FirstLedPosition_Y>-45</FirstLedPosition_Y>\n"
                              "    </Layout>\n"
                              "</LedPanelDocument>\n"));
}

void tst_LedPanelDocument::readRules_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("structure");

    const QByteArray twoLeds = "<Layout type='Rectangle'><Rows>1</Rows><Columns>2</Columns></Layout>";
    QTest::newRow("indexes out of turn skipped, missing or bad ones count as 0")
        << QByteArray("<CommandList index='1'><LedState index='0'/></CommandList>"
                      "<CommandList><LedState index='x'/><LedState index='-1'/><LedState index='3'/></CommandList>")
        << "192";
    QTest::newRow("surplus LEDs skipped, later frames read")
        << twoLeds + "<CommandList index='0'><LedState index='0'><LedData index='2'><intensity>4</intensity></LedData>"
                     "<LedData index='1'><intensity>1</intensity></LedData>"
                     "<LedData index='-1'><intensity>4</intensity></LedData></LedState>"
                     "<LedState index='1'><LedData index='0'><intensity>3</intensity></LedData></LedState>"
                     "</CommandList><CommandList index='1'><LedState index='0'/></CommandList>"
        << "2:1=1 2:0=3 / 2";
    QTest::newRow("sequences before the layout keep the ring")
        << "<CommandList index='0'><LedState index='0'/></CommandList>" + twoLeds
            + "<CommandList index='1'><LedState index='0'/></CommandList>" << "192 / 2";
    QTest::newRow("intensity texts, later ones win")
        << twoLeds + "<CommandList index='0'><LedState index='0'><LedData index='0'/><LedData index='1'>"
                     "<intensity>abc</intensity></LedData></LedState><LedState index='1'><LedData index='0'>"
                     "<intensity>-3</intensity></LedData><LedData index='1'><intensity>5</intensity></LedData>"
                     "<LedData index='1'><intensity>6</intensity><intensity>8</intensity></LedData>"
                     "</LedState></CommandList>" << "2 2:0=-3:1=8";
    QTest::newRow("unknown layout type keeps the ring")
        << QByteArray("<Layout type='Hexagon'><Rows>1</Rows></Layout>"
                      "<CommandList index='0'><LedState index='0'/></CommandList>") << "192";
    QTest::newRow("second sequence 0 continues it")
        << twoLeds + "<CommandList index='0'><LedState index='0'/></CommandList>"
                     "<CommandList index='0'><LedState index='0'><LedData index='0'><intensity>1</intensity>"
                     "</LedData></LedState><LedState index='2'/><LedState index='1'/></CommandList>" << "2:0=1 2";
    QTest::newRow("unknown elements at every level")
        << twoLeds + "<Extra><CommandList index='0'/></Extra><CommandList index='0'><Note>x<b/></Note>"
                     "<LedState index='0'><Foo><LedData index='0'/></Foo>"
                     "<LedData index='0'><bar>2</bar><intensity>9</intensity></LedData></LedState></CommandList>"
        << "2:0=9";
}

void tst_LedPanelDocument::readRules()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, structure);

    QByteArray data = "<?xml version='1.0'?><LedPanelDocument version='1.0'>" + body + "</LedPanelDocument>";
    QBuffer buffer(&data);
    LedPanelDocument document;
    QVERIFY(buffer.open(QIODevice::ReadOnly | QIODevice::Text) && document.readXML(&buffer));
    QCOMPARE(describe(document), structure);
}

void tst_LedPanelDocument::pageFollowsCurrentItem()
{
    LedPanelDocument document;
    addSequences(document, 2, 2);
    CommandList* sequence = document.sequence(1);
    LedStateCommand* frame = sequence->frame(1);
    showFrame(document, nullptr);

    // Real clicks on the rows of the tree.
    LedTreeView* tree = treeView(document);
    const QModelIndex sequenceIndex = document.treeModel()->index(sequence);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(sequenceIndex).center());
    QCOMPARE(page(document), 1);
    QCOMPARE(document.currentSequence(), sequence);
    QVERIFY(!document.currentFrame());
    tree->expand(sequenceIndex);
    const QModelIndex frameIndex = document.treeModel()->index(frame);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(frameIndex).center());
    QCOMPARE(page(document), 2);
    QCOMPARE(document.currentFrame(), frame);
    QCOMPARE(document.currentSequence(), sequence);
    QCOMPARE(document.ledScene()->ledItems().at(0)->ledData(), frame->leds().at(0));

    tree->setCurrentIndex(QModelIndex());
    QCOMPARE(page(document), 0);
    QVERIFY(!document.currentSequence() && !document.isModified());
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
    QVERIFY(document.save(path));
    QVERIFY(!document.isModified());
    QCOMPARE(document.filePath(), QFileInfo(path).canonicalFilePath());

    // An independent reader accepts the file and sees its structure.
    QProcess lint;
    lint.start(QStringLiteral("xmllint"),
               {QStringLiteral("--xpath"),
                QStringLiteral("concat(count(/LedPanelDocument[@version='1.0']/CommandList/LedState/LedData),"
                               "'|',/LedPanelDocument/Layout/@type,'|',/LedPanelDocument/Title,"
                               "'|',/LedPanelDocument/CommandList[@index='1']/LedState[@index='2']/"
                               "LedData[@index='191']/intensity)"),
                path});
    QVERIFY(lint.waitForFinished());
    QCOMPARE(lint.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(lint.readAllStandardOutput()).trimmed(),
             QStringLiteral("1152|Ring|Front <panel> & co|1"));

    // Reloaded and saved again, the document gives the same file.
    LedPanelDocument reloaded;
    QVERIFY(reloaded.load(path));
    QVERIFY(!reloaded.isModified());
    const QString again = m_Dir.filePath(QStringLiteral("again.xml"));
    QVERIFY(reloaded.save(again));
    QFile first(path), second(again);
    QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), first.readAll());
}

void tst_LedPanelDocument::failedLoad_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("message");

    const QString reading = QStringLiteral("Error occur while reading xml data of %1.");
    QTest::newRow("missing file") << QByteArray() << "Cannot read file %1:\nNo such file or directory.";
    QTest::newRow("wrong root") << QByteArray("<Document version='1.0'></Document>") << reading;
    QTest::newRow("later version") << QByteArray("<LedPanelDocument version='1.1'><Title>t</Title></LedPanelDocument>")
                                   << reading;
    QTest::newRow("no version") << QByteArray("<LedPanelDocument></LedPanelDocument>") << reading;
    QTest::newRow("malformed") << QByteArray("<LedPanelDocument version='1.0'><Title>t</Titel></LedPanelDocument>")
                               << reading;
    QTest::newRow("huge layout") << QByteArray("<LedPanelDocument version='1.0'><Layout type='Rectangle'><Rows>100000"
                                               "</Rows><Columns>100000</Columns></Layout><CommandList index='0'>"
                                               "<LedState index='0'/></CommandList></LedPanelDocument>")
                                 << reading;
}

// A file that cannot be read is refused whole: the next Save must not overwrite it with a fragment.
void tst_LedPanelDocument::failedLoad()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    const QString path = m_Dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".xml");
    if (!content.isNull())
        QCOMPARE(writeFile(path, content), path);
    std::unique_ptr<LedPanelDocument> document(LedPanelDocument::newDocument());
    const QString name = document->fileName();
    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Ok, &text, &title);
    QVERIFY(!document->load(path));
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY2(text.startsWith(message.arg(QDir::toNativeSeparators(path))), qPrintable(text));
    QCOMPARE(title, QStringLiteral("Tessaloom"));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(document->fileName(), name);
    QVERIFY(document->filePath().isEmpty() && !document->isModified());
    QVERIFY(document->ledScene()->ledItems().count() <= AbstractLedGraphicsScene::MaxLedCount);
}

void tst_LedPanelDocument::clickOnSceneFromFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("ledCount");

    QTest::newRow("frames of the layout")
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

void tst_LedPanelDocument::clickOnSceneFromFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, ledCount);

    auto* document = new LedPanelDocument;
    QPointer<AbstractLedGraphicsScene> defaultScene = document->ledScene();
    QVERIFY(document->load(writeFile(m_Dir.filePath(QStringLiteral("click.xml")), file)));
    QPointer<AbstractLedGraphicsScene> scene = document->ledScene();
    QCOMPARE(scene->ledItems().count(), ledCount);
    LedStateCommand* frame = document->sequence(0)->frame(0);
    showFrame(*document, frame);
    QSignalSpy modified(document, &AbstractDocument::modifiedChanged);

    QCOMPARE(scene->ledItems().at(3)->ledData(), frame->leds().at(3));
    QVERIFY(!defaultScene->ledItems().at(3)->ledData()); // no longer follows the tree
    const int before = frame->leds().at(3)->intensity();
    clickLed(*document, 3);
    QCOMPARE(frame->leds().at(3)->intensity(), before == 0 ? 1 : 0);
    QVERIFY(document->isModified());
    QCOMPARE(modified.count(), 1);
    document->ledFrame()->viewport()->grab();

    // The scene read from the file goes with its document.
    delete document;
    QVERIFY(scene.isNull());
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
    LedStateCommand* frame = document.sequence(0)->frame(0);
    showFrame(document, frame);
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

// Title edits are walked through from the main window elsewhere; a description alone counts too.
void tst_LedPanelDocument::infoDialogDescription()
{
    LedPanelDocument document;
    QWidget mainWindow;
    auto* dialog = new LedPanelInfoDialog(&document, &mainWindow);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    dialog->findChild<QPlainTextEdit*>(QStringLiteral("plainTextEdit_Description"))->setPlainText("two\nlines");
    QTest::mousePress(dialog->findChild<QPushButton*>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(document.description(), QStringLiteral("two\nlines"));
    QVERIFY(document.isModified());
}

QTEST_MAIN(tst_LedPanelDocument)
#include "tst_LedPanelDocument.moc"
