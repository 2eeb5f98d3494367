#include "cli/CompileCommand.h"

#include "Data/LedPanelModel.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

#include <QSaveFile>

void CompileCommand::start()
{
    LedPanelModel show;
    QByteArray image;
    if (!loadShow(&show) || !compileShow(show, &image))
        return;

    // A failed write leaves an image from before whole.
    const QString fileName = m_Options.output();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
        finish(statusOutputFailed, tr("Cannot write %1: %2").arg(fileName, file.errorString()));
        return;
    }
    m_Printer.report(QString(), tr("Wrote %1 bytes to %2").arg(image.size()).arg(fileName));
    finish(statusOk, QString(),
           QJsonObject { { QStringLiteral("file"), fileName }, { QStringLiteral("bytes"), image.size() } });
}
