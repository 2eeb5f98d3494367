#include "SerialPort/SerialPortSetupDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The master side of a pseudo-terminal; the dialog's port opens the slave side.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        m_Master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_Master >= 0 && grantpt(m_Master) == 0 && unlockpt(m_Master) == 0)
            m_SlavePath = QString::fromLocal8Bit(ptsname(m_Master));
    }
    ~PseudoTerminal()
    {
        if (m_Master >= 0)
            ::close(m_Master);
    }
    QString slavePath() const { return m_SlavePath; }
    bool lineSettings(termios* settings) const { return tcgetattr(m_Master, settings) == 0; }

private:
    int m_Master = -1;
    QString m_SlavePath;
};

QStringList sortedAvailablePorts()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        names.append(info.portName());
    std::sort(names.begin(), names.end(), &SerialPortSetupDialog::portNameLessThan);
    return names;
}

QStringList itemTexts(const QComboBox* comboBox)
{
    QStringList texts;
    for (int i = 0; i < comboBox->count(); ++i)
        texts.append(comboBox->itemText(i));
    return texts;
}

template<typename T>
T* child(const QDialog& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("%s missing", name);
    return widget;
}

QComboBox* combo(const QDialog& dialog, const char* name)
{
    return child<QComboBox>(dialog, name);
}

QPushButton* button(const QDialog& dialog, const char* name)
{
    return child<QPushButton>(dialog, name);
}

// The buttons act on press: the dialog must be finished before the release.
void press(QPushButton* pushButton)
{
    QTest::mousePress(pushButton, Qt::LeftButton);
}

} // namespace

class tst_SerialPortSetupDialog : public QObject
{
    Q_OBJECT

private slots:
    void sortedPortList_data();
    void sortedPortList();
    void comboContents_data();
    void comboContents();
    void showsPortSettings_data();
    void showsPortSettings();
    void acceptAppliesSettings_data();
    void acceptAppliesSettings();
    void cancelLeavesPortUntouched();
    void acceptReopensOpenPort();
    void portListAndAutodetect();
};

void tst_SerialPortSetupDialog::sortedPortList_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("sorted");

    QTest::newRow("numbers") << QStringList { "COM10", "COM2", "COM1" }
                             << QStringList { "COM1", "COM2", "COM10" };
    QTest::newRow("stems first, as case-sensitive text")
        << QStringList { "ttyS10", "ttyUSB0", "com1", "COM3", "ttyS2", "ttyACM1", "COM99" }
        << QStringList { "COM3", "COM99", "com1", "ttyACM1", "ttyS2", "ttyS10", "ttyUSB0" };
    QTest::newRow("no digits counts as 0") << QStringList { "ttyS1", "ttyS", "ttyS0" }
                                           << QStringList { "ttyS", "ttyS0", "ttyS1" };
    QTest::newRow("digits inside the stem") << QStringList { "tty10S1", "tty2S5", "7", "12", "" }
                                            << QStringList { "", "7", "12", "tty10S1", "tty2S5" };
    QTest::newRow("numbers beyond int and leading zeros")
        << QStringList { "COM99999999999999999999", "COM010", "COM9", "COM01", "COM1" }
        << QStringList { "COM01", "COM1", "COM9", "COM010", "COM99999999999999999999" };
}

void tst_SerialPortSetupDialog::sortedPortList()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, sorted);

    std::sort(names.begin(), names.end(), &SerialPortSetupDialog::portNameLessThan);
    QCOMPARE(names, sorted);
}

void tst_SerialPortSetupDialog::comboContents_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("values");

    QTest::newRow("data bits") << "comboBox_DataBits" << QStringList { "8", "7", "6", "5" }
                               << QList<int> { 8, 7, 6, 5 };
    QTest::newRow("stop bits") << "comboBox_StopBits" << QStringList { "1", "1.5", "2" }
                               << QList<int> { 1, 3, 2 };
    QTest::newRow("parity") << "comboBox_Parity"
                            << QStringList { "None", "Even", "Odd", "Space", "Mark" }
                            << QList<int> { 0, 2, 3, 4, 5 };
    QTest::newRow("baud rate")
        << "comboBox_Baudrate"
        << QStringList { "128000", "115200", "76800", "57600", "38400", "33600",
                         "28800", "19200", "14400", "9600", "4800", "3600",
                         "2400", "1800", "1200", "900", "600", "300" }
        << QList<int>();
}

