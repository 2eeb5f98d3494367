#include "cli/CliOptions.h"

#include "Data/LedPanelModel.h"
#include "SerialPort/SerialPortSettings.h"

#include <QCommandLineParser>
#include <QSet>

namespace {

struct CommandInfo
{
    const char* name;
    const char* argument; // empty: none
    const char* summary;
};

const CommandInfo commandInfos[] = {
    { "new", "",
      QT_TRANSLATE_NOOP("CliOptions", "Writes a new show for a panel of --grid ROWSxCOLUMNS or --ring CIRCLESxLEDS "
                                      "with one sequence of --frames N dark frames (-o SHOW.xml).") },
    { "info", "SHOW.xml",
      QT_TRANSLATE_NOOP("CliOptions", "Shows the layout, title, sequences, program size and write time of a show.") },
    { "compile", "SHOW.xml",
      QT_TRANSLATE_NOOP("CliOptions", "Compiles a show into the panel's program image (-o IMAGE.bin), "
                                      "or with --format c into C source.") },
    { "import", "IMAGE SHOW.xml",
      QT_TRANSLATE_NOOP("CliOptions", "Imports a picture or animated GIF into a show as frames (-o OUT.xml).") },
    { "render", "SHOW.xml",
      QT_TRANSLATE_NOOP("CliOptions",
                        "Draws a sequence as an animated GIF, or one frame as PNG (-o OUT.gif|OUT.png).") },
    { "write", "SHOW.xml", QT_TRANSLATE_NOOP("CliOptions", "Compiles a show and writes it to the panel.") },
    { "wiring", "SHOW.xml",
      QT_TRANSLATE_NOOP("CliOptions", "Writes a test program that shows how the panel is numbered: LED 0, LED 1 "
                                      "and the first LED of the second line alone, every LED, one more LED "
                                      "alone; then resets it.") },
    { "reset", "", QT_TRANSLATE_NOOP("CliOptions", "Sends the panel the reset command.") },
    { "next", "", QT_TRANSLATE_NOOP("CliOptions", "Sends the panel the next-sequence command.") },
    { "boot", "", QT_TRANSLATE_NOOP("CliOptions", "Makes the panel firmware start its boot loader.") },
    { "text", "SHOW.xml TEXT",
      QT_TRANSLATE_NOOP("CliOptions", "Letters a text into a show: a still frame, or with --scroll the frames of "
                                      "the text running through, appended to a sequence (-o OUT.xml).") },
    { "flash", "FIRMWARE.txt",
      QT_TRANSLATE_NOOP("CliOptions", "Writes new firmware from a TI-TXT file through the MSPBoot boot loader; "
                                      "several -p flash several boards at once.") },
};

const CommandInfo* findCommand(const QString& name)
{
    for (const CommandInfo& info : commandInfos) {
        if (name == QLatin1String(info.name))
            return &info;
    }
    return nullptr;
}

bool takes(const QString& command, const char* option)
{
    const QString o = QLatin1String(option);
    if (command.isEmpty() || o == QLatin1String("json"))
        return true;
    if (o == QLatin1String("output"))
        return command == QLatin1String("compile") || command == QLatin1String("text")
               || command == QLatin1String("import") || command == QLatin1String("render")
               || command == QLatin1String("new");
    if (o == QLatin1String("grid") || o == QLatin1String("ring") || o == QLatin1String("spacing")
        || o == QLatin1String("frames") || o == QLatin1String("order") || o == QLatin1String("serpentine"))
        return command == QLatin1String("new");
    if (o == QLatin1String("print"))
        return command == QLatin1String("wiring");
    if (o == QLatin1String("scroll"))
        return command == QLatin1String("text");
    if (o == QLatin1String("format"))
        return command == QLatin1String("compile");
    if (o == QLatin1String("check") || o == QLatin1String("force"))
        return command == QLatin1String("flash");
    if (o == QLatin1String("fit") || o == QLatin1String("threshold") || o == QLatin1String("dither")
        || o == QLatin1String("invert") || o == QLatin1String("keep-timing"))
        return command == QLatin1String("import");
    if (o == QLatin1String("sequence"))
        return command == QLatin1String("text") || command == QLatin1String("import")
               || command == QLatin1String("render");
    if (o == QLatin1String("fps"))
        return command == QLatin1String("import") || command == QLatin1String("render");
    if (o == QLatin1String("size") || o == QLatin1String("frame"))
        return command == QLatin1String("render");
    if (o == QLatin1String("baud"))
        return CliOptions::needsPort(command) || command == QLatin1String("info");
    if (o == QLatin1String("quiet"))
        return command != QLatin1String("info");
    return CliOptions::needsPort(command);
}

} // namespace

