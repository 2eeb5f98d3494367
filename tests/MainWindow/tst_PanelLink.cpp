#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedStateWidget.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "ModalAnswer.h"
#include "PanelSimulator.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSerialPort>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// Lit LEDs of one frame: sequence, frame, LED indexes.
struct LitFrame
{
    int sequence;
    int frame;
    QList<int> leds;
};

} // namespace

Q_DECLARE_METATYPE(LitFrame)

namespace {

const QByteArray LayoutEnd = "</LedPanelDocument>";

QByteArray rectangleLayout(int rows, int columns)
{
    return QStringLiteral("<Layout type=\"Rectangle\"><Rows>%1</Rows><Columns>%2</Columns>"
                          "<RowSpacing>6</RowSpacing><ColumnSpacing>6</ColumnSpacing>"
                          "<Rectangle_X>-6</Rectangle_X><Rectangle_Y>-6</Rectangle_Y>"
                          "<Rectangle_W>54</Rectangle_W><Rectangle_H>30</Rectangle_H>"
                          "<FirstLedPosition_X>0</FirstLedPosition_X><FirstLedPosition_Y>0</FirstLedPosition_Y>"
                          "</Layout>")
        .arg(rows)
        .arg(columns)
        .toUtf8();
}

QByteArray documentXml(const QByteArray& content)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LedPanelDocument version=\"1.0\">"
           "<Title>Panel link</Title><Description/>"
        + content + LayoutEnd;
}

// The 36-byte units that should reach the controller for an image.
QByteArray expectedBlocks(const QByteArray& image)
{
    QByteArray bytes;
    for (int offset = 0, n = 0; offset < image.size(); offset += 32, ++n) {
        QByteArray payload = image.mid(offset, 32);
        payload.append(QByteArray(32 - payload.size(), '\0'));
        bytes += QByteArray::fromHex("030000") + char(n % 256) + payload;
    }
    return bytes;
}

} // namespace

class tst_PanelLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commandFrames_data();
    void commandFrames();
    void portCannotBeOpened_data();
    void portCannotBeOpened();
    void compileAndWrite_data();
    void compileAndWrite();
    void refusedDocuments_data();
    void refusedDocuments();
    void portVanishesDuringWrite();
    void withoutDocumentNothingHappens();
    void blockFraming_data();
    void blockFraming();

private:
    bool startPanel(int rows = 3, int columns = 5);
    void openWindow(const QString& portName);
    QAction* action(const QStringList& path) const;
    LedPanelDocument* document() const;
    QString writeDocument(const QByteArray& xml);
    bool openDocument(const QString& fileName);
    void buildDocument(const QList<int>& frameCounts, const QList<LitFrame>& litFrames);
    void clickTreeItem(AbstractCommand* node);
    void clickLed(int led);
    QByteArray received();
    QStringList events();

    QTemporaryDir m_Dir;
    std::unique_ptr<PanelSimulator> m_pPanel;
    std::unique_ptr<MainWindow> m_pWindow;
    int m_FileNumber = 0;
};

bool tst_PanelLink::startPanel(int rows, int columns)
{
    m_pPanel.reset(new PanelSimulator);
    return m_pPanel->start({ QStringLiteral("--raw"), QStringLiteral("--settle"), QStringLiteral("300"),
                             QStringLiteral("--rows"), QString::number(rows), QStringLiteral("--columns"),
                             QString::number(columns) });
}

