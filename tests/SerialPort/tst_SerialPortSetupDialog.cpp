#include "SerialPort/SerialPortSetupDialog.h"

#include "DataColumns.h"
#include "PanelSimulator.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <QtTest>
#include <QtWidgets>

class tst_SerialPortSetupDialog : public QObject
{
    Q_OBJECT

private slots:
    void portOrder()
    {
        QStringList names{"ttyS10", "COM10", "ttyUSB0", "com1", "", "COM2", "ttyS", "tty10S1", "COM01", "ttyS2",
                          "tty2S5", "COM1", "COM99999999999999999999"};
        std::sort(names.begin(), names.end(), &SerialPortSetupDialog::portNameLessThan);
        QCOMPARE(names, QStringList({"", "COM01", "COM1", "COM2", "COM10", "COM99999999999999999999", "com1",
                                     "tty10S1", "tty2S5", "ttyS", "ttyS2", "ttyS10", "ttyUSB0"}));
    }

    // The system's ports by full path, in the list's order, each described; the first is the default.
    void portList()
    {
        QStringList expected;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            expected << info.systemLocation();
        std::sort(expected.begin(), expected.end(), &SerialPortSetupDialog::portNameLessThan);
        QSerialPort serial;
        SerialPortSetupDialog dialog(&serial);
        auto* field = dialog.findChild<QComboBox*>("comboBox_Port");
        auto* label = dialog.findChild<QLabel*>("label_PortDescription");
        QStringList listed;
        for (int i = 0; i < field->count(); ++i) {
            listed << field->itemText(i);
            field->setCurrentIndex(i);
            const QSerialPortInfo info(field->itemText(i).section('/', -1));
            QVERIFY(label->text().contains(info.description()) && label->text().contains(info.manufacturer()));
        }
        QCOMPARE(listed, expected);
        QCOMPARE(SerialPortSetupDialog::defaultPortName(), expected.value(0));
        field->setEditText("/dev/pts/3"); // typed: nothing known of it
        QCOMPARE(label->text(), QString());
    }

    // On the simulator's pseudo-terminal, which the system's list never offers: rates typed, parity chosen.
    void buttons_data()
    {
        // parity: the index chosen; expected: baud rate, parity; port: typed; empty: the shown one kept
        const auto add
            = dataColumns<QString, QString, int, QList<int>, QString>("button", "typed", "parity", "expected", "port");
        add("listed rate, letters and minus refused", "OK", "1x9-200", 1, QList<int>{19200, 2}, "");
        // A path relative to the working folder (a socat link, say) is not one under /dev.
        add("rate not listed, relative port typed", "OK", "76801", 3, QList<int>{76801, 4}, "./ttyNowhere8");
        add("empty rate keeps the old one", "OK", "", 0, QList<int>{250000, 0}, "");
        add("Autodetect keeps the port", "Autodetect", "57600", 0, QList<int>{57600, 0}, "");
        add("cancel", "Cancel", "9600", 2, QList<int>{250000, 5}, "/dev/ttyNowhere8");
        // As pasted from a terminal: the blanks are no part of the name.
        add("port pasted with blanks", "OK", "57600", 0, QList<int>{57600, 0}, " shown ");
    }

    void buttons()
    {
        auto [button, typed, parity, expected, port] =
            fetchColumns<QString, QString, int, QList<int>, QString>("button", "typed", "parity", "expected", "port");
        PanelSimulator panel;
        QVERIFY(panel.start({ "--raw" }));
        QSerialPort serial(panel.devicePath());
        const QString shown = panel.devicePath(); // the path, not QSerialPort's "pts/N"
        port.replace(QLatin1String("shown"), shown);
        serial.setBaudRate(250000);
        serial.setParity(QSerialPort::MarkParity);
        SerialPortSetupDialog dialog(&serial);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QList<QComboBox*> combos;
        for (const char* name : {"Port", "Baudrate", "Parity"})
            combos << dialog.findChild<QComboBox*>(QStringLiteral("comboBox_") + name);
        QCOMPARE(combos[0]->currentText(), shown);
        QCOMPARE(combos[1]->currentText() + ' ' + combos[2]->currentText(), "250000 Mark");
        for (int i = port.isEmpty() ? 1 : 0; i < 2; ++i) { // the port and rate fields take typed text
            combos[i]->lineEdit()->selectAll();
            QTest::keyClick(combos[i]->lineEdit(), Qt::Key_Delete);
            QTest::keyClicks(combos[i]->lineEdit(), i ? typed : port);
        }
        combos[2]->setCurrentIndex(parity);
        if (button == "Autodetect")
            QTest::mouseClick(dialog.findChild<QPushButton*>("pushButton_Autodetect"), Qt::LeftButton);
        auto* pushButton = dialog.findChild<QPushButton*>("pushButton_" + (button == "Cancel" ? button : "OK"));
        QTest::mousePress(pushButton, Qt::LeftButton); // the buttons act on press
        QVERIFY(!dialog.isVisible() && dialog.result() == (button == "Cancel" ? QDialog::Rejected : QDialog::Accepted));
        QTest::mouseRelease(pushButton, Qt::LeftButton);
        const QString chosen = port.trimmed().isEmpty() || button == "Cancel" ? shown : port.trimmed();
        QCOMPARE(SerialPortSetupDialog(&serial).findChild<QComboBox*>("comboBox_Port")->currentText(), chosen);

        const QList<int> applied{serial.baudRate(QSerialPort::Input), serial.baudRate(QSerialPort::Output),
                                 serial.parity()};
        QCOMPARE(applied, expected.mid(0, 1) + expected);
        QVERIFY(!serial.isOpen());
        if (chosen != shown)
            return;
        // The name kept still reaches the controller.
        QVERIFY(serial.open(QIODevice::ReadWrite));
        QVERIFY(serial.write(QByteArray::fromHex("02000000")) == 4 && serial.waitForBytesWritten(1000));
        QVERIFY(panel.waitForLine("NEXT"));
    }
};

QTEST_MAIN(tst_SerialPortSetupDialog)
#include "tst_SerialPortSetupDialog.moc"