void tst_SerialPortSetupDialog::comboContents()
{
    QFETCH(QString, objectName);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, values);

    QSerialPort port;
    SerialPortSetupDialog dialog(&port);
    const QComboBox* comboBox = dialog.findChild<QComboBox*>(objectName);
    QVERIFY(comboBox);
    QCOMPARE(itemTexts(comboBox), texts);
    for (int i = 0; i < comboBox->count(); ++i) {
        const QVariant data = comboBox->itemData(i);
        if (values.isEmpty())
            QVERIFY(!data.isValid());
        else
            QCOMPARE(data.toInt(), values.at(i));
    }
}

void tst_SerialPortSetupDialog::showsPortSettings_data()
{
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<QString>("baudText");
    QTest::addColumn<QString>("dataText");
    QTest::addColumn<QString>("stopText");
    QTest::addColumn<QString>("parityText");

    QTest::newRow("57600 8N1") << 57600 << 8 << 1 << 0 << "57600" << "8" << "1" << "None";
    QTest::newRow("128000 7E1.5") << 128000 << 7 << 3 << 2 << "128000" << "7" << "1.5" << "Even";
    QTest::newRow("300 5M2") << 300 << 5 << 2 << 5 << "300" << "5" << "2" << "Mark";
    QTest::newRow("rate not listed") << 250000 << 6 << 1 << 3 << "250000" << "6" << "1" << "Odd";
    QTest::newRow("unknown values select nothing")
        << 9600 << int(QSerialPort::UnknownDataBits) << int(QSerialPort::UnknownStopBits)
        << int(QSerialPort::UnknownParity) << "9600" << QString() << QString() << QString();
}

void tst_SerialPortSetupDialog::showsPortSettings()
{
    QFETCH(int, baudRate);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(int, parity);
    QFETCH(QString, baudText);
    QFETCH(QString, dataText);
    QFETCH(QString, stopText);
    QFETCH(QString, parityText);

    QSerialPort port;
    port.setBaudRate(baudRate);
    port.setDataBits(static_cast<QSerialPort::DataBits>(dataBits));
    port.setStopBits(static_cast<QSerialPort::StopBits>(stopBits));
    port.setParity(static_cast<QSerialPort::Parity>(parity));

    SerialPortSetupDialog dialog(&port);
    QCOMPARE(combo(dialog, "comboBox_Baudrate")->currentText(), baudText);
    QCOMPARE(combo(dialog, "comboBox_DataBits")->currentText(), dataText);
    QCOMPARE(combo(dialog, "comboBox_StopBits")->currentText(), stopText);
    QCOMPARE(combo(dialog, "comboBox_Parity")->currentText(), parityText);
}

void tst_SerialPortSetupDialog::acceptAppliesSettings_data()
{
    QTest::addColumn<QString>("typedBaudRate");
    QTest::addColumn<int>("dataIndex");
    QTest::addColumn<int>("stopIndex");
    QTest::addColumn<int>("parityIndex");
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("parity");

    // The port starts at 57600 8N1.
    QTest::newRow("listed rate") << "19200" << 1 << 2 << 1 << 19200 << 7 << 2 << 2;
    QTest::newRow("rate not listed") << "250000" << 3 << 1 << 4 << 250000 << 5 << 3 << 5;
    QTest::newRow("empty rate keeps the old one") << "" << 0 << 0 << 2 << 57600 << 8 << 1 << 3;
    QTest::newRow("letters are refused") << "x9y6z" << 2 << 0 << 3 << 96 << 6 << 1 << 4;
    QTest::newRow("minus sign is refused") << "-1200" << 0 << 0 << 0 << 1200 << 8 << 1 << 0;
    QTest::newRow("nothing selected passes 0") << "1200" << -1 << -1 << -1 << 1200 << 0 << 0 << 0;
}

