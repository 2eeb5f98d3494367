#include "SerialPort/SerialPortSetupDialog.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>

using Ints = QList<int>;

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

// On an unlisted port at an unlisted rate, 5M2: a port name and a baud rate typed, combo indices
// (data bits, stop bits, parity) chosen.
void tst_SerialPortSetupDialog::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Ints>("indices");
    QTest::addColumn<Ints>("expected"); // baud rate, data bits, stop bits, parity

    QTest::newRow("listed rate, letters and minus refused") << "OK" << "1x9-200" << Ints{1, 2, 1}
                                                            << Ints{19200, 7, 2, 2};
    QTest::newRow("rate not listed") << "OK" << "76801" << Ints{3, 1, 4} << Ints{76801, 5, 3, 5};
    QTest::newRow("empty rate keeps the old one") << "OK" << "" << Ints{2, 0, 3} << Ints{250000, 6, 1, 4};
    QTest::newRow("cancel") << "Cancel" << "9600" << Ints{1, 1, 0} << Ints{250000, 5, 2, 5};
}

void tst_SerialPortSetupDialog::buttons()
{
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(Ints, indices);
    QFETCH(Ints, expected);
    QSerialPort port(QStringLiteral("ttyNowhere7"));
    port.setBaudRate(250000);
    port.setDataBits(QSerialPort::Data5);
    port.setStopBits(QSerialPort::TwoStop);
    port.setParity(QSerialPort::MarkParity);
    SerialPortSetupDialog dialog(&port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QList<QComboBox*> combos;
    QStringList shown;
    for (const char* name : {"Port", "Baudrate", "DataBits", "StopBits", "Parity"}) {
        combos << dialog.findChild<QComboBox*>(QStringLiteral("comboBox_") + name);
        shown << combos.last()->currentText();
    }
    QCOMPARE(shown.mid(1).join(' '), "250000 5 2 Mark");
    for (int i = 0; i < 2; ++i) { // the port and rate fields take typed text
        combos[i]->lineEdit()->selectAll();
        QTest::keyClick(combos[i]->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(combos[i]->lineEdit(), i ? typed : QStringLiteral("ttyNowhere8"));
    }
    for (int i = 0; i < 3; ++i)
        combos[i + 2]->setCurrentIndex(indices[i]);

    // The buttons act on press.
    auto* pushButton = dialog.findChild<QPushButton*>("pushButton_" + button);
    QTest::mousePress(pushButton, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(button == "OK" ? QDialog::Accepted : QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QTest::mouseRelease(pushButton, Qt::LeftButton);
    const Ints applied{qint32(port.baudRate(QSerialPort::Input)), port.dataBits(), port.stopBits(), port.parity()};
    QCOMPARE(applied, expected);
    QCOMPARE(port.baudRate(QSerialPort::Output), expected[0]);
    QCOMPARE(port.portName(), button == "OK" ? "ttyNowhere8" : "ttyNowhere7");
    QVERIFY(!port.isOpen());
}

QTEST_MAIN(tst_SerialPortSetupDialog)
#include "tst_SerialPortSetupDialog.moc"