// The window takes its port name from the settings file, as at every start.
void tst_PanelLink::openWindow(const QString& portName)
{
    {
        QSettings settings(QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini"),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("SerialPort/Name"), portName);
    }
    m_pWindow.reset(new MainWindow);
    m_pWindow->show();
    QApplication::setActiveWindow(m_pWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
}

// Finds an action the way a user does: by the menu titles and its text.
QAction* tst_PanelLink::action(const QStringList& path) const
{
    QList<QAction*> actions = m_pWindow->menuBar()->actions();
    for (int level = 0; level < path.size(); ++level) {
        QAction* found = nullptr;
        for (QAction* candidate : qAsConst(actions)) {
            if (candidate->text() == path.at(level)) {
                found = candidate;
                break;
            }
        }
        if (!found)
            return nullptr;
        if (level == path.size() - 1)
            return found;
        if (!found->menu())
            return nullptr;
        actions = found->menu()->actions();
    }
    return nullptr;
}

LedPanelDocument* tst_PanelLink::document() const
{
    return qobject_cast<LedPanelDocument*>(m_pWindow->currentDocument());
}

QString tst_PanelLink::writeDocument(const QByteArray& xml)
{
    const QString fileName = m_Dir.filePath(QStringLiteral("panel%1.xml").arg(++m_FileNumber));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return QString();
    return fileName;
}

bool tst_PanelLink::openDocument(const QString& fileName)
{
    ModalAnswer::fileDialog(fileName);
    action({ "File", "Open..." })->trigger();
    return ModalAnswer::allAnswered() && document() && document()->filePath() == fileName;
}

void tst_PanelLink::clickTreeItem(AbstractCommand* node)
{
    auto* tree = document()->findChild<LedTreeView*>(QStringLiteral("treeView"));
    QVERIFY(tree);
    const QModelIndex index = document()->treeModel()->index(node);
    if (index.parent().isValid())
        tree->expand(index.parent());
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(index).center());
}

void tst_PanelLink::clickLed(int led)
{
    LedStateWidget* view = document()->ledFrame();
    LedGraphicsItem* item = document()->ledScene()->ledItems().at(led);
    view->centerOn(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(item->scenePos()));
}

// Adds sequences and frames through the Light menu and lights LEDs by clicking them.
void tst_PanelLink::buildDocument(const QList<int>& frameCounts, const QList<LitFrame>& litFrames)
{
    for (int s = 0; s < frameCounts.size(); ++s) {
        action({ "Light", "Sequence", "Add" })->trigger();
        QCOMPARE(document()->sequenceCount(), s + 1);
        CommandList* sequence = document()->sequence(s);
        clickTreeItem(sequence);
        QCOMPARE(document()->currentSequence(), sequence);
        if (frameCounts.at(s) == 0)
            continue;
        ModalAnswer::onNext([count = frameCounts.at(s)](QWidget* widget) {
            auto* spinBox = widget->findChild<QSpinBox*>();
            QVERIFY(qobject_cast<QInputDialog*>(widget) && spinBox);
            spinBox->selectAll();
            QTest::keyClicks(spinBox, QString::number(count));
            QTest::keyClick(spinBox, Qt::Key_Return);
        });
        action({ "Light", "Frame", "Add..." })->trigger();
        QVERIFY(ModalAnswer::allAnswered());
        QCOMPARE(sequence->frameCount(), frameCounts.at(s));
    }
    for (const LitFrame& lit : litFrames) {
        LedStateCommand* frame = document()->sequence(lit.sequence)->frame(lit.frame);
        clickTreeItem(frame);
        QCOMPARE(document()->currentFrame(), frame);
        for (int led : lit.leds) {
            clickLed(led);
            QCOMPARE(frame->leds().at(led)->intensity(), 1);
        }
    }
}

QByteArray tst_PanelLink::received()
{
    QByteArray bytes;
    const QStringList lines = m_pPanel->lines();
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("RX ")))
            bytes += QByteArray::fromHex(line.mid(3).toLatin1());
    }
    return bytes;
}

QStringList tst_PanelLink::events()
{
    QStringList lines = m_pPanel->lines();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString& line) { return line.startsWith(QLatin1String("RX ")); }),
                lines.end());
    return lines;
}

void tst_PanelLink::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    QVERIFY2(!PANELSIM_PROGRAM.isEmpty(), "the panel simulator is not built");
}

void tst_PanelLink::init()
{
    if (qstrcmp(QTest::currentTestFunction(), "blockFraming") == 0)
        return;
    QVERIFY2(startPanel(), "the panel simulator did not start");
    openWindow(m_pPanel->devicePath());
}

void tst_PanelLink::cleanup()
{
    m_pWindow.reset();
    m_pPanel.reset();
}

