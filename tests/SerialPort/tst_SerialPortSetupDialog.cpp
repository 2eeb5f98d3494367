#include "SerialPort/SerialPortSetupDialog.h"

#include <QSerialPort>
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
    void buttons_data();
    void buttons();
};

// A port name and a baud rate typed into the dialog on an unlisted port at an unlisted rate, parity Mark.
void tst_SerialPortSetupDialog::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("parity"); // the index chosen
    QTest::addColumn<QList<int>>("expected"); // baud rate, parity

    QTest::newRow("listed rate, letters and minus refused") << "OK" << "1x9-200" << 1 << QList<int>{19200, 2};
    QTest::newRow("rate not listed") << "OK" << "76801" << 3 << QList<int>{76801, 4};
    QTest::newRow("empty rate keeps the old one") << "OK" << "" << 0 << QList<int>{250000, 0};
    QTest::newRow("cancel") << "Cancel" << "9600" << 2 << QList<int>{250000, 5};
}

void tst_SerialPortSetupDialog::buttons()
{
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(int, parity);
    QFETCH(QList<int>, expected);
    QSerialPort port(QStringLiteral("ttyNowhere7"));
    port.setBaudRate(250000);
    port.setParity(QSerialPort::MarkParity);
    SerialPortSetupDialog dialog(&port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QList<QComboBox*> combos;
    for (const char* name : {"Port", "Baudrate", "Parity"})
        combos << dialog.findChild<QComboBox*>(QStringLiteral("comboBox_") + name);
    QCOMPARE(combos[1]->currentText() + ' ' + combos[2]->currentText(), "250000 Mark");
    for (int i = 0; i < 2; ++i) { // the port and rate fields take typed text
        combos[i]->lineEdit()->selectAll();
        QTest::keyClick(combos[i]->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(combos[i]->lineEdit(), i ? typed : QStringLiteral("ttyNowhere8"));
    }
    combos[2]->setCurrentIndex(parity);

    auto* pushButton = dialog.findChild<QPushButton*>("pushButton_" + button);
    QTest::mousePress(pushButton, Qt::LeftButton); // the buttons act on press
    QVERIFY(!dialog.isVisible() && dialog.result() == (button == "OK" ? QDialog::Accepted : QDialog::Rejected));
    QTest::mouseRelease(pushButton, Qt::LeftButton);
    const QList<int> applied{port.baudRate(QSerialPort::Input), port.baudRate(QSerialPort::Output), port.parity()};
    QCOMPARE(applied, expected.mid(0, 1) + expected);
    QCOMPARE(port.portName(), button == "OK" ? "ttyNowhere8" : "ttyNowhere7");
    QVERIFY(!port.isOpen());
}

QTEST_MAIN(tst_SerialPortSetupDialog)
#include "tst_SerialPortSetupDialog.moc"
