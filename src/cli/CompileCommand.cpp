#include "cli/CompileCommand.h"

#include "Data/LedPanelModel.h"
#include "Data/ProgramImageSource.h"
#include "Helper/CheckedFileWriter.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

void CompileCommand::start()
{
    const QString format = m_Options.value(QStringLiteral("format"), QStringLiteral("bin"));
    if (format != QLatin1String("bin") && format != QLatin1String("c")) {
        finish(statusUsage, tr("Unknown format \"%1\": use bin or c.").arg(format));
        return;
    }
    if (!outputIsNot(m_Options.input(), tr("%1 is the show itself: write the image to another file.")))
        return;
    LedPanelModel show;
    QByteArray image;
    if (!loadShow(&show) || !compileShow(show, &image))
        return;
    const QByteArray contents = format == QLatin1String("c") ? ProgramImageSource::text(image) : image;

    // A failed write leaves an image from before whole.
    const QString fileName = m_Options.output();
    QString error;
    if (!CheckedFileWriter::writeFile(fileName, contents, &error)) {
        finish(statusOutputFailed, tr("Cannot write %1: %2").arg(fileName, error));
        return;
    }
    m_Printer.report(QString(), tr("Wrote %1 bytes to %2").arg(image.size()).arg(fileName));
    finish(statusOk, QString(),
           QJsonObject { { QStringLiteral("file"), fileName }, { QStringLiteral("bytes"), image.size() } });
}
