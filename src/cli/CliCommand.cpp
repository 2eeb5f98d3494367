#include "cli/CliCommand.h"

#include "Data/LedPanelModel.h"
#include "Data/ProgramCompiler.h"
#include "Helper/CheckedFileWriter.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"
#include "cli/CompileCommand.h"
#include "cli/FlashCommand.h"
#include "cli/ImportCommand.h"
#include "cli/InfoCommand.h"
#include "cli/NewCommand.h"
#include "cli/PanelCommand.h"
#include "cli/TextCommand.h"
#include "cli/WiringCommand.h"
#include "cli/RenderCommand.h"
#include "cli/WriteCommand.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

CliCommand::CliCommand(const CliOptions& options, CliPrinter& printer, QObject* parent)
    : QObject(parent)
    , m_Options(options)
    , m_Printer(printer)
{
}

CliCommand* CliCommand::create(const CliOptions& options, CliPrinter& printer, QObject* parent)
{
    const QString command = options.command();
    if (command == QLatin1String("new"))
        return new NewCommand(options, printer, parent);
    if (command == QLatin1String("info"))
        return new InfoCommand(options, printer, parent);
    if (command == QLatin1String("compile"))
        return new CompileCommand(options, printer, parent);
    if (command == QLatin1String("import"))
        return new ImportCommand(options, printer, parent);
    if (command == QLatin1String("render"))
        return new RenderCommand(options, printer, parent);
    if (command == QLatin1String("write"))
        return new WriteCommand(options, printer, parent);
    if (command == QLatin1String("wiring"))
        return new WiringCommand(options, printer, parent);
    if (command == QLatin1String("text"))
        return new TextCommand(options, printer, parent);
    if (command == QLatin1String("flash"))
        return new FlashCommand(options, printer, parent);
    if (command == QLatin1String("reset"))
        return new PanelCommand(options, printer, PanelLink::cmdReset, parent);
    if (command == QLatin1String("next"))
        return new PanelCommand(options, printer, PanelLink::cmdNext, parent);
    Q_ASSERT_X(command == QLatin1String("boot"), "CliCommand::create", "a command the options accepted");
    return new PanelCommand(options, printer, PanelLink::cmdEnterBootLoader, parent);
}

void CliCommand::interrupt()
{
}

void CliCommand::finish(int status, const QString& error, const QJsonObject& extra)
{
    if (!error.isEmpty())
        m_Printer.error(error);
    m_Printer.result(status, error, extra);
    end(status);
}

void CliCommand::end(int status)
{
    Q_ASSERT_X(!m_Finished, "CliCommand::end", "!m_Finished");
    m_Finished = true;
    // Never from inside start(): the status must reach a running event loop.
    QMetaObject::invokeMethod(this, [this, status] { emit finished(status); }, Qt::QueuedConnection);
}

bool CliCommand::loadShow(LedPanelModel* show)
{
    return loadShow(show, m_Options.input());
}

bool CliCommand::loadShow(LedPanelModel* show, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        finish(statusBadInput, tr("Cannot read %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    if (!show->readXML(&file)) {
        finish(statusBadInput, tr("%1: %2").arg(fileName, show->readError()));
        return false;
    }
    return true;
}

bool CliCommand::submitEdit(LedPanelModel* show, AbstractEdit* edit)
{
    if (show->submit(edit))
        return true;
    finish(statusBadInput, LedPanelModel::tooManyLedValuesText());
    return false;
}

bool CliCommand::saveShow(LedPanelModel& show)
{
    // A failed write leaves the file from before whole.
    const QString fileName = m_Options.output();
    CheckedFileWriter file(fileName);
    if (file.open(QIODevice::WriteOnly) && show.writeXML(&file) && file.commit())
        return true;
    finish(statusOutputFailed, tr("Cannot write %1: %2").arg(fileName, file.errorString()));
    return false;
}

bool CliCommand::compileShow(const LedPanelModel& show, QByteArray* image)
{
    QString problem;
    if (!ProgramCompiler::compile(show, image, &problem)) {
        finish(statusBadInput, tr("%1 cannot be compiled: %2").arg(m_Options.input(), problem));
        return false;
    }
    return true;
}

bool CliCommand::intOption(const QString& option, int fallback, int min, int max, int* value)
{
    if (!m_Options.isSet(option)) {
        *value = fallback;
        return true;
    }
    bool ok = false;
    const QString text = m_Options.value(option);
    *value = text.toInt(&ok);
    if (!ok || *value < min || *value > max) {
        finish(statusUsage, tr("--%1 takes a whole number from %2 to %3, not \"%4\".")
                                .arg(option)
                                .arg(min)
                                .arg(max)
                                .arg(text));
        return false;
    }
    return true;
}

bool CliCommand::outputIsNot(const QString& input, const QString& refusal)
{
    // Pipes and terminals have no canonical path: two of them are not one file.
    const QString in = QFileInfo(input).canonicalFilePath(), out = QFileInfo(m_Options.output()).canonicalFilePath();
    if (out.isEmpty() || in != out)
        return true;
    finish(statusUsage, refusal.arg(m_Options.output()));
    return false;
}
