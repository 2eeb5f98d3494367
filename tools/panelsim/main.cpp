// panelsim: a stand-in for the LED panel controller on a pseudo-terminal.

#include "PanelController.h"
#include "SerialEndpoint.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include "Helper/CheckedFileWriter.h"
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

static int g_SignalPipe[2] = { -1, -1 };

static void onSignal(int)
{
    const char c = 1;
    const ssize_t ignored = ::write(g_SignalPipe[1], &c, 1);
    (void)ignored;
}

static QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

// Valid only with --timestamps: lines then start with the milliseconds since start.
static QElapsedTimer g_Clock;

static void printLine(const QString& text)
{
    if (g_Clock.isValid())
        out() << g_Clock.elapsed() << ' ';
    out() << text << '\n';
    out().flush();
}

static bool parseNumber(const QString& text, int base, int max, int* value)
{
    QString digits = text.trimmed();
    if (base == 16 && digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    bool ok = false;
    const uint v = digits.toUInt(&ok, base);
    if (!ok || v > uint(max))
        return false;
    *value = int(v);
    return true;
}

static bool writeFile(const QString& fileName, const QByteArray& bytes)
{
    QString error;
    return CheckedFileWriter::writeFile(fileName, bytes, &error);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("panelsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated LED panel controller on a serial line.\n"
        "\n"
        "Creates a pseudo-terminal and prints its device path as the first line of\n"
        "output; point the program's serial port at that path. Every later line is\n"
        "one event:\n"
        "  panel firmware:  RESET | NEXT | BOOT (64 00 00 00) | BOOT BYTE (04)\n"
        "                   BLOCK n [EXPECTED m] | JUNK xx | UNKNOWN xx xx xx xx | PARTIAL ...\n"
        "  image, once no block came for the settle time or another command arrives:\n"
        "                   SEQUENCE s FRAME f LEDS i j ...   (lit LED indexes)\n"
        "                   SEQUENCE s END FRAMES k\n"
        "                   PADDING n | TRUNCATED AT off | BADBYTE xx AT off\n"
        "                   IMAGE bytes BLOCKS b SEQUENCES s FRAMES f   (always last)\n"
        "  boot loader:     PACKET n CMD cc [ADDR aaaaaa DATA k] [CRCERROR|FAULT]\n"
        "                       ANSWER xx [DELAY ms] [SPLIT jj] | ANSWER NONE\n"
        "                   HEADER xx ANSWER 51 | LENGTH n ANSWER 53|54\n"
        "                   PANEL (back to the panel firmware after command 1C)\n"
        "                   DROPPED (the line was closed on purpose)\n"
        "  with --raw:      RX xx xx ... (each chunk as it arrives, before its events)\n"
        "  with --timestamps every event line starts with the milliseconds since start\n"
        "  and a space, for example 1203 BLOCK 4.\n"
        "\n"
        "Boot loader answers: 19 -> version byte, 15 -> erase, 00; 10 -> store, 00\n"
        "(C5 outside 4000-43FFF); 1C -> 55 and back to panel mode; other -> C6;\n"
        "wrong checksum -> 52. Packets are numbered from 1 at each entry into the\n"
        "boot loader; the fault switches below take such a number."));
    parser.addHelpOption();

    const QCommandLineOption deviceOption(QStringLiteral("device"),
        QStringLiteral("Use an existing serial device instead of a new pseudo-terminal."), QStringLiteral("path"));
    const QCommandLineOption rowsOption(QStringLiteral("rows"),
        QStringLiteral("Panel rows for decoding the image (default 4)."), QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption columnsOption(QStringLiteral("columns"),
        QStringLiteral("Panel columns for decoding the image (default 48)."), QStringLiteral("n"), QStringLiteral("48"));
    const QCommandLineOption settleOption(QStringLiteral("settle"),
        QStringLiteral("Quiet time in ms after which a program image counts as complete (default 400)."),
        QStringLiteral("ms"), QStringLiteral("400"));
    const QCommandLineOption imageOutOption(QStringLiteral("image-out"),
        QStringLiteral("Write each complete program image, raw, to this file."), QStringLiteral("file"));
    const QCommandLineOption memoryOutOption(QStringLiteral("memory-out"),
        QStringLiteral("Write the boot loader's memory as TI-TXT to this file after each jump and at exit."),
        QStringLiteral("file"));
    const QCommandLineOption versionOption(QStringLiteral("version-byte"),
        QStringLiteral("Answer to command 19, hexadecimal (default A1)."), QStringLiteral("hex"), QStringLiteral("A1"));
    const QCommandLineOption errorAtOption(QStringLiteral("error-at"),
        QStringLiteral("Answer packet n with the error code instead of handling it."), QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption errorCodeOption(QStringLiteral("error-code"),
        QStringLiteral("Error code for --error-at, hexadecimal (default 52)."), QStringLiteral("hex"), QStringLiteral("52"));
    const QCommandLineOption noAnswerOption(QStringLiteral("no-answer-at"),
        QStringLiteral("Do not answer packet n."), QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption slowOption(QStringLiteral("slow-ms"),
        QStringLiteral("Delay answers by this many ms."), QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption slowAtOption(QStringLiteral("slow-at"),
        QStringLiteral("Delay only the answer to packet n (default: every answer)."), QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption splitAtOption(QStringLiteral("split-at"),
        QStringLiteral("Answer packet n in two pieces: the split byte first, the real answer after "
                       "--split-ms. A host that takes the last byte of its first non-empty read sees "
                       "only the split byte."), QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption splitByteOption(QStringLiteral("split-byte"),
        QStringLiteral("First piece of a split answer, hexadecimal (default 00)."), QStringLiteral("hex"), QStringLiteral("00"));
    const QCommandLineOption splitMsOption(QStringLiteral("split-ms"),
        QStringLiteral("Pause between the two pieces of a split answer (default 100)."), QStringLiteral("ms"), QStringLiteral("100"));
    const QCommandLineOption rawOption(QStringLiteral("raw"),
        QStringLiteral("Also print every received chunk as RX followed by its bytes in hexadecimal."));
    const QCommandLineOption timestampsOption(QStringLiteral("timestamps"),
        QStringLiteral("Start every event line with the milliseconds since start and a space."));
    const QCommandLineOption dropOption(QStringLiteral("drop-after"),
        QStringLiteral("Close the line after answering packet n, then exit."), QStringLiteral("n"), QStringLiteral("0"));

    parser.addOptions({ deviceOption, rowsOption, columnsOption, settleOption, imageOutOption, memoryOutOption,
                        versionOption, errorAtOption, errorCodeOption, noAnswerOption, slowOption, slowAtOption,
                        splitAtOption, splitByteOption, splitMsOption, dropOption, rawOption, timestampsOption });
    parser.process(app);

    QTextStream err(stderr);
    auto number = [&](const QCommandLineOption& option, int base, int max, int* value) {
        if (parseNumber(parser.value(option), base, max, value))
            return true;
        err << "panelsim: invalid value for --" << option.names().first() << ": " << parser.value(option) << '\n';
        return false;
    };

    int rows = 0, columns = 0, settle = 0, version = 0, errorCode = 0, splitByte = 0;
    BootLoaderFaults faults;
    const int big = 1 << 30;
    if (!number(rowsOption, 10, 4096, &rows) || !number(columnsOption, 10, 4096, &columns)
        || !number(settleOption, 10, big, &settle) || !number(versionOption, 16, 255, &version)
        || !number(errorAtOption, 10, big, &faults.errorAt) || !number(errorCodeOption, 16, 255, &errorCode)
        || !number(noAnswerOption, 10, big, &faults.noAnswerAt) || !number(slowOption, 10, big, &faults.slowMs)
        || !number(slowAtOption, 10, big, &faults.slowAt) || !number(splitAtOption, 10, big, &faults.splitAt)
        || !number(splitByteOption, 16, 255, &splitByte) || !number(splitMsOption, 10, big, &faults.splitMs)
        || !number(dropOption, 10, big, &faults.dropAfter))
        return 2;
    if (rows < 1 || columns < 1) {
        err << "panelsim: rows and columns must be at least 1\n";
        return 2;
    }
    faults.versionByte = quint8(version);
    faults.errorCode = quint8(errorCode);
    faults.splitByte = quint8(splitByte);

    SerialEndpoint endpoint;
    QString error;
    const bool opened = parser.isSet(deviceOption) ? endpoint.openDevice(parser.value(deviceOption), &error)
                                                   : endpoint.openPseudoTerminal(&error);
    if (!opened) {
        err << "panelsim: " << error << '\n';
        return 1;
    }

    PanelController controller(rows, columns, faults);
    controller.setSettleTime(settle);

    const QString imageOut = parser.value(imageOutOption);
    const QString memoryOut = parser.value(memoryOutOption);
    auto saveImage = [&] {
        if (!imageOut.isEmpty() && !writeFile(imageOut, controller.lastImage()))
            err << "panelsim: cannot write " << imageOut << '\n';
    };
    auto saveMemory = [&] {
        if (!memoryOut.isEmpty() && !controller.memory().writeTiTxt(memoryOut))
            err << "panelsim: cannot write " << memoryOut << '\n';
    };

    if (parser.isSet(rawOption)) {
        QObject::connect(&endpoint, &SerialEndpoint::received, [](const QByteArray& bytes) {
            printLine(QStringLiteral("RX ") + QString::fromLatin1(bytes.toHex(' ').toUpper()));
        });
    }
    QObject::connect(&endpoint, &SerialEndpoint::received, &controller, &PanelController::receive);
    QObject::connect(&controller, &PanelController::answer, &endpoint, &SerialEndpoint::send);
    QObject::connect(&controller, &PanelController::dropRequested, &endpoint, &SerialEndpoint::dropWhenSent);
    QObject::connect(&controller, &PanelController::line, &printLine);
    QObject::connect(&controller, &PanelController::imageComplete, saveImage);
    QObject::connect(&controller, &PanelController::jumped, saveMemory);
    QObject::connect(&endpoint, &SerialEndpoint::dropped, &app, [&] {
        printLine(QStringLiteral("DROPPED"));
        QCoreApplication::quit();
    });

    // Terminating by signal still leaves the files behind.
    if (pipe(g_SignalPipe) != 0) {
        err << "panelsim: pipe failed\n";
        return 1;
    }
    QSocketNotifier signalNotifier(g_SignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGHUP, onSignal);
    // A test that crashes must not leave the simulator holding its output open.
    prctl(PR_SET_PDEATHSIG, SIGTERM);

    out() << endpoint.devicePath() << '\n';
    out().flush();
    if (parser.isSet(timestampsOption))
        g_Clock.start();
    const int result = app.exec();

    controller.finishImage();
    saveMemory();
    return result;
}
