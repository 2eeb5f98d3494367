#include "MspFlasher/MspFlasherDialog.h"
#include "ui_MspFlasherDialog.h"

#include "MspFlasher/FirmwareImage.h"
#include "MspFlasher/MspFlashRun.h"
#include "SerialPort/SerialPortSettings.h"
#include "SerialPort/SerialPortSetupDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSerialPort>

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

    m_pFlashRun = new MspFlashRun(this);
    connect(m_pFlashRun, &MspFlashRun::line, this, &MspFlasherDialog::report);
    connect(m_pFlashRun, &MspFlashRun::progress, ui->progress, &QProgressBar::setValue);
    connect(m_pFlashRun, &MspFlashRun::finished, this, &MspFlasherDialog::updateActions);

    connect(ui->portSettings, &QPushButton::clicked, this, &MspFlasherDialog::portSetupDialog);
    connect(ui->selectFile, &QPushButton::clicked, this, &MspFlasherDialog::selectFile);
    connect(ui->flash, &QPushButton::clicked, this, &MspFlasherDialog::flashDevice);
    connect(ui->pushButton_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->filePath, &QLineEdit::editingFinished, this, &MspFlasherDialog::showFileSummary);

    ui->filePath->setText(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("firmware.txt")));
    updateActions();
}

MspFlasherDialog::~MspFlasherDialog()
{
    // Before the widgets it reports to.
    delete m_pFlashRun;
    delete m_pSerialPort;
    delete ui;
}

bool MspFlasherDialog::isFlashing() const
{
    return m_pFlashRun->isRunning();
}

void MspFlasherDialog::updateActions()
{
    if (m_pSerialPort->portName().isEmpty())
        ui->portLabel->setText(tr("Select port!"));
    else
        ui->portLabel->setText(QStringLiteral("%1 : %2")
                                   .arg(SerialPortSettings::systemLocation(m_pSerialPort->portName()))
                                   .arg(m_pSerialPort->baudRate()));

    const bool idle = !m_pFlashRun->isRunning();
    ui->portSettings->setEnabled(idle);
    ui->selectFile->setEnabled(idle);
    // The path names what is being flashed; a new one would swap the run's report for its summary.
    ui->filePath->setEnabled(idle);
    ui->flash->setEnabled(idle);
    ui->pushButton_Close->setEnabled(idle);
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
    showFileSummary();
}

void MspFlasherDialog::report(const QString& line)
{
    ui->report->appendPlainText(line);
}

bool MspFlasherDialog::loadImage(FirmwareImage* image)
{
    if (image->load(ui->filePath->text()))
        return true;
    for (const QString& text : image->failure())
        report(text);
    return false;
}

void MspFlasherDialog::showFileSummary()
{
    // The field going grey with focus in it finishes its editing too.
    if (m_pFlashRun->isRunning())
        return;
    ui->report->clear();
    // A cancelled choice leaves no file to speak of; Flash still says it is missing.
    if (ui->filePath->text().isEmpty())
        return;
    FirmwareImage image;
    if (!loadImage(&image))
        return;
    for (const QString& text : image.summary() + image.protectedBytes())
        report(text);
}

void MspFlasherDialog::flashDevice()
{
    if (m_pFlashRun->isRunning())
        return;

    ui->report->clear();
    // The last run's full bar beside this run's failure would tell of a success.
    ui->progress->setValue(0);
    // The whole file first: a bad one must not leave the board waiting in its boot loader.
    FirmwareImage image;
    if (!loadImage(&image))
        return;
    const QStringList risky = image.protectedBytes();
    if (!risky.isEmpty()) {
        const QMessageBox::StandardButton answer
            = QMessageBox::question(this, tr("Device flasher"),
                                    tr("The file writes\n%1.\n\nFlash it all the same?").arg(risky.join(tr(",\n"))),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            for (const QString& text : risky)
                report(text);
            report(QStringLiteral("Not flashed: the protected bytes were not confirmed!"));
            return;
        }
    }
    m_pFlashRun->start(SerialPortSettings::fromPort(*m_pSerialPort), m_FlashCommand, image.sections());
    updateActions();
}

void MspFlasherDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !m_pFlashRun->isRunning()) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MspFlasherDialog::closeEvent(QCloseEvent* event)
{
    // Closing would stop the run half way through the device's memory.
    if (m_pFlashRun->isRunning()) {
        report(QStringLiteral("Flashing in progress, the window stays open until it has finished!"));
        event->ignore();
        return;
    }
    emit finished();
    QMainWindow::closeEvent(event);
}
