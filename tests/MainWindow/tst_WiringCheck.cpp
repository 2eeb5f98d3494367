#include "Data/CommandList.h"
#include "Data/LedShapes.h"
#include "Data/LedStateCommand.h"
#include "MainWindow/PanelLinkController.h"
#include "MainWindow/WiringPanelView.h"

#include "DataColumns.h"
#include "ModalAnswer.h"
#include "PanelSimulator.h"
#include "WindowFixture.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>

Q_DECLARE_METATYPE(LedLayout)

namespace {

// The show believes in plain rows from the top left; the panel is wired otherwise.
LedLayout wiredFromBottomRight()
{
    LedLayout layout = LedLayout::create(LedLayout::Rectangle, 3, 6);
    layout.setNumbering(LedLayout::Columns, true);
    layout.setSpacings(-6, -6);
    layout.setFirstLedPosition(QPointF(30, 12));
    return layout;
}

} // namespace

// Tools > Check wiring against the simulated panel, clicked through as a user would.
class tst_WiringCheck : public QObject, public WindowFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pPanel.reset(new PanelSimulator);
        QVERIFY(m_pPanel->start({ "--settle", "200", "--rows", "3", "--columns", "6" }));
        QSettings(settingsFile(), QSettings::IniFormat).setValue("SerialPort/Name", m_pPanel->devicePath());
        m_window = new MainWindow;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        // An L in the top left corner.
        const auto lit = [](int, int led) { return led == 0 || led == 6 || led == 12 || led == 13 ? 1 : 0; };
        QVERIFY(openShow(layoutXml(3, 6) + sequenceXml(0, 1, 18, lit)));
    }

    void cleanup()
    {
        QVERIFY(closeWindow());
        m_pPanel.reset();
    }

    void check_data()
    {
        // steps: single LEDs clicked; 0: the question answered No
        const auto add = dataColumns<LedLayout, int, QString>("wired", "steps", "result");
        const QString applies
            = QStringLiteral(". Apply makes it the show's numbering, with the pictures kept as drawn.");
        add("as the show says", LedLayout::create(LedLayout::Rectangle, 3, 6), 3,
            "The panel is numbered as the show says: rows first from the top left.");
        // LED 6 sits in the last column whether the columns run back or not: one more LED tells.
        add("serpentine columns from the bottom right, a fourth LED needed", wiredFromBottomRight(), 4,
            "The panel is numbered columns first from the bottom right, serpentine" + applies);
        add("LED 1 lit where LED 0 did", LedLayout(), 3,
            "No numbering explains the LEDs you clicked; the layout stays as it is.");
        // Asked first, since the test replaces the panel's show.
        add("declined, nothing sent", LedLayout(), 0, QString());
    }

    void check()
    {
        const auto [wired, steps, result] = fetchColumns<LedLayout, int, QString>("wired", "steps", "result");
        const LedLayout believed = document()->panelLayout();
        const QVector<int> picture = drawnCells(believed, document()->sequence(0)->frame(0)->intensities());

        ModalAnswer::messageBox(steps ? QMessageBox::Yes : QMessageBox::No);
        QVERIFY(triggerAnswered(menu()->action_CheckWiring));
        if (steps == 0) {
            QTest::qWait(300);
            QVERIFY(!dialog() || !dialog()->isVisible());
            QCOMPARE(m_pPanel->lines(), QStringList());
            return;
        }
        QVERIFY(dialog());
        QVERIFY(dialog()->screen()->availableGeometry().contains(dialog()->frameGeometry()));
        QVERIFY(m_pPanel->waitForLine("RESET"));
        QCOMPARE(m_pPanel->lines().filter("SEQUENCE 2 FRAME 0 LEDS").value(0),
                 QStringLiteral("SEQUENCE 2 FRAME 0 LEDS 6"));

        auto* view = field<WiringPanelView>("wiringPanel");
        auto* next = field<QPushButton>("pushButton_Next");
        // The sequences in the order Next reaches them: every LED comes before the fourth single one.
        const auto goNext = [&](int sequence) {
            QVERIFY(next->isEnabled());
            next->click();
            QTRY_VERIFY(stepText().startsWith(QString("Sequence %1 lights").arg(sequence)));
        };
        QTRY_VERIFY(stepText().startsWith("Sequence 1 lights"));
        for (int step = 0; step < steps; ++step) {
            QVERIFY(!next->isEnabled());
            // Where the panel really lights the LED the step names, as the show draws it.
            const int led = stepText().section(' ', 4, 4).toInt();
            const int seen = wired.type() == LedLayout::Rectangle
                ? LedShapes::nearestLed(believed, wired.ledPositionOf(led)) : 0;
            QTest::mouseClick(view, Qt::LeftButton, {}, view->ledPoint(seen));
            QCOMPARE(view->markedLed(), seen);
            if (step + 1 < steps) {
                goNext(step == 2 ? 4 : step + 2);
                if (step == 2) {
                    // Every LED lit: a click there records nothing, so it rings nothing.
                    QTest::mouseClick(view, Qt::LeftButton, {}, view->ledPoint(seen));
                    QCOMPARE(view->markedLed(), -1);
                    goNext(5);
                }
            }
        }
        QCOMPARE(field<QLabel>("label_Result")->text(), result);
        auto* apply = field<QPushButton>("pushButton_Apply");
        QCOMPARE(apply->isEnabled(), result.contains("Apply"));
        if (apply->isEnabled()) {
            apply->click();
            const LedLayout now = document()->panelLayout();
            for (int led = 0; led < now.ledCount(); ++led)
                QVERIFY(QLineF(now.ledPositionOf(led), wired.ledPositionOf(led)).length() < 1e-9);
            QCOMPARE(drawnCells(now, document()->sequence(0)->frame(0)->intensities()), picture);
            action("action_Undo")->trigger();
            QCOMPARE(document()->panelLayout(), believed);
        }

        // The show goes back on the panel at the end, over the test.
        if (steps == 3)
            goNext(4);
        QVERIFY(!next->isEnabled());
        QTRY_COMPARE(m_pPanel->lines().filter("NEXT").size(), steps); // one Next for each LED clicked
        auto* writeShow = field<QPushButton>("pushButton_WriteShow");
        QVERIFY(writeShow->isEnabled());
        writeShow->click();
        QTRY_COMPARE(stepText(), QStringLiteral("The show is back on the panel."));
        QVERIFY(QTest::qWaitFor([this] { return m_pPanel->lines().filter("IMAGE").size() == 2; }));
        QCOMPARE(m_pPanel->lines().filter("SEQUENCE 0 FRAME 0 LEDS").last(), "SEQUENCE 0 FRAME 0 LEDS 0 6 12 13");
    }

    // With no port chosen the dialog says so, not what the system makes of an empty name.
    void noPort()
    {
        m_window->findChild<PanelLinkController*>()->setPortSettings(SerialPortSettings());
        ModalAnswer::messageBox(QMessageBox::Yes);
        ModalAnswer::messageBox(QMessageBox::Close); // the window's own warning
        QVERIFY(triggerAnswered(menu()->action_CheckWiring));
        QCOMPARE(stepText(), QStringLiteral("The panel did not get it: No serial port is chosen."));
    }

    // A Next that cannot reach the panel says so and may be pressed again.
    void nextRefused()
    {
        ModalAnswer::messageBox(QMessageBox::Yes);
        menu()->action_CheckWiring->trigger();
        QTRY_VERIFY(stepText().startsWith("Sequence 1 lights"));
        auto* view = field<WiringPanelView>("wiringPanel");
        // Without a mouse: the panel has the keys, the arrows go from LED to LED and Space takes one.
        QCOMPARE(QApplication::focusWidget(), view);
        for (Qt::Key key : { Qt::Key_Right, Qt::Key_Down, Qt::Key_Space })
            QTest::keyClick(view, key);
        QCOMPARE(view->markedLed(), 7);
        auto* next = field<QPushButton>("pushButton_Next");
        QSerialPort holder(m_pPanel->devicePath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        ModalAnswer::messageBox(QMessageBox::Close); // the window's own warning
        next->click();
        QTRY_VERIFY(ModalAnswer::allAnswered());
        QVERIFY2(stepText().startsWith("The panel did not get it: ") && next->isEnabled(), qPrintable(stepText()));
        holder.close();
        next->click();
        QTRY_VERIFY(stepText().startsWith("Sequence 2 lights"));
    }

private:
    QWidget* dialog() const { return m_window->findChild<QDialog*>(QStringLiteral("WiringDialog")); }
    template <class T> T* field(const char* name) const { return dialog()->findChild<T*>(QLatin1String(name)); }
    QString stepText() const { return field<QLabel>("label_Step")->text(); }

    std::unique_ptr<PanelSimulator> m_pPanel;
};

int main(int argc, char* argv[])
{
    // A small screen, as a netbook's: the offscreen one becomes 533×400.
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    tst_WiringCheck test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_WiringCheck.moc"
