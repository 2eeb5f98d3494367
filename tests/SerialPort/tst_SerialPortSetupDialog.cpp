#include "SerialPort/SerialPortSetupDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QtTest>

#include <algorithm>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using Ints = QList<int>;

static QComboBox* combo(const QDialog& dialog, const QString& name)
{
    return dialog.findChild<QComboBox*>("comboBox_" + name);
}

class tst_SerialPortSetupDialog : public QObject
{
    Q_OBJECT

private slots:
    void portOrder();
    void buttons_data();
    void buttons();
    void acceptReopensOpenPort();
};

void tst_SerialPortSetupDialog::portOrder()
{
    QStringList names{"ttyS10", "COM10", "ttyUSB0", "com1", "", "COM2", "ttyS", "tty10S1", "COM01", "ttyS2",
                      "tty2S5", "COM1", "COM99999999999999999999"};
    std::sort(names.begin(), names.end(), &SerialPortSetupDialog::portNameLessThan);
    QCOMPARE(names, QStringList({"", "COM01", "COM1", "COM2", "COM10", "COM99999999999999999999", "com1", "tty10S1",
                                 "tty2S5", "ttyS", "ttyS2", "ttyS10", "ttyUSB0"}));
}

// Combo indices (data bits, stop bits, parity) chosen and a baud rate typed into a
// dialog on a port at an unlisted rate, 5M2, with a name that is not listed.
void tst_SerialPortSetupDialog::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Ints>("indices");
    QTest::addColumn<Ints>("expected"); // baud rate, data bits, stop bits, parity

    QTest::newRow("listed rate") << "OK" << "19200" << Ints{1, 2, 1} << Ints{19200, 7, 2, 2};
    QTest::newRow("rate not listed") << "OK" << "76801" << Ints{3, 1, 4} << Ints{76801, 5, 3, 5};
    QTest::newRow("empty rate keeps the old one") << "OK" << "" << Ints{0, 0, 2} << Ints{250000, 8, 1, 3};
    QTest::newRow("letters are refused") << "OK" << "x9y6z" << Ints{2, 0, 3} << Ints{96, 6, 1, 4};
    QTest::newRow("minus sign is refused") << "OK" << "-1200" << Ints{0, 0, 0} << Ints{1200, 8, 1, 0};
    QTest::newRow("nothing selected passes 0") << "OK" << "1200" << Ints{-1, -1, -1} << Ints{1200, 0, 0, 0};
    QTest::newRow("cancel") << "Cancel" << "9600" << Ints{1, 1, 1} << Ints{250000, 5, 2, 5};
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
    QStringList shown;
    for (const char* name : {"Baudrate", "DataBits", "StopBits", "Parity"})
        shown << combo(dialog, name)->currentText();
    QCOMPARE(shown.join(' '), "250000 5 2 Mark");
    QLineEdit* baudRate = combo(dialog, "Baudrate")->lineEdit();
    baudRate->selectAll();
    QTest::keyClick(baudRate, Qt::Key_Delete);
    QTest::keyClicks(baudRate, typed);
    for (int i = 0; i < 3; ++i)
        combo(dialog, QStringList{"DataBits", "StopBits", "Parity"}.at(i))->setCurrentIndex(indices[i]);

    // The buttons act on press.
    auto* pushButton = dialog.findChild<QPushButton*>("pushButton_" + button);
    QTest::mousePress(pushButton, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(button == "OK" ? QDialog::Accepted : QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QTest::mouseRelease(pushButton, Qt::LeftButton);

    const Ints applied{qint32(port.baudRate(QSerialPort::Input)), port.dataBits(), port.stopBits(), port.parity()};
    QCOMPARE(applied, expected);
    QCOMPARE(port.baudRate(QSerialPort::Output), expected[0]);
    QCOMPARE(port.portName(), button == "OK" ? combo(dialog, "Port")->currentText() : "ttyNowhere7");
    QVERIFY(!port.isOpen());
}

void tst_SerialPortSetupDialog::acceptReopensOpenPort()
{
    struct Master {
        int fd = posix_openpt(O_RDWR | O_NOCTTY);
        ~Master() { ::close(fd); }
    } master;
    QVERIFY(master.fd >= 0 && grantpt(master.fd) == 0 && unlockpt(master.fd) == 0);
    QSerialPort port(QString::fromLocal8Bit(ptsname(master.fd)));
    QVERIFY2(port.open(QIODevice::ReadOnly), qPrintable(port.errorString()));
    QSignalSpy closing(&port, &QIODevice::aboutToClose);

    SerialPortSetupDialog dialog(&port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The pseudo-terminal is not among the listed ports; offer it as if it were.
    combo(dialog, "Port")->addItem(port.portName());
    combo(dialog, "Port")->setCurrentIndex(combo(dialog, "Port")->count() - 1);
    combo(dialog, "Baudrate")->setCurrentText(QStringLiteral("19200"));
    combo(dialog, "StopBits")->setCurrentIndex(2);
    QTest::mousePress(dialog.findChild<QPushButton*>("pushButton_OK"), Qt::LeftButton);

    QCOMPARE(closing.count(), 1);
    QVERIFY2(port.isOpen(), qPrintable(port.errorString()));
    QCOMPARE(port.openMode(), QIODevice::ReadWrite);
    // The device carries the new line settings.
    termios settings{};
    QVERIFY(tcgetattr(master.fd, &settings) == 0);
    QCOMPARE(cfgetospeed(&settings), speed_t(B19200));
    QVERIFY(settings.c_cflag & CSTOPB);
}

QTEST_MAIN(tst_SerialPortSetupDialog)
#include "tst_SerialPortSetupDialog.moc"
