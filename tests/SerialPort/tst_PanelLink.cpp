#include "MainWindow/PanelLinkController.h"
#include "MspFlasher/MspFlasherDialog.h"
#include "SerialPort/PanelLink.h"
#include "TreeView/LedTreeView.h"

#include "DataColumns.h"
#include "ModalAnswer.h"
#include "PanelSimulator.h"
#include "WindowFixture.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>

#include <cerrno>
#include <cstring>

typedef QAction* MainMenu::*MenuAction;
Q_DECLARE_METATYPE(MenuAction)

namespace {

QByteArray (*const bytesOf)(const QByteArray&) = &QByteArray::fromHex;

const QByteArray panel = "<Layout type=\"Rectangle\"><Rows>3</Rows><Columns>5</Columns></Layout>";

QByteArray litLast(int index, int frames, const QList<int>& lit)
{
    return sequenceXml(index, frames, 15, [=](int f, int led) { return f == frames - 1 && lit.contains(led); });
}

// 797 bytes, 25 blocks: two and a half seconds on the line.
const QByteArray longShow = panel + litLast(0, 199, {});
const QByteArray longImage = QByteArray::fromHex("03000000").repeated(199) + '\0';

// The 36-byte units that should reach the controller for an image.
QByteArray blocks(const QByteArray& image)
{
    QByteArray bytes;
    for (int offset = 0, n = 0; offset < image.size(); offset += 32, ++n)
        bytes += bytesOf("030000") + char(n % 256) + image.mid(offset, 32).leftJustified(32, '\0');
    return bytes;
}

} // namespace