void tst_PanelLink::commandFrames_data()
{
    QTest::addColumn<QStringList>("menuPath");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onTree");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("event");

    QTest::newRow("F10 on the window") << QStringList() << int(Qt::Key_F10) << false
                                       << QByteArray::fromHex("01000000") << "RESET";
    QTest::newRow("F11 on the window") << QStringList() << int(Qt::Key_F11) << false
                                       << QByteArray::fromHex("02000000") << "NEXT";
    QTest::newRow("F10 in the document's tree") << QStringList() << int(Qt::Key_F10) << true
                                                << QByteArray::fromHex("01000000") << "RESET";
    QTest::newRow("Reset from the menu") << QStringList { "Tools", "Reset" } << 0 << false
                                         << QByteArray::fromHex("01000000") << "RESET";
    QTest::newRow("MspBoot from the menu") << QStringList { "Tools", "MspBoot" } << 0 << false
                                           << QByteArray::fromHex("64000000") << "BOOT";
}

void tst_PanelLink::commandFrames()
{
    QFETCH(QStringList, menuPath);
    QFETCH(int, key);
    QFETCH(bool, onTree);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, event);

    QWidget* target = m_pWindow.get();
    if (onTree) {
        action({ "File", "New" })->trigger();
        QVERIFY(document());
        target = document()->findChild<LedTreeView*>(QStringLiteral("treeView"));
        QVERIFY(target);
        target->setFocus();
    }

    if (menuPath.isEmpty())
        QTest::keyClick(target, Qt::Key(key));
    else
        action(menuPath)->trigger();

    QVERIFY(m_pPanel->waitForLine(event));
    // Anything sent after the frame would arrive within the settle time.
    QTest::qWait(300);
    QCOMPARE(received().toHex(' '), bytes.toHex(' '));
    QCOMPARE(events(), QStringList { event });
}

void tst_PanelLink::portCannotBeOpened_data()
{
    QTest::addColumn<QStringList>("menuPath");

    QTest::newRow("Reset") << QStringList { "Tools", "Reset" };
    QTest::newRow("Next") << QStringList { "Tools", "Next" };
    QTest::newRow("MspBoot") << QStringList { "Tools", "MspBoot" };
    QTest::newRow("Compile && Write") << QStringList { "Tools", "Compile && Write" };
}

void tst_PanelLink::portCannotBeOpened()
{
    QFETCH(QStringList, menuPath);

    action({ "File", "New" })->trigger();
    action({ "Light", "Sequence", "Add" })->trigger();
    QCOMPARE(document()->sequenceCount(), 1);

    // Another program holds the line.
    QSerialPort holder(m_pPanel->devicePath());
    QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));

    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Close, &text, &title);
    action(menuPath)->trigger();
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(title, QStringLiteral("Application"));
    QCOMPARE(text, QStringLiteral("Cannot connect to serial port %1!").arg(holder.portName()));
    QVERIFY(m_pWindow->statusBar()->currentMessage().isEmpty());

    QTest::qWait(300);
    QCOMPARE(received(), QByteArray());

    // Once the line is free again the same command goes out.
    holder.close();
    QApplication::setActiveWindow(m_pWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
    QTest::keyClick(m_pWindow.get(), Qt::Key_F11);
    QVERIFY(m_pPanel->waitForLine(QStringLiteral("NEXT")));
}

void tst_PanelLink::compileAndWrite_data()
{
    QTest::addColumn<QList<int>>("frameCounts");
    QTest::addColumn<QList<LitFrame>>("litFrames");
    QTest::addColumn<QByteArray>("image");

    const QByteArray dark = QByteArray::fromHex("03000000");
    QTest::newRow("9 bytes, one block")
        << QList<int> { 2 } << QList<LitFrame> { { 0, 0, { 0, 1, 9 } }, { 0, 1, { 9, 1, 0 } } }
        << QByteArray::fromHex("030302000303020000");
    QTest::newRow("64 bytes, two blocks")
        << QList<int> { 15, 0, 0, 0 } << QList<LitFrame> { { 0, 0, { 0, 1, 9 } }, { 0, 14, { 14 } } }
        << QByteArray::fromHex("03030200") + dark.repeated(13) + QByteArray::fromHex("03004000" "00" "000000");
    QTest::newRow("65 bytes, three blocks")
        << QList<int> { 16 } << QList<LitFrame> { { 0, 15, { 4, 8 } } }
        << dark.repeated(15) + QByteArray::fromHex("03100100" "00");
    QTest::newRow("no sequences, nothing to send") << QList<int>() << QList<LitFrame>() << QByteArray();
}

