#include "Document/AbstractDocument.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

AbstractDocument::AbstractDocument(QWidget* parent)
    : QWidget(parent)
{
}

QString AbstractDocument::filePath() const
{
    return m_FilePath;
}

QString AbstractDocument::fileName() const
{
    return m_FileName;
}

QString AbstractDocument::fileDirectory() const
{
    return QFileInfo(m_FilePath).path();
}

bool AbstractDocument::isModified() const
{
    return isWindowModified();
}

void AbstractDocument::setModified(bool modified)
{
    if (modified == isWindowModified())
        return;
    setWindowModified(modified);
    emit modifiedChanged(modified);
}

void AbstractDocument::setFilePath(const QString& filePath)
{
    if (filePath == m_FilePath)
        return;
    // A name that does not exist on disk has no canonical form: both become empty.
    m_FilePath = QFileInfo(filePath).canonicalFilePath();
    m_FileName = QFileInfo(m_FilePath).fileName();
    setWindowTitle(m_FileName + QStringLiteral("[*]"));
    emit fileNameChanged(m_FileName);
}

void AbstractDocument::setFileName(const QString& fileName)
{
    if (fileName == m_FileName)
        return;
    m_FileName = fileName;
    if (!m_FilePath.isEmpty())
        m_FilePath = fileDirectory() + QLatin1Char('/') + fileName;
    setWindowTitle(fileName + QStringLiteral("[*]"));
    emit fileNameChanged(m_FileName);
}

QString AbstractDocument::OpenDialog()
{
    return QFileDialog::getOpenFileName(nullptr, tr("Open"), fileDirectory(), openSaveFileDialogFilter());
}

bool AbstractDocument::loadDialog(const QString& fileName)
{
    QString name = fileName;
    if (name.isEmpty())
        name = OpenDialog();
    if (name.isEmpty())
        return false;
    return load(name);
}

bool AbstractDocument::saveDialog(const QString& fileName)
{
    QString name = fileName;
    if (name.isEmpty()) {
        // A new document proposes its made-up name.
        const QString proposal = m_FilePath.isEmpty() ? m_FileName : m_FilePath;
        QFileDialog dialog(nullptr, tr("Save as"), proposal, openSaveFileDialogFilter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The dialog adds it before it asks about replacing a file, so the file asked about is the one written.
        dialog.setDefaultSuffix(defaultSuffix());
        if (dialog.exec() == QDialog::Accepted)
            name = dialog.selectedFiles().value(0);
    }
    if (name.isEmpty())
        return false;
    return save(name);
}

bool AbstractDocument::maybeSave()
{
    if (!isModified())
        return true;

    const QMessageBox::StandardButton answer = QMessageBox::warning(
        this, QCoreApplication::applicationName(),
        tr("%1 has been modified.\nDo you want to save changes?").arg(fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);

    switch (answer) {
    case QMessageBox::Save:
        return saveDialog(filePath());
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

QString AbstractDocument::openSaveFileDialogFilter() const
{
    return tr("All files (*)");
}

QString AbstractDocument::defaultSuffix() const
{
    return QString();
}

void AbstractDocument::closeEvent(QCloseEvent* event)
{
    if (maybeSave()) {
        emit aboutToClose(this);
        event->accept();
    } else {
        event->ignore();
    }
}
