#include "MainWindow/PictureController.h"

#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "Helper/CheckedFileReader.h"
#include "MainWindow/GifExportDialog.h"
#include "MainWindow/ImageImportDialog.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainSettings.h"
#include "Picture/PanelPictureExport.h"
#include "Picture/PictureImporter.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QMessageBox>

PictureController::PictureController(QWidget* window, MainMenu* menu)
    : QObject(window)
    , m_pWindow(window)
    , m_Size(PanelPictureExport::DefaultSize)
{
    Q_ASSERT(menu && menu->menu_Sequence && menu->menu_File);
    action_ImportImage = new QAction(tr("&Import image..."), window);
    action_ImportImage->setObjectName(QStringLiteral("action_ImportImage"));
    action_ExportGif = new QAction(tr("Export &GIF..."), window);
    action_ExportGif->setObjectName(QStringLiteral("action_ExportGif"));
    action_ExportPng = new QAction(tr("Export frame as &PNG..."), window);
    action_ExportPng->setObjectName(QStringLiteral("action_ExportPng"));
    connect(action_ImportImage, &QAction::triggered, this, &PictureController::importImage);
    connect(action_ExportGif, &QAction::triggered, this, &PictureController::exportGif);
    connect(action_ExportPng, &QAction::triggered, this, &PictureController::exportPng);

    menu->menu_Sequence->addSeparator();
    menu->menu_Sequence->addAction(action_ImportImage);
    menu->menu_Sequence->addAction(action_ExportGif);
    // Before the separator above Exit.
    const QList<QAction*> fileActions = menu->menu_File->actions();
    menu->menu_File->insertAction(fileActions.size() >= 2 ? fileActions.at(fileActions.size() - 2) : nullptr,
                                  action_ExportPng);
    updateActions();
}

void PictureController::setDocument(LedPanelDocument* document)
{
    if (m_pDocument)
        disconnect(m_pDocument, &LedPanelDocument::treeChanged, this, &PictureController::updateActions);
    m_pDocument = document;
    if (document)
        connect(document, &LedPanelDocument::treeChanged, this, &PictureController::updateActions);
    updateActions();
}

void PictureController::updateActions()
{
    // The current item is read when an action runs; enabled as long as there is something to act on.
    const bool sequences = m_pDocument && m_pDocument->sequenceCount() > 0;
    action_ImportImage->setEnabled(sequences);
    action_ExportGif->setEnabled(sequences);
    action_ExportPng->setEnabled(sequences);
}

void PictureController::importImage()
{
    CommandList* sequence = m_pDocument ? m_pDocument->currentSequence() : nullptr;
    if (!sequence) {
        QMessageBox::information(m_pWindow, tr("Import image"), tr("Choose the sequence to import into first."));
        return;
    }
    // The frames go after the frame shown: playing on behind the dialogs would move it.
    emit m_pDocument->aboutToEdit();
    const QString fileName = QFileDialog::getOpenFileName(
        m_pWindow, tr("Import image"), QString(), tr("Pictures (*.png *.jpg *.jpeg *.bmp *.gif);;All files (*)"));
    if (fileName.isEmpty() || !m_pDocument)
        return;
    QFile file(fileName);
    QString reason;
    if (!CheckedFileReader::open(file, QIODevice::NotOpen, &reason, CheckedFileReader::FileOnly)) {
        QMessageBox::warning(m_pWindow, tr("Import image"),
                             tr("Cannot read %1: %2").arg(QFileInfo(fileName).fileName(), reason));
        return;
    }
    file.close();

    // The first frame for the preview; limits and bad files are the importer's to tell.
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage first;
    if (PictureImporter::isPreviewable(fileName))
        first = reader.read();
    const bool animation = reader.supportsAnimation() && reader.imageCount() > 1;

    const LedLayout layout = m_pDocument->panelLayout();
    PictureImportSettings settings;
    if (!first.isNull()) {
        ImageImportDialog dialog(layout, first, animation, m_pWindow);
        if (dialog.exec() != QDialog::Accepted || !m_pDocument)
            return;
        settings = dialog.settings(MainSettings::getFramesPerSecond());
    }

    PictureImporter importer(layout, settings);
    const PictureImporter::eStatus status =
        importer.read(fileName, LedPanelModel::MaxLedValues - m_pDocument->ledValueCount());
    if (status == PictureImporter::TooManyLedValues) {
        QMessageBox::warning(m_pWindow, tr("Import image"), LedPanelModel::tooManyLedValuesText());
        return;
    }
    if ((status == PictureImporter::Truncated || status == PictureImporter::Damaged) && !importer.frames().isEmpty()) {
        const QString ask = status == PictureImporter::Damaged ? tr("Import it as it is?") : tr("Import those frames?");
        if (QMessageBox::question(m_pWindow, tr("Import image"), importer.errorText() + QLatin1Char('\n') + ask)
            != QMessageBox::Yes)
            return;
    } else if (status != PictureImporter::Ok) {
        QMessageBox::warning(m_pWindow, tr("Import image"), importer.errorText());
        return;
    }
    if (importer.frames().isEmpty() || !m_pDocument)
        return;

    sequence = m_pDocument->currentSequence();
    if (!sequence)
        return;
    const LedStateCommand* frame = m_pDocument->currentFrame();
    const int row = frame ? frame->index() + 1 : sequence->frameCount();
    const int index = sequence->index();
    if (m_pDocument->submit(new InsertFramesEdit(tr("Import image"), index, row, importer.frames())))
        m_pDocument->makeCurrent(m_pDocument->node(index, row));
}

void PictureController::exportGif()
{
    CommandList* sequence = m_pDocument ? m_pDocument->currentSequence() : nullptr;
    if (!sequence || sequence->frameCount() == 0) {
        QMessageBox::information(m_pWindow, tr("Export GIF"), tr("Choose a sequence with frames first."));
        return;
    }
    GifExportDialog dialog(m_Size, m_pWindow);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_Size = dialog.size();
    const QString fileName =
        QFileDialog::getSaveFileName(m_pWindow, tr("Export GIF"), QString(), tr("GIF pictures (*.gif)"));
    if (fileName.isEmpty() || !m_pDocument || m_pDocument->currentSequence() != sequence)
        return;
    PanelPictureExport pictures(m_pDocument->panelLayout(), m_Size);
    pictures.setWaitForReader(false);
    QString error;
    if (!pictures.writeGif(sequence->frameCount(), [sequence](int i) { return sequence->frame(i)->intensities(); },
                           MainSettings::getFramesPerSecond(), fileName, &error))
        QMessageBox::warning(m_pWindow, tr("Export GIF"), error);
}

void PictureController::exportPng()
{
    const LedStateCommand* frame = m_pDocument ? m_pDocument->currentFrame() : nullptr;
    if (!frame) {
        QMessageBox::information(m_pWindow, tr("Export frame as PNG"), tr("Choose a frame first."));
        return;
    }
    const QVector<int> values = frame->intensities();
    const QString fileName =
        QFileDialog::getSaveFileName(m_pWindow, tr("Export frame as PNG"), QString(), tr("PNG pictures (*.png)"));
    if (fileName.isEmpty() || !m_pDocument)
        return;
    PanelPictureExport pictures(m_pDocument->panelLayout(), m_Size);
    pictures.setWaitForReader(false);
    QString error;
    if (!pictures.writePng(values, fileName, &error))
        QMessageBox::warning(m_pWindow, tr("Export frame as PNG"), error);
}