void tst_PanelLink::compileAndWrite()
{
    QFETCH(QList<int>, frameCounts);
    QFETCH(QList<LitFrame>, litFrames);
    QFETCH(QByteArray, image);

    QVERIFY(openDocument(writeDocument(documentXml(rectangleLayout(3, 5)))));
    buildDocument(frameCounts, litFrames);
    if (QTest::currentTestFailed())
        return;

    // What the user sees while the blocks go out, looked at between blocks;
    // a Reset pressed meanwhile must not reach the line.
    QStringList messages;
    QList<bool> flashEnabled, resetEnabled;
    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, this, [&]() {
        messages.append(m_pWindow->statusBar()->currentMessage());
        flashEnabled.append(action({ "Tools", "Compile && Write" })->isEnabled());
        resetEnabled.append(action({ "Tools", "Reset" })->isEnabled());
        if (messages.size() == 1) {
            QTest::keyClick(m_pWindow.get(), Qt::Key_F10);
            m_pWindow->reset();
        }
    });
    QApplication::setActiveWindow(m_pWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
    watcher.start();
    action({ "Tools", "Compile && Write" })->trigger();
    watcher.stop();

    const int blocks = (image.size() + 31) / 32;
    QCOMPARE(m_pWindow->statusBar()->currentMessage(), QStringLiteral("Programming finished!"));
    QVERIFY(action({ "Tools", "Compile && Write" })->isEnabled());
    QVERIFY(action({ "Tools", "Reset" })->isEnabled());
    QCOMPARE(messages.size(), flashEnabled.size());
    QVERIFY(!flashEnabled.contains(true));
    QVERIFY(!resetEnabled.contains(true));
    for (int n = 1; n <= blocks; ++n) {
        const QString progress = QStringLiteral("block %1 of %2").arg(n).arg(blocks);
        QVERIFY2(std::any_of(messages.cbegin(), messages.cend(),
                             [&](const QString& message) { return message.contains(progress); }),
                 qPrintable(progress));
    }

    if (blocks > 0)
        QVERIFY(m_pPanel->waitForLine(QStringLiteral("IMAGE ")));
    else
        QTest::qWait(500);
    QCOMPARE(received().toHex(' '), expectedBlocks(image).toHex(' '));
    QStringList blockEvents = events().filter(QRegularExpression(QStringLiteral("^BLOCK")));
    QStringList expectedEvents;
    for (int n = 0; n < blocks; ++n)
        expectedEvents.append(QStringLiteral("BLOCK %1").arg(n));
    QCOMPARE(blockEvents, expectedEvents);
    QVERIFY(events().filter(QStringLiteral("RESET")).isEmpty());
}

void tst_PanelLink::refusedDocuments_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");

    QTest::newRow("layout without rows")
        << rectangleLayout(0, 5) + "<CommandList index=\"0\"/>" << "no LEDs";
    // Frames read before the layout take the default ring's 192 LEDs.
    QTest::newRow("frames larger than the layout")
        << "<CommandList index=\"0\"><LedState index=\"0\"><LedData index=\"150\"><intensity>1</intensity>"
           "</LedData></LedState></CommandList>"
            + rectangleLayout(3, 5)
        << "192 LEDs";
}

