#include "cli/WiringCommand.h"

#include "Data/LedPanelModel.h"
#include "Data/WiringTest.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

#include <QJsonArray>

bool WiringCommand::buildImage(QByteArray* image)
{
    LedPanelModel show;
    if (!loadShow(&show))
        return false;
    const WiringTest test(show.panelLayout());
    if (m_Options.isSet(QStringLiteral("print"))) {
        const QStringList steps = test.stepTexts();
        if (!m_Printer.isJson())
            m_Printer.output(tr("Numbering: %1\n").arg(show.panelLayout().numberingName())
                             + steps.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        finish(statusOk, QString(), QJsonObject { { QStringLiteral("steps"), QJsonArray::fromStringList(steps) } });
        return false;
    }
    QString problem;
    if (!test.image(image, &problem)) {
        finish(statusBadInput, tr("%1 has no wiring test: %2").arg(m_Options.input(), problem));
        return false;
    }
    return true;
}