class tst_PanelLink : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init() { start({ "--raw", "--settle", "300", "--rows", "3", "--columns", "5" }); }
    void cleanup() { closeWindow(), m_pPanel.reset(); }

    void commands_data()
    {
        // action none: the key the row is named after
        // body empty: the default ring, nothing else
        // bytes: that reach the controller
        // confirmation: in the status bar for two seconds once a command is out
        const auto add = dataColumns<MenuAction, QByteArray, QString, QByteArray, QString>(
            "action", "body", "warning", "bytes", "confirmation");
        const QString busy = QStringLiteral("Cannot connect to serial port %1!"); // held by another program
        const QString nowhere = QStringLiteral("No serial port is chosen"); // the name emptied in Setup Port
        // The controller goes away once it has block 0; a pseudo-terminal without its other end answers EIO.
        const QString unplugged = "Writing to serial port %1 failed:\n" + QString::fromLocal8Bit(strerror(EIO));
        const QByteArray none, dark = bytesOf("03000000");
        const QString fine;
        const MenuAction flash = &MainMenu::action_Flash;
        add("F10", MenuAction(), none, fine, bytesOf("01000000"), "Reset sent");
        add("F11", MenuAction(), none, fine, bytesOf("02000000"), "Next sent");
        add("MspBoot", &MainMenu::action_MspBoot, none, fine, bytesOf("64000000"), "Boot loader command sent");
        add("Next, line held through a link", &MainMenu::action_Next, none, busy, none, fine);
        add("Compile && Write, no port", flash, panel + litLast(0, 1, { 0 }), nowhere, none, fine);
        add("write 70 bytes, three blocks", flash, panel + litLast(0, 16, { 4, 8 }) + litLast(1, 1, { 9, 1, 0 }), fine,
            blocks(dark.repeated(15) + bytesOf("03100100" "00" "03030200" "00")), fine);
        add("write, controller unplugged", flash, panel + litLast(0, 40, {}), unplugged,
            blocks(dark.repeated(40) + '\0').left(36), fine);
    }

    void commands()
    {
        auto [action, body, warning, bytes, confirmation] =
            fetchColumns<MenuAction, QByteArray, QString, QByteArray, QString>(
                "action", "body", "warning", "bytes", "confirmation");
        const bool unplugged = warning.contains("failed"), noPort = warning.startsWith("No serial port");

        menu()->action_Flash->trigger(); // without a document: does nothing at all
        QVERIFY(!link()->isBusy());
        QVERIFY(openShow(body));
        // One device under two names is one port: the window may name it by a link.
        QTemporaryDir links;
        const QString port = QString(QTest::currentDataTag()).endsWith("link") ? links.filePath("link")
                                                                               : m_pPanel->devicePath();
        QVERIFY(port == m_pPanel->devicePath() || QFile::link(m_pPanel->devicePath(), port));
        QSerialPort holder(m_pPanel->devicePath());
        QVERIFY(!warning.startsWith("Cannot connect") || holder.open(QIODevice::ReadWrite));
        QString shown; // Setup Port shows the path the settings gave
        ModalAnswer::onNext([&](QWidget* setup) {
            auto* field = setup->findChild<QComboBox*>("comboBox_Port");
            shown = field->currentText();
            field->setEditText(noPort ? QString() : port);
            QTest::mousePress(setup->findChild<QPushButton*>("pushButton_OK"), Qt::LeftButton);
        });
        QVERIFY(triggerAnswered(menu()->action_SetupPort));
        QCOMPARE(shown, m_pPanel->devicePath());
        // The keys work with the focus inside the document too.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        document()->treeView()->setFocus();

        // While blocks go out, Reset, F10 and closing the window are refused; closing the document is not.
        QStringList messages;
        bool enabled = false, offered = true, closed = false;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&]() {
            if (!m_window->findChild<PanelLinkController*>()->isWriting())
                return;
            // Should a refused command show a box after all, it is closed so that the test fails, not hangs.
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
            messages << status();
            enabled = enabled || menu()->action_Flash->isEnabled() || menu()->action_Reset->isEnabled();
            offered = offered && stopOffered();
            if (messages.size() == 1) {
                QTest::keyClick(m_window, Qt::Key_F10);
                m_window->reset();
                closed = m_window->close();
                menu()->action_Close->trigger();
            }
        });
        watcher.start(20);
        if (unplugged)
            QTimer::singleShot(50, this, [this]() { m_pPanel->waitForLine("BLOCK 0"), m_pPanel->stop(); });
        QString text;
        if (!warning.isEmpty())
            ModalAnswer::messageBox(QMessageBox::Close, &text);
        if (action)
            (menu()->*action)->trigger();
        else
            QTest::keySequence(document()->treeView(), QKeySequence(QString::fromLatin1(QTest::currentDataTag())));
        QVERIFY(writeEnded());
        watcher.stop();
        QVERIFY(!enabled && offered && !closed && !stopOffered());
        // Why the window stayed open stays in view while the blocks go on.
        QVERIFY2(messages.size() < 2 || messages.last().contains("please wait"), qPrintable(messages.join('\n')));
        QCOMPARE(m_window->currentDocument() == nullptr, !messages.isEmpty());
        QVERIFY(m_window->isVisible() && menu()->action_Flash->isEnabled() && menu()->action_Reset->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return m_pPanel->received().size() >= bytes.size(); }, 5000));
        QTest::qWait(300); // anything sent later would arrive within the settle time
        QCOMPARE(m_pPanel->received().left(unplugged ? 36 : INT_MAX).toHex(' '), bytes.toHex(' '));
        const int blockCount = bytes.size() / 36;
        for (int n = 1; n <= blockCount; ++n)
            QVERIFY(!messages.filter(QStringLiteral("block %1 of %2").arg(n).arg(blockCount)).isEmpty() || unplugged);
        QCOMPARE(status() == "Programming finished!", action == &MainMenu::action_Flash && warning.isEmpty());
        if (action != &MainMenu::action_Flash)
            QCOMPARE(status(), confirmation);
        if (!confirmation.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(status().isEmpty(), 2500);
        if (warning.isEmpty())
            return;
        // Named as the user chose it, the path and not QSerialPort's short name.
        QVERIFY2(text.contains(warning.replace("%1", port)), qPrintable(text));
        if (unplugged) {
            QVERIFY(!link()->port()->isOpen());
            QVERIFY2(QRegularExpression("^Writing stopped after block [12] of 6; " + QRegularExpression::escape(
                         m_pPanel->devicePath()) + " is closed\\.$").match(status()).hasMatch(), qPrintable(status()));
        }
    }

    void modalDialogKeepsPace()
    {
        start({ "--timestamps", "--rows", "3", "--columns", "5" });
        QVERIFY(openShow(longShow));
        menu()->action_Flash->trigger();
        // "Add..." waits in a loop of its own until it is cancelled, with Esc, 1.5 s later.
        QElapsedTimer open;
        open.start();
        QTimer::singleShot(1500, Qt::PreciseTimer, [] {
            ModalAnswer::onNext([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        });
        menu()->action_AddFrames->trigger();
        QVERIFY(open.elapsed() >= 1500 && link()->isBusy());
        QVERIFY(writeEnded());

        QList<int> times;
        const QRegularExpression block("^(\\d+) BLOCK (\\d+)$");
        for (const QString& line : m_pPanel->lines()) {
            const QRegularExpressionMatch match = block.match(line);
            if (!match.hasMatch() || match.captured(2).toInt() != times.size())
                continue;
            times << match.captured(1).toInt();
            QVERIFY2(times.size() == 1 || times.last() - times.at(times.size() - 2) <= 300, qPrintable(line));
        }
        QCOMPARE(times.size(), 25);
        // 100 ms after each block at least; only the first one's arrival may lag by a read's jitter.
        QVERIFY(times.last() - times.first() >= 24 * 100 - 20);
    }

    void stop_data()
    {
        // after: the block the controller has when asked; -1: block 0 is going out
        const auto add = dataColumns<int>("after");
        // Esc is the action's shortcut.
        add("Esc while block 0 goes out", -1);
        add("button after block 2", 2);
    }

    void stop()
    {
        QFETCH(int, after);
        QVERIFY(openShow(longShow));
        menu()->action_Flash->trigger();
        QVERIFY(!link()->sendCommand(PanelLink::cmdNext) && !link()->writeProgram(longImage)); // one job at a time
        QVERIFY(after < 0 || m_pPanel->waitForLine(QStringLiteral("BLOCK %1").arg(after)));
        if (QString(QTest::currentDataTag()).startsWith("Esc"))
            QTest::keyClick(m_window, Qt::Key_Escape);
        else
            QTest::mouseClick(m_window->findChild<QPushButton*>("pushButton_StopWrite"), Qt::LeftButton);
        QVERIFY(writeEnded());
        QTest::qWait(300); // anything sent later would arrive within the settle time

        // Whole blocks only, as many as the message says.
        const QByteArray received = m_pPanel->received();
        const int n = received.size() / 36;
        QCOMPARE(received.toHex(' '), blocks(longImage).left(36 * n).toHex(' '));
        QVERIFY2(after < 0 ? n == 1 : n > after && n < 25, qPrintable(QString::number(n)));
        QCOMPARE(status(), QStringLiteral("Writing stopped after block %1 of 25.").arg(n));
    }

    void flasherKeepsWindowsOpenWhileBusy()
    {
        // Slow boot loader answers keep the run going long enough to be interrupted.
        start({ "--slow-ms", "30" });
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("firmware.txt"), "@6403\n" + QByteArray("5A ").repeated(400) + "\nq\n"));
        menu()->action_MspBootDialog->trigger();
        auto* flasher = m_window->findChild<MspFlasherDialog*>();
        QVERIFY(flasher && flasher->isVisible());
        flasher->findChild<QLineEdit*>("filePath")->setText(dir.filePath("firmware.txt"));
        QTest::mouseClick(flasher->findChild<QPushButton*>("flash"), Qt::LeftButton);
        QVERIFY(m_pPanel->waitForLine("PACKET 3 "));
        QVERIFY(flasher->isFlashing() && !flasher->close() && !m_window->close());
        QVERIFY(status().contains("flasher is still running"));
        // The panel commands keep off the line the boot loader is answering on.
        QVERIFY(openShow(""));
        for (QAction* action : { menu()->action_Reset, menu()->action_Flash, menu()->action_MspBoot }) {
            m_window->statusBar()->clearMessage();
            action->trigger();
            QCOMPARE(status(), "The device flasher is using " + m_pPanel->devicePath() + ".");
            QVERIFY(!QApplication::activeModalWidget());
        }
        QVERIFY(QTest::qWaitFor([&] { return !flasher->isFlashing(); }, 10000));
        const QStringList report = flasher->findChild<QPlainTextEdit*>("report")->toPlainText().split('\n');
        QCOMPARE(report.filter("in progress").size(), 1); // the refused close of the flasher window
        QVERIFY(report.contains("Jump to the application"));
        QCOMPARE(m_pPanel->lines().filter(QRegularExpression("HEADER|RESET|BOOT$")).size(), 0);
    }

private:
    void start(const QStringList& arguments)
    {
        closeWindow();
        m_pPanel.reset(new PanelSimulator);
        QVERIFY(m_pPanel->start(arguments));
        // The window takes its port name from the settings file, as at every start.
        QSettings(settingsFile(), QSettings::IniFormat).setValue("SerialPort/Name", m_pPanel->devicePath());
        m_window = new MainWindow;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    bool writeEnded() { return QTest::qWaitFor([this] { return !link()->isBusy() && ModalAnswer::allAnswered(); }); }
    PanelLink* link() const { return m_window->findChild<PanelLink*>(); }
    QString status() const { return m_window->statusBar()->currentMessage(); }
    bool stopOffered() const
    {
        return menu()->action_StopWrite->isEnabled() && m_window->findChild<QProgressBar*>()->isVisible()
               && m_window->findChild<QPushButton*>("pushButton_StopWrite")->isEnabled();
    }

    std::unique_ptr<PanelSimulator> m_pPanel;
};

QTEST_MAIN(tst_PanelLink)
#include "tst_PanelLink.moc"