void tst_SerialPortSetupDialog::acceptAppliesSettings()
{
    QFETCH(QString, typedBaudRate);
    QFETCH(int, dataIndex);
    QFETCH(int, stopIndex);
    QFETCH(int, parityIndex);
    QFETCH(int, baudRate);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(int, parity);

    QSerialPort port;
    port.setBaudRate(57600);
    SerialPortSetupDialog dialog(&port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QComboBox* baud = combo(dialog, "comboBox_Baudrate");
    baud->lineEdit()->selectAll();
    QTest::keyClick(baud->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(baud->lineEdit(), typedBaudRate);
    combo(dialog, "comboBox_DataBits")->setCurrentIndex(dataIndex);
    combo(dialog, "comboBox_StopBits")->setCurrentIndex(stopIndex);
    combo(dialog, "comboBox_Parity")->setCurrentIndex(parityIndex);

    press(button(dialog, "pushButton_OK"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QTest::mouseRelease(button(dialog, "pushButton_OK"), Qt::LeftButton);

    QCOMPARE(port.baudRate(QSerialPort::Input), baudRate);
    QCOMPARE(port.baudRate(QSerialPort::Output), baudRate);
    QCOMPARE(int(port.dataBits()), dataBits);
    QCOMPARE(int(port.stopBits()), stopBits);
    QCOMPARE(int(port.parity()), parity);
    QCOMPARE(port.portName(), combo(dialog, "comboBox_Port")->currentText());
    QVERIFY(!port.isOpen());
}

void tst_SerialPortSetupDialog::cancelLeavesPortUntouched()
{
    QSerialPort port;
    port.setPortName(QStringLiteral("ttyNowhere7"));
    port.setBaudRate(4800);
    SerialPortSetupDialog dialog(&port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    combo(dialog, "comboBox_Baudrate")->setEditText(QStringLiteral("9600"));
    combo(dialog, "comboBox_Parity")->setCurrentIndex(1);
    press(button(dialog, "pushButton_Cancel"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QTest::mouseRelease(button(dialog, "pushButton_Cancel"), Qt::LeftButton);

    QCOMPARE(port.portName(), QStringLiteral("ttyNowhere7"));
    QCOMPARE(port.baudRate(), 4800);
    QCOMPARE(port.parity(), QSerialPort::NoParity);
}

void tst_SerialPortSetupDialog::acceptReopensOpenPort()
{
    PseudoTerminal terminal;
    QVERIFY(!terminal.slavePath().isEmpty());
    QSerialPort port(terminal.slavePath());
    port.setBaudRate(57600);
    QVERIFY2(port.open(QIODevice::ReadOnly), qPrintable(port.errorString()));
    QSignalSpy closing(&port, &QIODevice::aboutToClose);

    SerialPortSetupDialog dialog(&port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // The pseudo-terminal is not among the listed ports; offer it as if it were.
    QComboBox* ports = combo(dialog, "comboBox_Port");
    ports->addItem(port.portName());
    ports->setCurrentIndex(ports->count() - 1);
    combo(dialog, "comboBox_Baudrate")->setCurrentText(QStringLiteral("19200"));
    combo(dialog, "comboBox_StopBits")->setCurrentIndex(2);
    combo(dialog, "comboBox_Parity")->setCurrentIndex(1);
    press(button(dialog, "pushButton_OK"));
    QTest::mouseRelease(button(dialog, "pushButton_OK"), Qt::LeftButton);

    QCOMPARE(closing.count(), 1);
    QVERIFY2(port.isOpen(), qPrintable(port.errorString()));
    QCOMPARE(port.openMode(), QIODevice::ReadWrite);
    QCOMPARE(port.parity(), QSerialPort::EvenParity);

    // The device itself carries the new line settings (a pseudo-terminal
    // forces 8 data bits without parity, so only these two can be seen).
    termios settings {};
    QVERIFY(terminal.lineSettings(&settings));
    QCOMPARE(cfgetospeed(&settings), speed_t(B19200));
    QVERIFY(settings.c_cflag & CSTOPB);
}

void tst_SerialPortSetupDialog::portListAndAutodetect()
{
    const QStringList present = sortedAvailablePorts();
    QSerialPort port;
    port.setPortName(present.isEmpty() ? QStringLiteral("COM1") : present.last());
    SerialPortSetupDialog dialog(&port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QComboBox* ports = combo(dialog, "comboBox_Port");
    QCOMPARE(itemTexts(ports), present);
    if (!present.isEmpty())
        QCOMPARE(ports->currentText(), present.last());

    // A stale entry disappears when the list is asked for again; the choice stays.
    ports->insertItem(0, QStringLiteral("ttyGone0"));
    QTest::mouseClick(button(dialog, "pushButton_Autodetect"), Qt::LeftButton);
    QCOMPARE(itemTexts(ports), present);
    if (!present.isEmpty())
        QCOMPARE(ports->currentText(), present.last());
    QVERIFY(dialog.isVisible());

    if (present.isEmpty()) {
        press(button(dialog, "pushButton_OK"));
        QTest::mouseRelease(button(dialog, "pushButton_OK"), Qt::LeftButton);
        QCOMPARE(port.portName(), QString());
    }
}

QTEST_MAIN(tst_SerialPortSetupDialog)
#include "tst_SerialPortSetupDialog.moc"
