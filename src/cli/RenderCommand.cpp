#include "cli/RenderCommand.h"

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"
#include "Picture/PanelPictureExport.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

void RenderCommand::start()
{
    const QString fileName = m_Options.output();
    const bool gif = fileName.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
    if (!gif && !fileName.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        finish(statusUsage, tr("render writes a .gif or a .png file, not %1.").arg(fileName));
        return;
    }
    int sequenceNumber = 1;
    int fps = 10;
    int size = PanelPictureExport::DefaultSize;
    int frameNumber = 1;
    if (!intOption(QStringLiteral("sequence"), 1, 1, INT_MAX, &sequenceNumber)
        || !intOption(QStringLiteral("fps"), 10, 1, 50, &fps)
        || !intOption(QStringLiteral("size"), PanelPictureExport::DefaultSize, PanelPictureExport::MinSize,
                      PanelPictureExport::MaxSize, &size)
        || !intOption(QStringLiteral("frame"), 1, 1, INT_MAX, &frameNumber))
        return;
    if (!outputIsNot(m_Options.input(), tr("%1 is the show itself: write the picture to another file.")))
        return;

    LedPanelModel show;
    if (!loadShow(&show))
        return;
    const CommandList* sequence = sequenceNumber <= show.sequenceCount() ? show.sequence(sequenceNumber - 1) : nullptr;
    if (!sequence) {
        finish(statusUsage, tr("%1 has no sequence %2.").arg(m_Options.input()).arg(sequenceNumber));
        return;
    }
    // A frame asked for and not there is a usage error; a sequence without frames draws no GIF.
    if (!gif && sequence->frameCount() < frameNumber) {
        finish(statusUsage, tr("Sequence %1 has no frame %2.").arg(sequenceNumber).arg(frameNumber));
        return;
    }
    if (sequence->frameCount() == 0) {
        finish(statusBadInput, tr("Sequence %1 has no frames.").arg(sequenceNumber));
        return;
    }

    const PanelPictureExport pictures(show.panelLayout(), size);
    QString error;
    const bool written = gif ? pictures.writeGif(sequence->frameCount(),
                                                 [sequence](int i) { return sequence->frame(i)->intensities(); },
                                                 fps, fileName, &error)
                             : pictures.writePng(sequence->frame(frameNumber - 1)->intensities(), fileName, &error);
    if (!written) {
        finish(statusOutputFailed, error);
        return;
    }
    const QSize pixels = pictures.imageSize();
    m_Printer.report(QString(),
                     tr("Wrote %1 × %2 pixels to %3").arg(pixels.width()).arg(pixels.height()).arg(fileName));
    finish(statusOk, QString(),
           QJsonObject { { QStringLiteral("file"), fileName },
                         { QStringLiteral("width"), pixels.width() },
                         { QStringLiteral("height"), pixels.height() },
                         { QStringLiteral("frames"), gif ? sequence->frameCount() : 1 } });
}
