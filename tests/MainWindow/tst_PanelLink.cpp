#include "Document/LedPanelDocument.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "MspFlasher/MspFlasherDialog.h"
#include "TreeView/LedTreeView.h"

#include "ModalAnswer.h"
#include "PanelSimulator.h"

#include <QSerialPort>
#include <QSettings>
#include <QtTest>
#include <QtWidgets>

#include <cerrno>
#include <cstring>
#include <memory>

// Per sequence, per frame: the lit LEDs.
typedef QList<QList<QList<int>>> Show;
Q_DECLARE_METATYPE(Show)
typedef QAction* MainMenu::*MenuAction;
Q_DECLARE_METATYPE(MenuAction)

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray documentXml(const QByteArray& content)
{
    return "<?xml version=\"1.0\"?>\n<LedPanelDocument version=\"1.0\"><Title>Link</Title><Description/>"
        + content + "</LedPanelDocument>";
}

QByteArray layoutXml(int rows, int columns)
{
    return QStringLiteral("<Layout type=\"Rectangle\"><Rows>%1</Rows><Columns>%2</Columns></Layout>")
        .arg(rows).arg(columns).toUtf8();
}

QByteArray showXml(const Show& show)
{
    QByteArray xml = layoutXml(3, 5);
    for (int s = 0; s < show.size(); ++s) {
        xml += "<CommandList index=\"" + QByteArray::number(s) + "\">";
        for (int f = 0; f < show[s].size(); ++f) {
            xml += "<LedState index=\"" + QByteArray::number(f) + "\">";
            for (int led : show[s][f])
                xml += "<LedData index=\"" + QByteArray::number(led) + "\"><intensity>1</intensity></LedData>";
            xml += "</LedState>";
        }
        xml += "</CommandList>";
    }
    return documentXml(xml);
}

QList<QList<int>> frames(int count, const QMap<int, QList<int>>& lit)
{
    QList<QList<int>> list;
    for (int f = 0; f < count; ++f)
        list << lit.value(f);
    return list;
}

// The 36-byte units that should reach the controller for an image.
QByteArray expectedBlocks(const QByteArray& image)
{
    QByteArray bytes;
    for (int offset = 0, n = 0; offset < image.size(); offset += 32, ++n)
        bytes += hex("030000") + char(n % 256) + image.mid(offset, 32).leftJustified(32, '\0');
    return bytes;
}

} // namespace

class tst_PanelLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void commands_data();
    void commands();
    void compileAndWrite_data();
    void compileAndWrite();
    void portVanishesDuringWrite();
    void flasherKeepsWindowsOpenWhileBusy();
    void blockFraming();

private:
    bool startPanel(const QStringList& extra = {});
    void openWindow();
    void openDocument(const QByteArray& xml);
    MainMenu* menu() const { return qobject_cast<MainMenu*>(m_pWindow->menuBar()); }

    QTemporaryDir m_Dir;
    std::unique_ptr<PanelSimulator> m_pPanel;
    std::unique_ptr<MainWindow> m_pWindow;
};

bool tst_PanelLink::startPanel(const QStringList& extra)
{
    m_pPanel.reset(new PanelSimulator);
    return m_pPanel->start(QStringList { "--raw", "--settle", "300", "--rows", "3", "--columns", "5" } + extra);
}

