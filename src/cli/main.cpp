#include "cli/CliCommand.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"
#include "Helper/SignalWatcher.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // Past a file-size limit the write is to fail with its reason, not to end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaloom-cli"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    CliOptions options;
    switch (options.parse(QCoreApplication::arguments(), qEnvironmentVariable("TESSALOOM_PORT"))) {
    case CliOptions::ShowHelp:
    case CliOptions::ShowVersion:
        std::fputs(qPrintable(options.text() + QLatin1Char('\n')), stdout);
        return CliCommand::statusOk;
    case CliOptions::UsageError: {
        CliPrinter printer(CliOptions::Normal, options.json(), false, false);
        printer.result(CliCommand::statusUsage, options.text());
        std::fprintf(stderr, "tessaloom-cli: %s\nTry 'tessaloom-cli --help'.\n", qPrintable(options.text()));
        return CliCommand::statusUsage;
    }
    case CliOptions::Run:
        break;
    }

    CliPrinter printer(options.verbosity(), options.json(), ::isatty(STDERR_FILENO), options.ports().size() > 1);
    const std::unique_ptr<CliCommand> command(CliCommand::create(options, printer));
    SignalWatcher watcher({ SIGINT });
    QObject::connect(&watcher, &SignalWatcher::caught, command.get(), &CliCommand::interrupt);
    QObject::connect(command.get(), &CliCommand::finished, &app, &QCoreApplication::exit);
    QTimer::singleShot(0, command.get(), &CliCommand::start);
    const int status = app.exec();
    // A result that never reached its reader is no success, as with a file that could not be written.
    if (status == CliCommand::statusOk && !printer.outputError().isEmpty()) {
        std::fprintf(stderr, "tessaloom-cli: %s\n",
                     qPrintable(QCoreApplication::translate("CliPrinter", "Cannot write the standard output: %1").arg(printer.outputError())));
        return CliCommand::statusOutputFailed;
    }
    return status;
}
