#include "MspFlasher/MspFlasherDialog.h"
#include "ui_MspFlasherDialog.h"

#include "MspFlasher/MspFlasher_FR5994.h"
#include "SerialPort/SerialPortSetupDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSerialPort>
#include <QTextStream>
#include <QThread>

MspFlasherDialog::MspFlasherDialog(const QString& portName, const QByteArray& flashCommand, QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MspFlasherDialog)
    , m_FlashCommand(flashCommand)
{
    setWindowFlags(Qt::Window | Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint);
    ui->setupUi(this);

    m_pSerialPort = new QSerialPort;
    m_pSerialPort->setPortName(portName);
    m_pSerialPort->setBaudRate(57600, QSerialPort::AllDirections);

    connect(ui->portSettings, &QPushButton::clicked, this, &MspFlasherDialog::portSetupDialog);
    connect(ui->selectFile, &QPushButton::clicked, this, &MspFlasherDialog::selectFile);
    connect(ui->flash, &QPushButton::clicked, this, &MspFlasherDialog::flashDevice);

    ui->filePath->setText(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("firmware.txt")));
    updateActions();
}

MspFlasherDialog::~MspFlasherDialog()
{
    delete m_pSerialPort;
    delete ui;
}

void MspFlasherDialog::updateActions()
{
    if (m_pSerialPort->portName().isEmpty())
        ui->portLabel->setText(tr("Select port!"));
    else
        ui->portLabel->setText(QStringLiteral("%1 : %2").arg(m_pSerialPort->portName()).arg(m_pSerialPort->baudRate()));

    const bool idle = !m_pMspFlasher;
    ui->portSettings->setEnabled(idle);
    ui->selectFile->setEnabled(idle);
    ui->flash->setEnabled(idle);
}

void MspFlasherDialog::portSetupDialog()
{
    auto* dialog = new SerialPortSetupDialog(m_pSerialPort, this);
    connect(dialog, &QDialog::accepted, this, &MspFlasherDialog::updateActions);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->show();
}

void MspFlasherDialog::selectFile()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Select file"),
                                                          QCoreApplication::applicationDirPath(),
                                                          tr("MSP430 app (*.txt)"));
    ui->filePath->setText(fileName);
    ui->progress->setValue(0);
    updateActions();
}

void MspFlasherDialog::report(const QString& line)
{
    ui->report->appendPlainText(line);
}

void MspFlasherDialog::flashDevice()
{
    if (m_pMspFlasher)
        return;

    ui->report->clear();
    m_pMspFlasher = new MspFlasher_FR5994(m_pSerialPort);
    connect(m_pMspFlasher, &MspFlasher::progress, ui->progress, &QProgressBar::setValue);
    connect(m_pMspFlasher, &MspFlasher::message, ui->report, &QPlainTextEdit::appendPlainText);
    updateActions();

    bool ok = true;
    const QString portName = m_pSerialPort->portName();
    const QString baudRate = QString::number(m_pSerialPort->baudRate());
    if (m_pSerialPort->isOpen()) {
        report(QStringLiteral("Serial port %1 (%2) is active!").arg(portName, baudRate));
    } else if (m_pSerialPort->open(QIODevice::ReadWrite)) {
        report(QStringLiteral("Open serial port %1 (%2)").arg(portName, baudRate));
    } else {
        report(QStringLiteral("Cannot open serial port %1 (%2)!").arg(portName, baudRate));
        ok = false;
    }

    if (ok) {
        m_pSerialPort->write(m_FlashCommand);
        // Out on the line before the pause, so the boot loader gets its time to start.
        m_pSerialPort->flush();
        report(QStringLiteral("Enter MSP UART flasher"));
        QThread::msleep(100);
    }

    const QString fileName = ui->filePath->text();
    if (ok && !QFile::exists(fileName)) {
        report(QStringLiteral("Device application code file not present!"));
        ok = false;
    }

    QFile file(fileName);
    if (ok && !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        report(QStringLiteral("Cannot read device application code file!"));
        ok = false;
    }

    if (ok) {
        QTextStream stream(&file);
        if (!m_pMspFlasher->readMemoryFile(stream)) {
            report(QStringLiteral("Invalid device application code file!"));
            report(QStringLiteral("Line %1: %2").arg(m_pMspFlasher->errorLine()).arg(m_pMspFlasher->errorString()));
            ok = false;
        }
    }

    if (ok) {
        report(QStringLiteral("Verify device"));
        if (!m_pMspFlasher->verifyDevice()) {
            report(QStringLiteral("Invalid device version!"));
            ok = false;
        }
    }

    if (ok) {
        report(QStringLiteral("Erase device"));
        if (!m_pMspFlasher->eraseDevice()) {
            report(QStringLiteral("Cannot erase device!"));
            ok = false;
        }
    }

    if (ok) {
        report(QStringLiteral("Write application code"));
        if (!m_pMspFlasher->flashDevice()) {
            report(QStringLiteral("Cannot flash device!"));
            ok = false;
        }
    }

    if (ok) {
        report(QStringLiteral("Jump to the application"));
        m_pMspFlasher->jumpToApplication();
    }

    file.close();

    if (m_pSerialPort->isOpen()) {
        QThread::msleep(100);
        report(QStringLiteral("Close serial port %1").arg(portName));
        m_pSerialPort->close();
    }

    m_pMspFlasher->deleteLater();
    m_pMspFlasher = nullptr;
    report(QStringLiteral("Finished"));
    updateActions();
}

void MspFlasherDialog::closeEvent(QCloseEvent* event)
{
    // The run below us still uses the port and the flasher.
    if (m_pMspFlasher) {
        report(QStringLiteral("Flashing in progress, the window stays open until it has finished!"));
        event->ignore();
        return;
    }
    emit finished();
    QMainWindow::closeEvent(event);
}