// The window takes its port name from the settings file, as at every start.
void tst_PanelLink::openWindow()
{
    QSettings(QCoreApplication::applicationDirPath() + "/app.ini", QSettings::IniFormat)
        .setValue("SerialPort/Name", m_pPanel->devicePath());
    m_pWindow.reset(new MainWindow);
    m_pWindow->show();
    QApplication::setActiveWindow(m_pWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
}

void tst_PanelLink::openDocument(const QByteArray& xml)
{
    const QString path = m_Dir.filePath(QStringLiteral("%1.xml").arg(QTest::currentDataTag()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size());
    file.close();
    ModalAnswer::fileDialog(path);
    menu()->action_Open->trigger();
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY(m_pWindow->currentDocument() && m_pWindow->currentDocument()->filePath() == path);
}

void tst_PanelLink::init()
{
    QVERIFY2(startPanel(), "the panel simulator did not start");
    openWindow();
}

void tst_PanelLink::cleanup()
{
    m_pWindow.reset();
    m_pPanel.reset();
}

void tst_PanelLink::commands_data()
{
    QTest::addColumn<MenuAction>("action");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("document"); // empty: a new one with an empty sequence
    QTest::addColumn<bool>("held");           // by another program
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QByteArray>("bytes");

    const QString busy = QStringLiteral("Cannot connect to serial port %1!");
    const QByteArray none;
    const QString fine;
    QTest::newRow("F10") << MenuAction() << int(Qt::Key_F10) << none << false << fine << hex("01000000");
    QTest::newRow("F11") << MenuAction() << int(Qt::Key_F11) << none << false << fine << hex("02000000");
    QTest::newRow("MspBoot") << &MainMenu::action_MspBoot << 0 << none << false << fine << hex("64000000");
    QTest::newRow("Reset, line held") << &MainMenu::action_Reset << 0 << none << true << busy << none;
    QTest::newRow("Next, line held") << &MainMenu::action_Next << 0 << none << true << busy << none;
    QTest::newRow("MspBoot, line held") << &MainMenu::action_MspBoot << 0 << none << true << busy << none;
    QTest::newRow("Compile && Write, line held") << &MainMenu::action_Flash << 0 << none << true << busy << none;
    QTest::newRow("layout without rows") << &MainMenu::action_Flash << 0
        << documentXml(layoutXml(0, 5) + "<CommandList index=\"0\"/>") << false << "no LEDs" << none;
    // Frames read before the layout take the default ring's 192 LEDs.
    QTest::newRow("frames larger than the layout") << &MainMenu::action_Flash << 0
        << documentXml("<CommandList index=\"0\"><LedState index=\"0\"/></CommandList>" + layoutXml(3, 5))
        << false << "192 LEDs" << none;
}

void tst_PanelLink::commands()
{
    QFETCH(MenuAction, action);
    QFETCH(int, key);
    QFETCH(QByteArray, document);
    QFETCH(bool, held);
    QFETCH(QString, warning);
    QFETCH(QByteArray, bytes);

    // Without a document, Compile && Write does nothing at all.
    menu()->action_Flash->trigger();
    if (document.isEmpty()) {
        menu()->action_New->trigger();
        menu()->action_AddSequence->trigger();
    } else {
        openDocument(document);
    }
    // The keys work with the focus inside the document too.
    QWidget* tree = m_pWindow->currentDocument()->findChild<LedTreeView*>();
    tree->setFocus();
    QSerialPort holder(m_pPanel->devicePath());
    QVERIFY2(!held || holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
    QString text, title;
    if (!warning.isEmpty())
        ModalAnswer::messageBox(QMessageBox::Close, &text, &title);
    if (key)
        QTest::keyClick(tree, Qt::Key(key));
    else
        (menu()->*action)->trigger();
    QVERIFY(ModalAnswer::allAnswered());
    QVERIFY(QTest::qWaitFor([&] { return m_pPanel->received().size() >= bytes.size(); }, 5000));
    QTest::qWait(300); // anything sent later would arrive within the settle time
    QCOMPARE(m_pPanel->received().toHex(' '), bytes.toHex(' '));
    if (warning.isEmpty())
        return;

    QCOMPARE(title, QStringLiteral("Application"));
    QVERIFY2(text.contains(warning.replace("%1", holder.portName())), qPrintable(text));
    QVERIFY(m_pWindow->statusBar()->currentMessage() != QStringLiteral("Programming finished!"));
    // The port was not left open or busy.
    holder.close();
    menu()->action_Next->trigger();
    QVERIFY(m_pPanel->waitForLine(QStringLiteral("NEXT")));
}

void tst_PanelLink::compileAndWrite_data()
{
    QTest::addColumn<Show>("show");
    QTest::addColumn<QByteArray>("image");

    const QByteArray dark = hex("03000000");
    QTest::newRow("9 bytes, one block") << Show { { { 0, 1, 9 }, { 9, 1, 0 } } }
                                        << hex("030302000303020000");
    QTest::newRow("64 bytes, two blocks") << Show { frames(15, { { 0, { 0, 1, 9 } }, { 14, { 14 } } }), {}, {}, {} }
        << hex("03030200") + dark.repeated(13) + hex("0300400000000000");
    QTest::newRow("65 bytes, three blocks") << Show { frames(16, { { 15, { 4, 8 } } }) }
                                            << dark.repeated(15) + hex("0310010000");
    QTest::newRow("no sequences") << Show {} << QByteArray();
}

void tst_PanelLink::compileAndWrite()
{
    QFETCH(Show, show);
    QFETCH(QByteArray, image);
    openDocument(showXml(show));
    QVERIFY(!QTest::currentTestFailed());

    // Looked at between blocks: what the user sees, and that Reset, F10 and
    // closing the window are refused meanwhile.
    QStringList messages;
    bool enabled = false, closed = false;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&]() {
        // Should a refused command show a box after all, it is closed so that the test fails, not hangs.
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
        messages << m_pWindow->statusBar()->currentMessage();
        enabled = enabled || menu()->action_Flash->isEnabled() || menu()->action_Reset->isEnabled();
        if (messages.size() == 1) {
            QTest::keyClick(m_pWindow.get(), Qt::Key_F10);
            m_pWindow->reset();
            closed = m_pWindow->close();
        }
    });
    watcher.start(20);
    menu()->action_Flash->trigger();
    watcher.stop();

    QCOMPARE(m_pWindow->statusBar()->currentMessage(), QStringLiteral("Programming finished!"));
    QVERIFY(!enabled && !closed);
    QVERIFY(m_pWindow->isVisible() && menu()->action_Flash->isEnabled() && menu()->action_Reset->isEnabled());
    const int blocks = (image.size() + 31) / 32;
    for (int n = 1; n <= blocks; ++n) {
        const QString progress = QStringLiteral("block %1 of %2").arg(n).arg(blocks);
        QVERIFY2(!messages.filter(progress).isEmpty(), qPrintable(progress));
    }
    // The refused Reset would show on the line too.
    QVERIFY(blocks == 0 || m_pPanel->waitForLine(QStringLiteral("IMAGE ")));
    QTest::qWait(blocks ? 0 : 500);
    QCOMPARE(m_pPanel->received().toHex(' '), expectedBlocks(image).toHex(' '));
}

void tst_PanelLink::portVanishesDuringWrite()
{
    openDocument(showXml(Show { frames(40, {}) }));
    QVERIFY(!QTest::currentTestFailed());
    // The controller goes away once the first block is through.
    QTimer::singleShot(50, this, [this]() {
        m_pPanel->waitForLine(QStringLiteral("BLOCK 0"));
        m_pPanel->stop();
    });
    QString text, title;
    ModalAnswer::messageBox(QMessageBox::Close, &text, &title);
    menu()->action_Flash->trigger();
    QVERIFY(ModalAnswer::allAnswered());

    QCOMPARE(title, QStringLiteral("Application"));
    // Names the port and the line's own error (a pseudo-terminal without its other end answers EIO).
    QVERIFY2(text.contains(QSerialPort(m_pPanel->devicePath()).portName())
                 && text.contains(QString::fromLocal8Bit(strerror(EIO))),
             qPrintable(text));
    const QByteArray image = hex("03000000").repeated(40) + '\0';
    QVERIFY(m_pPanel->received().startsWith(expectedBlocks(image).left(36)));
    QVERIFY(m_pWindow->statusBar()->currentMessage() != QStringLiteral("Programming finished!"));
    QVERIFY(menu()->action_Flash->isEnabled() && menu()->action_Reset->isEnabled());
}

void tst_PanelLink::flasherKeepsWindowsOpenWhileBusy()
{
    // Slow boot loader answers keep the run going long enough to be interrupted.
    QVERIFY(startPanel({ "--slow-ms", "30" }));
    openWindow();
    const QString firmware = m_Dir.filePath(QStringLiteral("firmware.txt"));
    QFile file(firmware);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("@6403\n" + QByteArray("5A ").repeated(400) + "\nq\n");
    file.close();

    menu()->action_MspBootDialog->trigger();
    auto* flasher = m_pWindow->findChild<MspFlasherDialog*>();
    QVERIFY(flasher && flasher->isVisible());
    QCOMPARE(flasher->findChild<QLabel*>("portLabel")->text(),
             QSerialPort(m_pPanel->devicePath()).portName() + " : 57600");
    flasher->findChild<QLineEdit*>("filePath")->setText(firmware);
    const QList<QPushButton*> buttons = flasher->findChildren<QPushButton*>();
    QSignalSpy finished(flasher, &MspFlasherDialog::finished);

    bool enabled = true, flasherClosed = true, windowClosed = true;
    QTimer::singleShot(300, flasher, [&] {
        enabled = std::any_of(buttons.cbegin(), buttons.cend(), [](QPushButton* b) { return b->isEnabled(); });
        flasherClosed = flasher->close();
        windowClosed = m_pWindow->close();
    });
    QTest::mouseClick(flasher->findChild<QPushButton*>("flash"), Qt::LeftButton);
    QVERIFY(!enabled && !flasherClosed && !windowClosed);
    QVERIFY(flasher->isVisible() && m_pWindow->isVisible());
    QCOMPARE(finished.count(), 0);
    const QStringList report = flasher->findChild<QPlainTextEdit*>("report")->toPlainText().split('\n');
    QCOMPARE(report.filter("in progress").size(), 2); // one line per refused close
    QVERIFY(report.contains("Jump to the application"));
    QCOMPARE(report.last(), QStringLiteral("Finished"));
    QVERIFY(m_pPanel->events().contains("BOOT BYTE"));

    QVERIFY(flasher->close());
    QCOMPARE(finished.count(), 1);
}

// Block 256 starts the numbering over at 00; checked here without 25 s of sleeping.
void tst_PanelLink::blockFraming()
{
    QByteArray image(257 * 32 + 5, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(0x80 | (i % 97));
    QCOMPARE(MainWindow::programBlockCount(0), 0);
    QCOMPARE(MainWindow::programBlockCount(64), 2);
    QCOMPARE(MainWindow::programBlockCount(image.size()), 258);
    QByteArray all;
    for (int n = 0; n < 258; ++n)
        all += MainWindow::programBlock(image, n);
    QCOMPARE(all.toHex(), expectedBlocks(image).toHex());
}

QTEST_MAIN(tst_PanelLink)
#include "tst_PanelLink.moc"