void tst_PanelLink::refusedDocuments()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);

    QVERIFY(openDocument(writeDocument(documentXml(content))));
    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Close, &text, &title);
    action({ "Tools", "Compile && Write" })->trigger();
    QVERIFY(ModalAnswer::allAnswered());
    QCOMPARE(title, QStringLiteral("Application"));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY(m_pWindow->statusBar()->currentMessage() != QStringLiteral("Programming finished!"));

    QTest::qWait(300);
    QCOMPARE(received(), QByteArray());
    // The port was not left open or busy.
    action({ "Tools", "Reset" })->trigger();
    QVERIFY(m_pPanel->waitForLine(QStringLiteral("RESET")));
}

void tst_PanelLink::portVanishesDuringWrite()
{
    QVERIFY(openDocument(writeDocument(documentXml(rectangleLayout(3, 5)))));
    buildDocument({ 40 }, {});
    if (QTest::currentTestFailed())
        return;

    // The controller goes away once the first block is through.
    QTimer unplug;
    unplug.setSingleShot(true);
    unplug.setInterval(50);
    connect(&unplug, &QTimer::timeout, this, [this]() {
        m_pPanel->waitForLine(QStringLiteral("BLOCK 0"));
        m_pPanel->stop();
    });
    unplug.start();

    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Close, &text, &title);
    action({ "Tools", "Compile && Write" })->trigger();
    QVERIFY(ModalAnswer::allAnswered());

    QCOMPARE(title, QStringLiteral("Application"));
    QVERIFY2(!text.contains(QLatin1String("Programming finished")), qPrintable(text));
    QVERIFY2(text.contains(m_pPanel->devicePath().mid(5)), qPrintable(text));
    // The line's own error (a pseudo-terminal without its other end answers EIO).
    QVERIFY2(text.contains(QString::fromLocal8Bit(strerror(EIO))), qPrintable(text));
    // The first block had gone out before the line went away.
    const QByteArray image = QByteArray::fromHex("03000000").repeated(40) + '\0';
    QVERIFY(received().startsWith(expectedBlocks(image).left(36)));
    QVERIFY(m_pWindow->statusBar()->currentMessage() != QStringLiteral("Programming finished!"));
    QVERIFY(action({ "Tools", "Compile && Write" })->isEnabled());
    QVERIFY(action({ "Tools", "Reset" })->isEnabled());
}

void tst_PanelLink::withoutDocumentNothingHappens()
{
    QVERIFY(!m_pWindow->currentDocument());
    bool boxShown = false;
    QTimer::singleShot(500, this, [&]() {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxShown = true;
            modal->close();
        }
    });
    action({ "Tools", "Compile && Write" })->trigger();
    QTest::qWait(600);
    QVERIFY(!boxShown);
    QVERIFY(m_pWindow->statusBar()->currentMessage().isEmpty());
    QCOMPARE(received(), QByteArray());
}

void tst_PanelLink::blockFraming_data()
{
    QTest::addColumn<int>("imageSize");
    QTest::addColumn<int>("blocks");

    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("9 bytes") << 9 << 1;
    QTest::newRow("32 bytes") << 32 << 1;
    QTest::newRow("64 bytes") << 64 << 2;
    QTest::newRow("65 bytes") << 65 << 3;
    QTest::newRow("258 blocks, the last partial") << 257 * 32 + 5 << 258;
}

void tst_PanelLink::blockFraming()
{
    QFETCH(int, imageSize);
    QFETCH(int, blocks);

    QByteArray image(imageSize, '\0');
    for (int i = 0; i < imageSize; ++i)
        image[i] = char(0x80 | (i % 97));

    QCOMPARE(MainWindow::programBlockCount(imageSize), blocks);
    QByteArray all;
    for (int n = 0; n < blocks; ++n) {
        const QByteArray block = MainWindow::programBlock(image, n);
        QCOMPARE(block.size(), 36);
        QCOMPARE(block.left(3), QByteArray::fromHex("030000"));
        // Block 256 starts the numbering over at 00.
        QCOMPARE(quint8(block.at(3)), quint8(n % 256));
        all += block;
    }
    QCOMPARE(all.toHex(), expectedBlocks(image).toHex());
}

QTEST_MAIN(tst_PanelLink)
#include "tst_PanelLink.moc"
