#include "cli/ImportCommand.h"

#include "Data/CommandList.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedPanelModel.h"
#include "Picture/PictureImporter.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"


void ImportCommand::start()
{
    PictureImportSettings settings;
    const QString fit = m_Options.value(QStringLiteral("fit"), QStringLiteral("fit"));
    if (fit == QLatin1String("fit"))
        settings.fit = PictureImportSettings::Fit;
    else if (fit == QLatin1String("fill"))
        settings.fit = PictureImportSettings::Fill;
    else if (fit == QLatin1String("stretch"))
        settings.fit = PictureImportSettings::Stretch;
    else {
        finish(statusUsage, tr("Unknown fit \"%1\": use fit, fill or stretch.").arg(fit));
        return;
    }
    int sequenceNumber = 0;
    if (!intOption(QStringLiteral("threshold"), 128, 0, 255, &settings.threshold)
        || !intOption(QStringLiteral("fps"), 10, 1, 50, &settings.framesPerSecond)
        || !intOption(QStringLiteral("sequence"), 0, 1, INT_MAX, &sequenceNumber))
        return;
    settings.dither = m_Options.isSet(QStringLiteral("dither"));
    settings.invert = m_Options.isSet(QStringLiteral("invert"));
    settings.keepTiming = m_Options.isSet(QStringLiteral("keep-timing"));

    const QString pictureName = m_Options.arguments().value(0);
    const QString showName = m_Options.arguments().value(1);
    if (!outputIsNot(pictureName, tr("%1 is the picture itself: write the show to another file.")))
        return;
    LedPanelModel show;
    if (!loadShow(&show, showName))
        return;
    if (sequenceNumber > show.sequenceCount()) {
        finish(statusUsage, tr("%1 has no sequence %2.").arg(showName).arg(sequenceNumber));
        return;
    }

    PictureImporter importer(show.panelLayout(), settings);
    const PictureImporter::eStatus status =
        importer.read(pictureName, LedPanelModel::MaxLedValues - show.ledValueCount());
    if (status == PictureImporter::TooManyLedValues) {
        finish(statusBadInput, LedPanelModel::tooManyLedValuesText());
        return;
    }
    // What could be read of a damaged or cut picture is imported, as the window offers it; the reason is told.
    const bool partial = (status == PictureImporter::Damaged || status == PictureImporter::Truncated)
        && !importer.frames().isEmpty();
    if (partial)
        m_Printer.error(importer.errorText());
    else if (status != PictureImporter::Ok) {
        finish(statusBadInput, importer.errorText());
        return;
    }
    if (importer.frames().isEmpty()) {
        finish(statusBadInput, tr("%1 lasts less than one frame at %2 frames per second.")
                                   .arg(pictureName)
                                   .arg(settings.framesPerSecond));
        return;
    }

    int sequence = sequenceNumber - 1;
    if (sequenceNumber == 0) {
        sequence = show.sequenceCount();
        show.submit(new InsertSequenceEdit(tr("Import image"), sequence));
    }
    const int row = show.sequence(sequence)->frameCount();
    if (!submitEdit(&show, new InsertFramesEdit(tr("Import image"), sequence, row, importer.frames())))
        return;

    if (!saveShow(show))
        return;
    const QString fileName = m_Options.output();
    const int frames = importer.frames().size();
    const QString count = frames == 1 ? tr("1 frame") : tr("%1 frames").arg(frames);
    m_Printer.report(QString(), tr("Imported %1 into sequence %2 of %3").arg(count).arg(sequence + 1).arg(fileName));
    QJsonObject result { { QStringLiteral("file"), fileName },
                         { QStringLiteral("sequence"), sequence + 1 },
                         { QStringLiteral("frames"), frames },
                         { QStringLiteral("pictureFrames"), importer.pictureFrameCount() } };
    if (partial)
        result.insert(QStringLiteral("warning"), importer.errorText());
    finish(statusOk, QString(), result);
}
