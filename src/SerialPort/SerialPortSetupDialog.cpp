#include "SerialPort/SerialPortSetupDialog.h"
#include "ui_SerialPortSetupDialog.h"

#include "SerialPort/SerialPortSettings.h"

#include <QIntValidator>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
#include <climits>

namespace {

struct PortNameParts
{
    QStringRef stem;
    QStringRef digits; // trailing decimal digits, leading zeros removed
};

PortNameParts splitPortName(const QString& name)
{
    int stemLength = name.size();
    while (stemLength > 0 && name.at(stemLength - 1) >= QLatin1Char('0')
           && name.at(stemLength - 1) <= QLatin1Char('9')) {
        --stemLength;
    }
    int firstSignificant = stemLength;
    while (firstSignificant < name.size() && name.at(firstSignificant) == QLatin1Char('0'))
        ++firstSignificant;
    return { name.leftRef(stemLength), name.midRef(firstSignificant) };
}

// Compares two digit strings without leading zeros as numbers; works for any
// length, so a very long port number cannot overflow into a wrong order.
int compareNumbers(const QStringRef& left, const QStringRef& right)
{
    if (left.size() != right.size())
        return left.size() < right.size() ? -1 : 1;
    return left.compare(right);
}

void selectByData(QComboBox* comboBox, int value)
{
    comboBox->setCurrentIndex(comboBox->findData(value));
}

QString location(const QSerialPortInfo& info)
{
    return SerialPortSettings::systemLocation(info.portName());
}

} // namespace

SerialPortSetupDialog::SerialPortSetupDialog(QSerialPort* port, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SerialPortSetupDialog)
    , m_pSerialPort(port)
{
    Q_ASSERT(m_pSerialPort);

    setModal(true);
    ui->setupUi(this);

    connect(ui->pushButton_OK, &QPushButton::pressed, this, &SerialPortSetupDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::pressed, this, &SerialPortSetupDialog::reject);
    // A device plugged in while the dialog is open shows up when asked for again;
    // the chosen port stays, listed or not.
    connect(ui->pushButton_Autodetect, &QPushButton::clicked, this, [this]() {
        const QString current = ui->comboBox_Port->currentText();
        autodetect();
        showPortName(current);
    });
    connect(ui->comboBox_Port, &QComboBox::currentTextChanged, this, &SerialPortSetupDialog::showPortDescription);

    autodetect();
    fillCombos();
    showPortSettings();
}

SerialPortSetupDialog::~SerialPortSetupDialog()
{
    delete ui;
}

bool SerialPortSetupDialog::portNameLessThan(const QString& left, const QString& right)
{
    const PortNameParts l = splitPortName(left);
    const PortNameParts r = splitPortName(right);
    const int stemOrder = l.stem.compare(r.stem);
    if (stemOrder != 0)
        return stemOrder < 0;
    const int numberOrder = compareNumbers(l.digits, r.digits);
    if (numberOrder != 0)
        return numberOrder < 0;
    // Same stem and number (COM1, COM01): keep the list order stable.
    return left < right;
}

QList<QSerialPortInfo> SerialPortSetupDialog::availablePorts()
{
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& left, const QSerialPortInfo& right) {
        return portNameLessThan(location(left), location(right));
    });
    return ports;
}

QString SerialPortSetupDialog::defaultPortName()
{
    const QList<QSerialPortInfo> ports = availablePorts();
    return ports.isEmpty() ? QString() : location(ports.first());
}

void SerialPortSetupDialog::autodetect()
{
    // What the system knows of each port, as the user would recognise it on the box or the cable.
    ui->comboBox_Port->clear();
    for (const QSerialPortInfo& info : availablePorts()) {
        QStringList about;
        for (const QString& text : { info.description(), info.manufacturer() }) {
            if (!text.trimmed().isEmpty())
                about.append(text.trimmed());
        }
        ui->comboBox_Port->addItem(location(info), about.join(QStringLiteral(", ")));
    }
    showPortDescription();
}