QString CliOptions::versionText()
{
    return QStringLiteral("tessaloom-cli 1.0");
}

bool CliOptions::needsPort(const QString& command)
{
    return command != QLatin1String("info") && command != QLatin1String("compile")
           && command != QLatin1String("text") && command != QLatin1String("import")
           && command != QLatin1String("render") && command != QLatin1String("new");
}

void CliOptions::configure(QCommandLineParser& parser, const QString& command) const
{
    parser.addHelpOption();
    // Not addVersionOption(): that takes -v, which is --verbose here.
    parser.addOption(QCommandLineOption(QStringLiteral("version"), tr("Prints the version.")));
    const QList<QPair<const char*, QCommandLineOption>> options {
        { "port", QCommandLineOption({ QStringLiteral("p"), QStringLiteral("port") },
                                     tr("Serial port of the panel (default: $TESSALOOM_PORT). flash takes it "
                                        "several times."),
                                     tr("PORT")) },
        { "baud", QCommandLineOption({ QStringLiteral("b"), QStringLiteral("baud") },
                                     tr("Baud rate (default 57600)."), tr("RATE"), QStringLiteral("57600")) },
        { "output", command == QLatin1String("compile")
                        ? QCommandLineOption({ QStringLiteral("o"), QStringLiteral("output") },
                                             tr("The program image file to write."), tr("IMAGE.bin"))
                        : command == QLatin1String("render")
                        ? QCommandLineOption({ QStringLiteral("o"), QStringLiteral("output") },
                                             tr("The picture to write."), tr("OUT.gif|OUT.png"))
                        : QCommandLineOption({ QStringLiteral("o"), QStringLiteral("output") },
                                             tr("The show file to write."), tr("OUT.xml")) },
        { "scroll", QCommandLineOption(QStringLiteral("scroll"), tr("Scrolls the text through new frames.")) },
        { "quiet", QCommandLineOption({ QStringLiteral("q"), QStringLiteral("quiet") }, tr("Prints errors only.")) },
        { "verbose", QCommandLineOption({ QStringLiteral("v"), QStringLiteral("verbose") },
                                        tr("Prints every block or packet in hexadecimal.")) },
        { "json", QCommandLineOption(QStringLiteral("json"),
                                     tr("Prints JSON objects on standard output, one per line.")) },
        { "format", QCommandLineOption(QStringLiteral("format"), tr("bin (default) or c."), tr("FORMAT"),
                                       QStringLiteral("bin")) },
        { "fit", QCommandLineOption(QStringLiteral("fit"), tr("fit (default), fill or stretch."), tr("MODE"),
                                    QStringLiteral("fit")) },
        { "threshold", QCommandLineOption(QStringLiteral("threshold"),
                                          tr("Luminance from which an LED is lit, 0 to 255 (default 128)."),
                                          tr("N"), QStringLiteral("128")) },
        { "dither", QCommandLineOption(QStringLiteral("dither"), tr("Diffuses the error (Floyd-Steinberg).")) },
        { "invert", QCommandLineOption(QStringLiteral("invert"), tr("Lights the dark parts.")) },
        { "keep-timing", QCommandLineOption(QStringLiteral("keep-timing"),
                                            tr("Holds each GIF frame as long as its delay lasts at --fps.")) },
        { "fps", QCommandLineOption(QStringLiteral("fps"), tr("Frames per second, 1 to 50 (default 10)."),
                                    tr("F"), QStringLiteral("10")) },
        { "sequence", QCommandLineOption(QStringLiteral("sequence"),
                                         tr("The sequence, from 1 (text and import: default a new one at the "
                                            "end; render: default 1)."),
                                         tr("N")) },
        { "size", QCommandLineOption(QStringLiteral("size"),
                                     tr("The picture's longer side in pixels, 16 to 4096 (default 480)."), tr("PX"),
                                     QStringLiteral("480")) },
        { "frame", QCommandLineOption(QStringLiteral("frame"), tr("The frame a PNG shows, from 1 (default 1)."),
                                      tr("K"), QStringLiteral("1")) },
        { "grid", QCommandLineOption(QStringLiteral("grid"), tr("A grid panel of that many rows and columns."),
                                     tr("ROWSxCOLUMNS")) },
        { "ring", QCommandLineOption(QStringLiteral("ring"), tr("A ring panel of that many circles and LEDs per "
                                                                "circle."),
                                     tr("CIRCLESxLEDS")) },
        { "spacing", QCommandLineOption(QStringLiteral("spacing"),
                                        tr("The distance between LEDs of a grid, or between circles of a ring "
                                           "(default that of the default layouts)."),
                                        tr("S")) },
        { "frames", QCommandLineOption(QStringLiteral("frames"),
                                       tr("How many dark frames (default 1); frames times LEDs at most %1.")
                                           .arg(LedPanelModel::MaxLedValues),
                                       tr("N")) },
        { "check", QCommandLineOption(QStringLiteral("check"),
                                      tr("Checks the file and tells what it would write, without any port.")) },
        { "force", QCommandLineOption(QStringLiteral("force"),
                                      tr("Also writes bytes on the device's vectors and security signatures "
                                         "(FF80-FFFF) or below 4000.")) },
        { "order", QCommandLineOption(QStringLiteral("order"),
                                      tr("rows (default): LED 1 beside LED 0; columns: LED 1 below it."),
                                      tr("ORDER")) },
        { "serpentine", QCommandLineOption(QStringLiteral("serpentine"),
                                           tr("Every second row (or column) runs back the other way.")) },
        { "print", QCommandLineOption(QStringLiteral("print"), tr("Lists the steps instead of writing.")) },
    };
    for (const auto& option : options) {
        if (takes(command, option.first))
            parser.addOption(option.second);
    }

    const CommandInfo* info = findCommand(command);
    if (!info) {
        QString description = tr("Compiles, writes and flashes LED panel shows from a terminal.\n\nCommands:");
        QStringList usages;
        int width = 0;
        for (const CommandInfo& c : commandInfos) {
            usages << QStringLiteral("%1 %2").arg(QLatin1String(c.name), QLatin1String(c.argument)).trimmed();
            width = qMax(width, usages.last().size());
        }
        for (int i = 0; i < usages.size(); ++i)
            description += QLatin1String("\n  ") + usages.at(i).leftJustified(width + 2) + tr(commandInfos[i].summary);
        description += tr("\n\nHelp on one command: tessaloom-cli COMMAND --help");
        parser.setApplicationDescription(description);
        parser.addPositionalArgument(QStringLiteral("command"), tr("One of the commands above."),
                                     tr("COMMAND [arguments]"));
        return;
    }
    parser.setApplicationDescription(tr(info->summary));
    parser.addPositionalArgument(QLatin1String(info->name), tr("The command."));
    for (const QString& argument : QString::fromLatin1(info->argument).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        parser.addPositionalArgument(argument, argument.endsWith(QLatin1String(".xml"))
                                                   ? tr("A show saved by Tessaloom.")
                                                   : argument == QLatin1String("IMAGE")
                                                   ? tr("A PNG, JPEG, BMP or GIF picture.")
                                                   : argument == QLatin1String("TEXT")
                                                   ? tr("The text to letter.")
                                                   : tr("Firmware in TI-TXT format."));
}

CliOptions::eOutcome CliOptions::parse(const QStringList& arguments, const QString& defaultPort)
{
    m_Json = arguments.contains(QStringLiteral("--json"));
    // First with every option, to find the command; then with what that command takes.
    QCommandLineParser everything;
    configure(everything, QString());
    everything.parse(arguments);
    const QStringList positional = everything.positionalArguments();
    const QString command = positional.value(0);

    if (!command.isEmpty() && !findCommand(command))
        return fail(tr("Unknown command \"%1\".").arg(command));
    QCommandLineParser parser;
    configure(parser, command);
    const bool parsed = parser.parse(arguments);
    // A console tool has no Qt options worth listing: --help-all is --help.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        m_Text = parser.helpText();
        return ShowHelp;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        m_Text = versionText();
        return ShowVersion;
    }
    if (!parsed)
        return fail(parser.errorText());
    if (command.isEmpty())
        return fail(tr("No command given."));
    return check(parser, defaultPort);
}

