#include "Data/LedPanelModel.h"
#include "Data/ProgramCompiler.h"
#include "Data/TextFrames.h"
#include "common/CliRun.h"
#include "common/DataColumns.h"
#include "common/FileSizeLimit.h"
#include "common/PanelSimulator.h"
#include "common/PythonRunner.h"
#include "common/TestData.h"

#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

static const QString cliProgram = QStringLiteral(TESSALOOM_CLI_PATH);

// A show on a rectangle of rows × columns with the given frame counts; each frame lights its own LEDs.
static QByteArray show(int rows, int columns, const QList<int>& frames)
{
    QByteArray sequences;
    for (int s = 0; s < frames.size(); ++s)
        sequences += sequenceXml(s, frames.at(s), rows * columns, [s](int f, int i) { return i % 3 == (s + f) % 3; });
    return showXml(layoutXml(rows, columns) + sequences);
}

// The image as the editor compiles the file.
static QByteArray editorImage(const QString& fileName)
{
    LedPanelModel model;
    QByteArray image;
    QString problem;
    if (!readShow(model, fileContents(fileName)) || !ProgramCompiler::compile(model, &image, &problem))
        QTest::qFail(qPrintable("cannot compile " + fileName), __FILE__, __LINE__);
    return image;
}

class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_Dir.isValid());
        QVERIFY(QFileInfo(cliProgram).isExecutable());
        // Parts over the first CRC range's start, outside both ranges and in the second.
        runProgram("srec_cat", { "-generate", "0x6400", "0x665B", "-random", "-generate", "0xFF00", "0xFF14", "-random",
                                 "-generate", "0x10000", "0x1012C", "-random", "-o", file("firmware.txt"), "-ti-txt" });
        const QList<QPair<QString, QByteArray>> files {
            { "grid.xml", show(2, 8, { 3, 0, 2 }) },
            { "ring.xml", show(4, 48, { 2, 1 }) },
            { "empty.xml", show(2, 8, {}) },
            { "long.xml", show(4, 48, { 60 }) },
            { "broken.xml", "<LedPanelDocument version='1.0'>\n<Title>" },
            { "show.png", show(2, 8, { 1 }) },
            { "letters.xml", show(8, 12, { 1 }) },
            { "realring.xml", showXml(layoutXml(4, 48, "Ring")) },
            { "huge.xml", showXml(layoutXml(256, 256)) },
            { "vectors.txt", "@6403\n01\n@FF80\n00 44\nq\n" },
            // An image of some kilobytes: values that the compiler cannot fold.
            { "wide.xml",
              showXml(layoutXml(32, 32)
                      + sequenceXml(0, 40, 1024, [](int f, int i) { return (i * 7 + f * 13) % 251; })) },
            { "surplus.xml", show(2, 8, { 1 }).replace("</LedPanelDocument>", layoutXml(1, 8) + "</LedPanelDocument>") }
        };
        for (const auto& f : files)
            QVERIFY(writeFile(file(f.first), f.second));
        QVERIFY(QFile::link("/dev/null", file("null.txt"))); // a port by another name
        QCOMPARE(CliRun(paths("render grid.xml -o dots.png")).status, 0);
    }

    void lineBytes_data()
    {
        const auto add = dataColumns<QString, int>("line", "blocks"); // blocks of a show's image; -1: a command frame
        for (const char* command : { "reset", "next", "boot" })
            add(command, command + QString(" -v"), -1);
        add("no sequences", "write empty.xml", 0);
        add("47 blocks, progress by tenths", "write long.xml -b 115200", 47);
    }

    // Commands are 4-byte frames; write sends the editor's image in blocks of 32; the port comes from the environment.
    void lineBytes()
    {
        const auto [line, blocks] = fetchColumns<QString, int>("line", "blocks");
        const QStringList arguments = paths(line);
        const QMap<QString, char> frames { { "reset", 0x01 }, { "next", 0x02 }, { "boot", 0x64 } };
        const QByteArray image = blocks < 0 ? QByteArray() : editorImage(arguments[1]);
        QByteArray expected
            = blocks < 0 ? QByteArray(1, frames.value(arguments[0])) + QByteArray(3, '\0') : QByteArray();
        for (int n = 0; n < blocks; ++n)
            expected += QByteArray("\x03\0\0", 3) + char(n) + image.mid(32 * n, 32).leftJustified(32, '\0');

        PanelSimulator sim;
        QVERIFY(sim.start({ "--raw" }));
        const CliRun run(arguments, sim.devicePath());
        QCOMPARE(run.status, 0);
        QTRY_COMPARE_WITH_TIMEOUT(sim.received(), expected, 5000);
        if (blocks < 0)
            QVERIFY2(run.err.contains(expected.toHex(' ').toUpper() + "\nSent " + arguments[0].toUtf8()), run.err);
        else
            QCOMPARE(QString(run.err).split('\n').filter(QRegularExpression("^\\d+% ")).size(),
                     qMin(blocks, 10) + !!blocks);
    }

    void flash_data()
    {
        const auto add = dataColumns<int, bool>("boards", "verbose");
        add("one board, every packet", 1, true);
        add("two boards at once", 2, false);
    }

    // The devices hold the file's bytes and at 0x4000 the CRC srec_cat computes; each board's lines are the window's.
    void flash()
    {
        const auto [boards, verbose] = fetchColumns<int, bool>("boards", "verbose");
        std::vector<PanelSimulator> sims(boards);
        QStringList arguments { "flash", file("firmware.txt") };
        for (int b = 0; b < boards; ++b) {
            QVERIFY(sims[b].start({ "--memory-out", file(QString("memory%1.txt").arg(b)) }));
            arguments << "-p" << sims[b].devicePath();
        }
        const CliRun run(arguments + (verbose ? QStringList("-v") : QStringList()));
        QCOMPARE(run.status, 0);
        const QStringList lines = QString(run.err).split('\n', Qt::SkipEmptyParts);
        for (int b = 0; b < boards; ++b) {
            const QString port = sims[b].devicePath(); // named by its full path, as the port dialog shows it
            const QString label = boards > 1 ? port + ": " : QString();
            QStringList steps { "Open serial port " + port + " (57600)", "Enter MSP UART flasher", "Verify device",
                                "Erase device", "Write application code", "Jump to the application",
                                "Close serial port " + port, "Finished" };
            QCOMPARE(lines.filter(QRegularExpression("^" + QRegularExpression::escape(label) + "[A-Z]")).mid(0, 8),
                     steps.replaceInStrings(QRegularExpression("^"), label));
            QVERIFY(sims[b].waitForLine("PANEL"));
            const int packets = sims[b].lines().filter(QRegularExpression("^PACKET ")).size();
            QCOMPARE(lines.filter(QRegularExpression("^packet 80 ")).size(), verbose ? packets : 0);
            sims[b].stop();
            QCOMPARE(tiTxt(file(QString("memory%1.txt").arg(b))), flashedMemory(file("firmware.txt")));
        }
        if (boards > 1)
            QCOMPARE(lines.filter(QRegularExpression("^/dev/")).size(), lines.size() - 1); // all but the summary
        if (verbose)
            QVERIFY(run.err.contains("packet 80 01 19 E8 62\n"));
    }

    void flashFaults_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("besideGoodBoard");
        QTest::newRow("answer too late") << QStringList { "--slow-at", "2", "--slow-ms", "5600" }
                                         << "Error: (-1) Timeout" << false;
        QTest::newRow("wrong version") << QStringList { "--version-byte", "9F" } << "Error: unknown answer 0x9F"
                                       << false;
        QTest::newRow("split answer") << QStringList { "--split-at", "1", "--split-byte", "00", "--split-ms", "500" }
                                      << "Error: unknown answer 0x00" << false;
        const QStringList texts { "Incorrect header", "Packet checksum error", "Packet size is zero",
                                  "Packet size is invalid", "Error in protocol" };
        for (int code = 0x51; code <= 0x55; ++code)
            QTest::newRow(qPrintable(QString("error %1").arg(code, 0, 16)))
                << QStringList { "--error-at", QString::number(2 + code % 2), "--error-code",
                                 QString::number(code, 16) }
                << QString("Error: (%1) %2").arg(code, 0, 16).arg(texts.at(code - 0x51)) << (code == 0x52);
    }

    // Exit status 1 with the boot loader's message in the summary, naming only the board that failed.
    void flashFaults()
    {
        const auto [fault, message, besideGoodBoard] =
            fetchColumns<QStringList, QString, bool>("fault", "message", "besideGoodBoard");
        PanelSimulator bad, good;
        QVERIFY(bad.start(fault));
        QStringList arguments { "flash", file("firmware.txt"), "-q", "-p", bad.devicePath() };
        if (besideGoodBoard) {
            QVERIFY(good.start());
            arguments << "-p" << good.devicePath();
        }
        const CliRun run(arguments);
        QCOMPARE(run.status, 1);
        const QList<QByteArray> lines = run.err.trimmed().split('\n');
        QVERIFY2(lines.last().startsWith("tessaloom-cli: Flashing failed on 1 of "
                                         + QByteArray::number(1 + besideGoodBoard)
                                         + " boards: " + bad.devicePath().toUtf8() + " (" + message.toUtf8()),
                 run.err);
        QVERIFY2(!run.err.contains("Verify device")
                     && (!besideGoodBoard || !lines.last().contains(good.devicePath().toUtf8() + " (")),
                 run.err);
    }

    void flashRefusals_data()
    {
        QTest::addColumn<QByteArray>("firmware");
        QTest::addColumn<QString>("reason");

        const auto invalid = [](const char* name, const QByteArray& firmware, const QString& reason) {
            QTest::newRow(name) << firmware << "Invalid device application code file! Line " + reason;
        };
        invalid("empty", "", "1: the file holds no data bytes");
        invalid("only q", "q\n", "1: the file holds no data bytes");
        invalid("address without data", "@6403\r\n\r\nq\r\n", "3: the file holds no data bytes");
        invalid("cut off in a byte", "@6403\n01 02 73 6", "2: \"6\" is not a byte");
        invalid("cut off between lines", "@6403\n01 02\n", "2: the file ends without its closing q line");
        invalid("wide tokens", "@6403\n01 345 6789 FFF\nq\n", "2: \"345\" is not a byte");
        invalid("data before the address", "01 02\n@6403\n03\nq\n", "1: data before the first @address line");
        invalid("address past the device", "@6403\n01\n@100000\n01\nq\n",
                "3: address 100000 lies past the device's last byte 43FFF");
        invalid("section running past the device", "@43FFE\n01 02\n03\nq\n",
                "3: the section at 43FFE runs past the device's last byte");
        invalid("on the CRC", "@3FFF\n01 02\nq\n", "2: byte at 4000 lies on the application CRC");
        invalid("overlap", "@6403\n01 02 03\n@7000\n04\n@6405\n05\nq\n",
                "5: the section at 6405 overlaps the section at 6403 from line 1");
        invalid("not q", "@6403\n01\nquit? no\n", "3: \"quit?\" is not a byte");
        invalid("text after q", "@6403\n01\nq\n\n@7000\n02\nq\n", "5: text after the closing q line");
        invalid("a picture", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "1: ");
        QTest::newRow("vectors") << QByteArray("@6403\n01\n@FF80\n00 44\nq\n")
                                 << "not flashed without --force: 2 bytes on FF80-FFFF";
        QTest::newRow("below application memory") << QByteArray("@1800\n01\n@6403\n02\nq\n")
                                                 << "not flashed without --force: 1 byte below 4000";
    }

    // A file the device must not get is refused, naming the line and what is wrong, before any byte
    // reaches the board.
    void flashRefusals()
    {
        const auto [firmware, reason] = fetchColumns<QByteArray, QString>("firmware", "reason");
        QVERIFY(writeFile(file("refused.txt"), firmware));
        PanelSimulator sim;
        QVERIFY(sim.start({ "--raw" }));
        const CliRun run({ "flash", file("refused.txt"), "-p", sim.devicePath() });
        QCOMPARE(run.status, 3);
        QVERIFY2(run.err.contains(reason.toUtf8()) && !run.err.contains("Finished"), run.err);
        QByteArray received;
        QVERIFY(sim.receivedSoFar(&received));
        QCOMPARE(received.toHex(' '), QByteArray());
    }

    void flashCheck_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<bool>("force");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("lines"); // after the first, which names the CRC

        QTest::newRow("clean") << "firmware.txt" << false << 0
                               << "  6400-665A: 603 bytes\n  FF00-FF13: 20 bytes\n  10000-1012B: 300 bytes\n"
                                  "23 bytes outside the ranges the application CRC covers";
        const QString vectors
            = "  6403-6403: 1 byte\n  FF80-FF81: 2 bytes\n2 bytes outside the ranges the application "
              "CRC covers\n2 bytes on FF80-FFFF, the device's vectors and security signatures: they can "
              "lock it";
        QTest::newRow("vectors") << "vectors.txt" << false << 3 << vectors;
        QTest::newRow("vectors, forced") << "vectors.txt" << true << 0 << vectors;
    }

    // No port is needed; the summary's CRC is the one srec_cat puts at 0x4000.
    void flashCheck()
    {
        const auto [firmware, force, status, lines] =
            fetchColumns<QString, bool, int, QString>("firmware", "force", "status", "lines");
        const CliRun run(QStringList { "flash", "--check", file(firmware) }
                         + (force ? QStringList("--force") : QStringList()));
        QCOMPARE(run.status, status);
        QCOMPARE(run.err.isEmpty(), status == 0);
        const QByteArray crc = QByteArray::fromHex(flashedMemory(file(firmware)).split('\n').value(1));
        QCOMPARE(crc.size(), 2);
        const QStringList printed = QString(run.out).split('\n');
        QCOMPARE(printed.first(), QString("%1 sections, %2 bytes, application CRC 0x%3")
                                      .arg(lines.count("  ")).arg(firmware == "firmware.txt" ? 923 : 3)
                                      .arg(QString((crc.right(1) + crc.left(1)).toHex().toUpper())));
        QCOMPARE(printed.mid(1).join('\n'), lines + '\n');
    }

    void statuses_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        // On standard error, or on standard output after a ">"; after a "^" standard error starts with it.
        QTest::addColumn<QString>("text");

        const auto row = [](const char* name, const QString& line, int status, const char* text) {
            QTest::newRow(name) << line << status << text;
        };
        row("version", "--version", 0, ">tessaloom-cli 1.0\n");
        row("command help", "compile --help", 0, ">-o, --output <IMAGE.bin>");
        row("help, the longest command", "--help", 0, ">\n  import IMAGE SHOW.xml  Imports");
        row("help names the bound of new", "new --help", 0, ">at most 4194304.");
        row("no command", "", 2, "No command given.");
        row("no port", "reset", 2, "No serial port given");
        row("an empty port name", "write grid.xml --port=", 2, "A port name is empty.");
        row("one port by two names", "flash firmware.txt -p /dev/null -p null.txt", 2, "A port is given twice.");
        row("compile without -o", "compile grid.xml", 2, "-o IMAGE.bin");
        row("broken show", "write broken.xml -p /dev/nonexistent", 3, "broken.xml: Line 2, column 8: ");
        row("missing show", "compile none.xml -o x.bin", 3, "Cannot read");
        row("a layout after the frames", "info surplus.xml", 3,
            "surplus.xml: Line 1, column 514: The Layout element comes after the sequences");
        row("text without -o", "text letters.xml Hi", 2, "-o OUT.xml");
        row("text without text", "text letters.xml -o x.xml", 2, "text needs a TEXT");
        row("text into sequence 2", "text letters.xml Hi --sequence 2 -o x.xml", 2, "has no sequence 2; it has 1.");
        row("text over 200 characters", "text letters.xml " + QString(201, 'x') + " -o x.xml", 2,
            "1 to 200 characters");
        row("scroll past the LED-value bound", "text huge.xml Hi --scroll -o x.xml", 3, "LED values");
        row("new, a size of one number", "new --grid 8 -o x.xml", 2, "--grid takes two whole numbers");
        row("new, no rows", "new --ring 0x12 -o x.xml", 2, "1 to 1024");
        row("new, past the LED cap", "new --grid 1024x1024 -o x.xml", 2, "at most 65536 LEDs");
        row("new, both types", "new --grid 8x8 --ring 1x12 -o x.xml", 2, "exactly one of");
        row("new, spacing below the dialog's", "new --grid 8x8 --spacing 1e-300 -o x.xml", 2,
            "--spacing takes a number from 0.001");
        row("new past the LED-value bound", "new --grid 256x256 --frames 65 -o x.xml", 2,
            "4259840 LED values; a show holds at most 4194304.");
        row("render a sequence not there", "render grid.xml --sequence 9 -o x.gif", 2, "has no sequence 9");
        row("render an empty sequence", "render grid.xml --sequence 2 -o x.gif", 3, "Sequence 2 has no frames.");
        row("render a frame not there", "render grid.xml --sequence 3 --frame 3 -o x.png", 2,
            "Sequence 3 has no frame 3.");
        row("render at 51 fps", "render grid.xml --fps 51 -o x.gif", 2, "--fps takes a whole number from 1 to 50");
        row("render to a .jpg", "render grid.xml -o x.jpg", 2, "render writes a .gif or a .png file");
        row("render not writable", "render grid.xml -o none/x.gif", 4, "Cannot write");
        row("new, another order", "new --grid 8x8 --order diagonal -o x.xml", 2,
            "--order takes rows or columns, not \"diagonal\".");
        row("output not writable", "compile grid.xml -o none/x.bin", 4, "Cannot write");
        row("compile over its own show", "compile grid.xml -o ./grid.xml", 2, "grid.xml is the show itself");
        row("import over its picture", "import dots.png grid.xml -o dots.png", 2, "dots.png is the picture itself");
        row("render over its show", "render show.png -o show.png", 2, "show.png is the show itself");
        // Nothing is said to go to a port before it opens.
        for (const QString line : { "reset", "write grid.xml", "wiring grid.xml", "flash firmware.txt" })
            row(qPrintable(line.section(' ', 0, 0) + ", port does not open"), line + " -p /dev/nonexistent -v", 1,
                line.startsWith("flash") ? "serial port /dev/nonexistent (57600)!; " // and why
                                         : "^tessaloom-cli: Cannot open serial port");
    }

    void statuses()
    {
        const auto [line, status, text] = fetchColumns<QString, int, QString>("line", "status", "text");
        const CliRun run(paths(line));
        QCOMPARE(run.status, status);
        const bool out = text.startsWith('>');
        const bool first = text.startsWith('^');
        const QByteArray expected = text.mid(out || first).toUtf8();
        QVERIFY2(first ? run.err.startsWith(expected) : (out ? run.out : run.err).contains(expected),
                 run.out + run.err);
        if (status == 0)
            QVERIFY(run.err.isEmpty());
    }

    void json_data()
    {
        const auto add = dataColumns<QString, QString>("line", "expected");
        add("info", "info ring.xml", "info Rectangle 4x48 192 [2, 1] 77 3 1");
        add("write", "write ring.xml -v -p SIM",
            "report progress report progress report progress report progress result True 0");
        add("flash", "flash firmware.txt -p SIM", "report progress report result True 0");
        add("broken show", "info broken.xml", "result False 3");
    }

    // Standard output holds JSON objects only, one per line, as Python's json reads them.
    void json()
    {
        const auto [line, expected] = fetchColumns<QString, QString>("line", "expected");
        PanelSimulator sim;
        QVERIFY(sim.start());
        const CliRun run(paths(line).replaceInStrings(QRegularExpression("^SIM$"), sim.devicePath()) << "--json");
        QVERIFY(run.err.isEmpty() || run.status == 2);
        const QString script = R"(import itertools, json, sys
objs = [json.loads(line) for line in sys.argv[1].splitlines()]
assert all(type(o) is dict for o in objs)
o = objs[-1]
if 'layout' in o:
    print('info', o['layout']['type'], '%dx%d' % (o['layout']['rows'], o['layout']['columns']), o['layout']['leds'],
          [s['frames'] for s in o['sequences']], o['image']['bytes'], o['image']['blocks'], len(objs))
else:
    print(' '.join(k for k, _ in itertools.groupby(x['event'] for x in objs)), o['ok'], o['status']))";
        QCOMPARE(QString(PythonRunner::run(script, { QString::fromUtf8(run.out) })).trimmed(), expected);
    }

    void text_data()
    {
        // The frame of the last sequence that holds the text standing still, as the editor letters it; frames per
        // sequence.
        const auto add = dataColumns<QString, int, QString>("line", "frame", "frames");
        add("still, appended to sequence 1", "text letters.xml Hi --sequence 1", 1, "[2]");
        // 200 characters, each two UTF-16 units and a box.
        add("200 clefs", "text letters.xml " + QString::fromUtf8("\U0001D11E").repeated(200), 0, "[1, 1]");
        add("scroll on the ring, a new sequence", "text realring.xml AB --scroll", 48, "[56]");
    }

    void text()
    {
        auto [line, frame, frames] = fetchColumns<QString, int, QString>("line", "frame", "frames");
        const QStringList arguments = paths(line + " -o out.xml");
        const CliRun run(arguments);
        QVERIFY2(run.status == 0, run.err);
        const QString script = R"(import sys, xml.etree.ElementTree as ET
sequences = ET.parse(sys.argv[1]).getroot().findall('CommandList')
frame = sequences[-1].findall('LedState')[int(sys.argv[2])]
lit = sorted(int(d.get('index')) for d in frame.findall('LedData') if int(d.find('intensity').text) != 0)
print([len(s.findall('LedState')) for s in sequences], ' '.join(str(led) for led in lit)))";
        LedPanelModel show;
        QVERIFY(readShow(show, fileContents(arguments[1])));
        const QVector<int> still = TextFrames(show.panelLayout(), arguments[2]).still();
        for (int led = 0; led < still.size(); ++led)
            frames += still.at(led) != 0 ? ' ' + QString::number(led) : QString();
        QCOMPARE(QString(PythonRunner::run(script, { file("out.xml"), QString::number(frame) })).trimmed(), frames);
    }

    void newShow_data()
    {
        // Expected: type rows columns spacings, body, then LEDs of each frame, lit LEDs, order and serpentine.
        const auto add = dataColumns<QString, QString>("options", "expected");
        add("grid wired along serpentine columns", "--grid 8x32 --order columns --serpentine --spacing 5 --frames 3",
            "Rectangle 8 32 5 5 rect -5 -5 165 45 [256, 256, 256] 0 Columns 1");
        add("single ring of 12", "--ring 1x12", "Ring 1 12 5 30 ring 40 55 [12] 0 - -");
        add("ring 4 x 48, spacing 2, two frames", "--ring 4x48 --spacing 2 --frames 2",
            "Ring 4 48 2 7.5 ring 16 28 [192, 192] 0 - -");
    }

    void newShow()
    {
        const auto [options, expected] = fetchColumns<QString, QString>("options", "expected");
        const CliRun run(paths("new " + options + " -o new.xml"));
        QVERIFY2(run.status == 0, run.err);
        const QString script = R"(import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
layout = root.find('Layout')
v = lambda name: '%g' % float(layout.find(name).text)
t = lambda name: getattr(layout.find(name), 'text', '-')
body = ['rect'] + [v('Rectangle_' + c) for c in 'XYWH'] if layout.get('type') == 'Rectangle' \
    else ['ring', v('InnerDiameter'), v('OuterDiameter')]
[frames] = [s.findall('LedState') for s in root.findall('CommandList')]  # the one sequence
lit = sum(1 for f in frames for d in f.findall('LedData') if int(d.find('intensity').text) != 0)
print(layout.get('type'), t('Rows'), t('Columns'), v('RowSpacing'), v('ColumnSpacing'), ' '.join(body),
      [len(f.findall('LedData')) for f in frames], lit, t('Order'), t('Serpentine')))";
        QCOMPARE(QString(PythonRunner::run(script, { file("new.xml") })).trimmed(), expected);
    }

    // The test program for the 2 × 8 grid read back by the simulated panel, and its steps as --print lists them.
    void wiring()
    {
        const QStringList lit { "0", "1", "8", "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", "2" }; // per sequence
        const CliRun printed({ "wiring", file("grid.xml"), "--print" });
        QCOMPARE(printed.status, 0);
        QVERIFY2(printed.out.contains("Sequence 3: LED 8 alone, drawn at row "), printed.out);
        QCOMPARE(printed.out.count("\nSequence "), lit.size());

        PanelSimulator sim;
        QVERIFY(sim.start({ "--rows", "2", "--columns", "8" }));
        const CliRun run({ "wiring", file("grid.xml") }, sim.devicePath());
        QCOMPARE(run.status, 0);
        QVERIFY(sim.waitForLine("IMAGE"));
        QStringList expected;
        for (int s = 0; s < lit.size(); ++s)
            expected << QString("SEQUENCE %1 FRAME 0 LEDS %2").arg(s).arg(lit.at(s))
                     << QString("SEQUENCE %1 END FRAMES 1").arg(s);
        QCOMPARE(sim.lines().filter(QRegularExpression("^SEQUENCE ")), expected);
        // Started from its first step, as the editor's check starts it.
        QVERIFY(sim.waitForLine("RESET"));
        QVERIFY(sim.lines().indexOf("RESET") > sim.lines().indexOf(QRegularExpression("^IMAGE")));
        QVERIFY2(run.err.contains("Reset sent"), run.err);
    }

    void interrupt_data()
    {
        // running: the simulator's line after which Ctrl+C comes.
        const auto add = dataColumns<QString, QString, QString, QString>("line", "simulator", "running", "stopped");
        add("write", "write long.xml", "", "BLOCK 2", "Interrupted: stopped after [3-5] of 47 blocks; .* is closed");
        add("flash", "flash firmware.txt", "--slow-ms 100", "PACKET 4 ",
            "Stopped after [2-5] of 59 packets\n.*Close serial port .*Interrupted: 1 of 1 boards not flashed");
    }

    // Ctrl+C stops at the next block or packet, closes the port and says where it stopped.
    void interrupt()
    {
        const auto [line, simulator, running, stopped] =
            fetchColumns<QString, QString, QString, QString>("line", "simulator", "running", "stopped");
        PanelSimulator sim;
        QVERIFY(sim.start(simulator.split(' ', Qt::SkipEmptyParts)));
        const CliRun run(paths(line), sim.devicePath(), [&](QProcess& process) {
            QVERIFY(sim.waitForLine(running));
            ::kill(pid_t(process.processId()), SIGINT);
        });
        QCOMPARE(run.status, 130);
        QVERIFY2(QRegularExpression(stopped, QRegularExpression::DotMatchesEverythingOption).match(run.err).hasMatch(),
                 run.err);
    }

    // On a terminal the progress is one line that updates in place.
    void terminalProgress()
    {
        PanelSimulator sim;
        QVERIFY(sim.start());
        const QString command = cliProgram + " write " + file("ring.xml") + " -p " + sim.devicePath();
        const QString out = runProgram("script", { "-qec", command, "/dev/null" });
        QVERIFY2(QRegularExpression("\r0% 0/3 blocks 0\\.\\d s\x1b\\[K.*"
                                    "\r100% 3/3 blocks \\d\\.\\d s\x1b\\[K\r\x1b\\[KWrote 3",
                                    QRegularExpression::DotMatchesEverythingOption).match(out).hasMatch(),
                 qPrintable(out.toUtf8().toPercentEncoding(" /:%")));
    }

    // Each writer of the tool, cut short by a file-size limit at several places, the last of which
    // only the final flush meets: it must fail with the system's reason and leave the earlier file.
    void failedWrite_data()
    {
        QTest::addColumn<QStringList>("arguments"); // the output file follows them
        QTest::addColumn<QString>("output");
        QTest::newRow("new") << QStringList { "new", "--grid", "32x32", "--frames", "3", "-o" } << "show.xml";
        QTest::newRow("text") << QStringList { "text", "long.xml", "Hi", "--scroll", "-o" } << "show.xml";
        QTest::newRow("compile") << QStringList { "compile", "wide.xml", "-o" } << "image.bin";
        QTest::newRow("compile, C source") << QStringList { "compile", "wide.xml", "--format", "c", "-o" } << "image.c";
        QTest::newRow("render, GIF") << QStringList { "render", "long.xml", "-o" } << "show.gif";
        QTest::newRow("render, PNG") << QStringList { "render", "long.xml", "--size", "2048", "-o" } << "frame.png";
    }

    void failedWrite()
    {
        const auto [arguments, output] = fetchColumns<QStringList, QString>("arguments", "output");
        QTemporaryDir dir;
        const QString whole = dir.filePath("whole-" + output), target = dir.filePath(output);
        QCOMPARE(CliRun(paths(arguments.join(' ')) << whole).status, 0);
        const QList<qint64> limits = FileSizeLimit::limitsFor(QFileInfo(whole).size());
        QVERIFY2(limits.size() == 3, qPrintable(QString::number(QFileInfo(whole).size())));

        const QByteArray before = QByteArray("an earlier file\n").repeated(1000);
        for (const qint64 limit : limits) {
            QVERIFY(writeFile(target, before));
            CliRun run;
            {
                const FileSizeLimit cut(limit);
                run = CliRun(paths(arguments.join(' ')) << target);
            }
            QVERIFY2(run.status == 4 && run.err.contains("Cannot write " + target.toUtf8() + ": File too large"),
                     qPrintable(QString("at %1 bytes: %2 %3").arg(limit).arg(run.status).arg(run.err.constData())));
            QCOMPARE(fileContents(target), before);
            // Nothing written aside is left behind.
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        }
    }

    // A device or a pipe is written as it is, never replaced by a file; other things that are no files are refused.
    void specialOutput_data()
    {
        QTest::addColumn<QString>("output"); // "fifo": a pipe made in the test's folder
        QTest::addColumn<int>("status");
        QTest::newRow("/dev/null") << "/dev/null" << 0;
        QTest::newRow("pipe") << "fifo" << 0;
        QTest::newRow("folder") << "." << 4;
    }

    void specialOutput()
    {
        auto [output, status] = fetchColumns<QString, int>("output", "status");
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()), 0755) == 0);
        const bool pipe = output == QLatin1String("fifo");
        if (pipe || output == QLatin1String("."))
            output = dir.filePath(output);
        struct stat before;
        QVERIFY(!pipe || ::mkfifo(QFile::encodeName(output), 0666) == 0);
        QVERIFY(::stat(QFile::encodeName(output), &before) == 0);

        QProcess reader;
        if (pipe)
            reader.start("cat", { output });
        // Any user may write to /dev/null: root, who could replace it, runs the tool as nobody there.
        QProcess tool;
        const QString show = dir.filePath("show.xml");
        QVERIFY(QFile::copy(file("long.xml"), show));
        const QStringList arguments { "compile", show, "-o", output };
        if (::geteuid() == 0 && output == QLatin1String("/dev/null"))
            tool.start("setpriv", QStringList { "--reuid=65534", "--regid=65534", "--clear-groups", cliProgram }
                                      + arguments);
        else
            tool.start(cliProgram, arguments);
        QVERIFY(tool.waitForFinished(30000));
        const QByteArray err = tool.readAllStandardError();
        QVERIFY2(tool.exitCode() == status, err);
        if (pipe) {
            QVERIFY(reader.waitForFinished(30000));
            QCOMPARE(reader.readAllStandardOutput(), editorImage(file("long.xml")));
        }
        if (status != 0)
            QVERIFY2(err.contains("Is a directory"), err);
        struct stat after;
        QVERIFY(::stat(QFile::encodeName(output), &after) == 0);
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(after.st_ino, before.st_ino);
    }

private:
    QString file(const QString& name) const { return m_Dir.filePath(name); }
    QStringList paths(const QString& line) const { return CliRun::arguments(line, m_Dir.path()); }
    QTemporaryDir m_Dir;
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_Cli.moc"