void SerialPortSetupDialog::accept()
{
    const bool wasOpen = m_pSerialPort->isOpen();
    if (wasOpen)
        m_pSerialPort->close();

    // Blanks pasted along with a name are no part of it.
    m_pSerialPort->setPortName(ui->comboBox_Port->currentText().trimmed());

    bool ok = false;
    const int baudRate = ui->comboBox_Baudrate->currentText().toInt(&ok, 10);
    if (ok && baudRate > 0)
        m_pSerialPort->setBaudRate(baudRate);

    // With no entry selected, currentData() is invalid and passes 0.
    m_pSerialPort->setDataBits(
        static_cast<QSerialPort::DataBits>(ui->comboBox_DataBits->currentData().toInt()));
    m_pSerialPort->setStopBits(
        static_cast<QSerialPort::StopBits>(ui->comboBox_StopBits->currentData().toInt()));
    m_pSerialPort->setParity(
        static_cast<QSerialPort::Parity>(ui->comboBox_Parity->currentData().toInt()));

    if (wasOpen)
        m_pSerialPort->open(QIODevice::ReadWrite);

    QDialog::accept();
}

void SerialPortSetupDialog::fillCombos()
{
    ui->comboBox_Baudrate->setEditable(true);
    ui->comboBox_Baudrate->setValidator(new QIntValidator(1, INT_MAX, ui->comboBox_Baudrate));
    ui->comboBox_Baudrate->addItems({ QStringLiteral("128000"), QStringLiteral("115200"),
                                      QStringLiteral("76800"), QStringLiteral("57600"),
                                      QStringLiteral("38400"), QStringLiteral("33600"),
                                      QStringLiteral("28800"), QStringLiteral("19200"),
                                      QStringLiteral("14400"), QStringLiteral("9600"),
                                      QStringLiteral("4800"), QStringLiteral("3600"),
                                      QStringLiteral("2400"), QStringLiteral("1800"),
                                      QStringLiteral("1200"), QStringLiteral("900"),
                                      QStringLiteral("600"), QStringLiteral("300") });

    ui->comboBox_DataBits->addItem(QStringLiteral("8"), QSerialPort::Data8);
    ui->comboBox_DataBits->addItem(QStringLiteral("7"), QSerialPort::Data7);
    ui->comboBox_DataBits->addItem(QStringLiteral("6"), QSerialPort::Data6);
    ui->comboBox_DataBits->addItem(QStringLiteral("5"), QSerialPort::Data5);

    ui->comboBox_StopBits->addItem(QStringLiteral("1"), QSerialPort::OneStop);
    ui->comboBox_StopBits->addItem(QStringLiteral("1.5"), QSerialPort::OneAndHalfStop);
    ui->comboBox_StopBits->addItem(QStringLiteral("2"), QSerialPort::TwoStop);

    ui->comboBox_Parity->addItem(tr("None"), QSerialPort::NoParity);
    ui->comboBox_Parity->addItem(tr("Even"), QSerialPort::EvenParity);
    ui->comboBox_Parity->addItem(tr("Odd"), QSerialPort::OddParity);
    ui->comboBox_Parity->addItem(tr("Space"), QSerialPort::SpaceParity);
    ui->comboBox_Parity->addItem(tr("Mark"), QSerialPort::MarkParity);
}

void SerialPortSetupDialog::showPortName(const QString& name)
{
    // A typed pseudo-terminal or an adapter unplugged for a moment is not in the list,
    // and OK must not quietly switch to the first port that is.
    const int index = ui->comboBox_Port->findText(name);
    if (index >= 0)
        ui->comboBox_Port->setCurrentIndex(index);
    else
        ui->comboBox_Port->setEditText(name);
}

void SerialPortSetupDialog::showPortDescription()
{
    // A typed path has no description; the list's entries keep theirs as item data.
    const int index = ui->comboBox_Port->findText(ui->comboBox_Port->currentText());
    ui->label_PortDescription->setText(ui->comboBox_Port->itemData(index).toString());
}

void SerialPortSetupDialog::showPortSettings()
{
    showPortName(SerialPortSettings::systemLocation(m_pSerialPort->portName()));

    const QString baudRate = QString::number(m_pSerialPort->baudRate());
    const int baudIndex = ui->comboBox_Baudrate->findText(baudRate);
    if (baudIndex >= 0)
        ui->comboBox_Baudrate->setCurrentIndex(baudIndex);
    else
        ui->comboBox_Baudrate->setEditText(baudRate);

    selectByData(ui->comboBox_DataBits, m_pSerialPort->dataBits());
    selectByData(ui->comboBox_StopBits, m_pSerialPort->stopBits());
    selectByData(ui->comboBox_Parity, m_pSerialPort->parity());
}