CliOptions::eOutcome CliOptions::check(const QCommandLineParser& parser, const QString& defaultPort)
{
    const QStringList positional = parser.positionalArguments();
    m_Command = positional.first();
    const CommandInfo* info = findCommand(m_Command);
    const QStringList arguments = QString::fromLatin1(info->argument).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int expected = 1 + arguments.size();
    if (positional.size() < expected)
        return fail(tr("%1 needs a %2.").arg(m_Command, arguments.value(positional.size() - 1)));
    if (positional.size() > expected)
        return fail(tr("Too many arguments: %1").arg(positional.mid(expected).join(QLatin1Char(' '))));
    m_Input = positional.value(1);
    m_Lettering = positional.value(2);
    m_Arguments = positional.mid(1);

    if (takes(m_Command, "output")) {
        m_Output = parser.value(QStringLiteral("output"));
        if (m_Output.isEmpty()) {
            if (m_Command == QLatin1String("compile"))
                return fail(tr("compile needs the image file to write: -o IMAGE.bin"));
            if (m_Command == QLatin1String("render"))
                return fail(tr("render needs the file to write: -o OUT.gif"));
            return fail(tr("%1 needs the show file to write: -o OUT.xml").arg(m_Command));
        }
    }
    if (takes(m_Command, "scroll"))
        m_Scroll = parser.isSet(QStringLiteral("scroll"));
    for (const char* option : { "format", "fit", "threshold", "dither", "invert", "keep-timing", "fps", "sequence",
                                "size", "frame", "grid", "ring", "spacing", "frames", "check", "force", "order",
                                "serpentine", "print" }) {
        const QString name = QLatin1String(option);
        if (takes(m_Command, option) && parser.isSet(name))
            m_Values.insert(name, parser.value(name));
    }
    if (takes(m_Command, "sequence") && parser.isSet(QStringLiteral("sequence"))) {
        bool ok = false;
        m_Sequence = parser.value(QStringLiteral("sequence")).toInt(&ok);
        if (!ok || m_Sequence < 1)
            return fail(tr("Invalid sequence \"%1\": sequences count from 1.").arg(parser.value(QStringLiteral("sequence"))));
    }
    if (takes(m_Command, "baud")) {
        bool ok = false;
        m_BaudRate = parser.value(QStringLiteral("baud")).toInt(&ok);
        if (!ok || m_BaudRate <= 0)
            return fail(tr("Invalid baud rate \"%1\".").arg(parser.value(QStringLiteral("baud"))));
    }
    const bool quiet = takes(m_Command, "quiet") && parser.isSet(QStringLiteral("quiet"));
    const bool verbose = takes(m_Command, "verbose") && parser.isSet(QStringLiteral("verbose"));
    if (quiet && verbose)
        return fail(tr("--quiet and --verbose exclude each other."));
    m_Verbosity = quiet ? Quiet : verbose ? Verbose : Normal;

    // A firmware check and a listing of the wiring steps touch no port.
    if (needsPort(m_Command) && !isSet(QStringLiteral("check"))
        && !(takes(m_Command, "print") && parser.isSet(QStringLiteral("print")))) {
        m_Ports = parser.values(QStringLiteral("port"));
        if (m_Ports.isEmpty() && !defaultPort.isEmpty())
            m_Ports << defaultPort;
        if (m_Ports.isEmpty())
            return fail(tr("No serial port given: use -p PORT or set TESSALOOM_PORT."));
        // Qt would take it for /dev/ and say it is a directory.
        if (m_Ports.contains(QString()))
            return fail(tr("A port name is empty."));
        if (m_Ports.size() > 1 && m_Command != QLatin1String("flash"))
            return fail(tr("Only flash takes several ports."));
        QSet<QString> devices;
        for (const QString& port : qAsConst(m_Ports))
            devices.insert(SerialPortSettings::device(port));
        // Two runs on one board would answer each other's packets.
        if (devices.size() != m_Ports.size())
            return fail(tr("A port is given twice."));
    }
    return Run;
}

CliOptions::eOutcome CliOptions::fail(const QString& text)
{
    m_Text = text;
    return UsageError;
}

QString CliOptions::command() const
{
    return m_Command;
}

QString CliOptions::input() const
{
    return m_Input;
}

QString CliOptions::lettering() const
{
    return m_Lettering;
}

bool CliOptions::scroll() const
{
    return m_Scroll;
}

int CliOptions::sequence() const
{
    return m_Sequence;
}

QStringList CliOptions::arguments() const
{
    return m_Arguments;
}

bool CliOptions::isSet(const QString& option) const
{
    return m_Values.contains(option);
}

QString CliOptions::value(const QString& option, const QString& fallback) const
{
    return m_Values.value(option, fallback);
}

QString CliOptions::output() const
{
    return m_Output;
}

QStringList CliOptions::ports() const
{
    return m_Ports;
}

qint32 CliOptions::baudRate() const
{
    return m_BaudRate;
}

CliOptions::eVerbosity CliOptions::verbosity() const
{
    return m_Verbosity;
}

bool CliOptions::json() const
{
    return m_Json;
}

QString CliOptions::text() const
{
    return m_Text;
}
