#include "Data/LedPanelModel.h"
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Picture/GifWriter.h"
#include "CliRun.h"
#include "DataColumns.h"
#include "TestData.h"

#include <QImageReader>
#include <QPainter>
#include <QtTest>

class tst_CliPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_Dir.isValid());
        QVERIFY(writeFile(path("show.xml"), showXml(layoutXml(2, 4)
                                                    + sequenceXml(0, 2, 8, [](int f, int i) { return i == f; })
                                                    + sequenceXml(1, 1, 8, [](int, int i) { return i == 7; }))));
        QImage left(8, 4, QImage::Format_RGB32);
        left.fill(Qt::black);
        QPainter(&left).fillRect(0, 0, 4, 4, Qt::white);
        QVERIFY(left.save(path(QStringLiteral("left.png"))));
        QVERIFY(writeFile(path("notes.png"), "not a picture\n"));
        QBuffer jpeg;
        QVERIFY(jpeg.open(QIODevice::WriteOnly) && left.save(&jpeg, "JPEG", 100));
        // As a camera writes a picture taken upright: its pixels on their side, and EXIF orientation 6 to turn them.
        const QByteArray exif = QByteArray::fromHex("ffe10022457869660000" "49492a0008000000" "0100"
                                                    "120103000100000006000000" "00000000");
        QVERIFY(writeFile(path("turned.jpg"), jpeg.data().left(2) + exif + jpeg.data().mid(2)));
        // Without its end marker: every pixel is there, and the decoder says no more than a warning.
        QVERIFY(writeFile(path("cut.jpg"), jpeg.data().chopped(2)));
        // Without its trailer, as some encoders write them: its one frame is whole.
        QBuffer gif;
        GifWriter writer(&gif, left.size(), { qRgb(0, 0, 0), qRgb(255, 255, 255) });
        QVERIFY(gif.open(QIODevice::WriteOnly) && writer.begin() && writer.addFrame(left, 10) && writer.finish());
        QVERIFY(writeFile(path("left.gif"), gif.data()));
        QVERIFY(writeFile(path("untrailed.gif"), gif.data().chopped(1)));
    }

    void import_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("sequences");
        QTest::addColumn<int>("sequence"); // 1-based, the one that grew
        QTest::addColumn<QString>("lastFrame");
        QTest::addColumn<QString>("said"); // on standard error

        QTest::newRow("a new sequence at the end") << "left.png" << "" << 0 << 3 << 3 << "11001100" << "";
        QTest::newRow("appended to sequence 1") << "left.png" << "--sequence 1" << 0 << 2 << 1 << "11001100" << "";
        QTest::newRow("inverted") << "left.png" << "--invert" << 0 << 3 << 3 << "00110011" << "";
        QTest::newRow("no sequence 3") << "left.png" << "--sequence 3" << 2 << 0 << 0 << "" << "";
        QTest::newRow("unknown fit") << "left.png" << "--fit crop" << 2 << 0 << 0 << "" << "";
        QTest::newRow("not a picture") << "notes.png" << "" << 3 << 0 << 0 << "" << "";
        QTest::newRow("a JPEG to be turned") << "turned.jpg" << "--fit stretch" << 0 << 3 << 3 << "11110000" << "";
        QTest::newRow("a JPEG cut off") << "cut.jpg" << "" << 0 << 3 << 3 << "11001100"
                                        << "cut.jpg is damaged: it breaks off at byte";
        QTest::newRow("a GIF without its trailer") << "untrailed.gif" << "" << 0 << 3 << 3 << "11001100"
                                                   << "untrailed.gif breaks off at byte";
    }

    void import()
    {
        const auto [picture, options, status, sequences, sequence, lastFrame, said] =
            fetchColumns<QString, QString, int, int, int, QString, QString>(
                "picture", "options", "status", "sequences", "sequence", "lastFrame", "said");

        const QString out = path(QStringLiteral("out.xml"));
        QFile::remove(out);
        const CliRun run(paths("import " + picture + " show.xml -o out.xml " + options));
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(said.toUtf8()), run.err.constData());
        if (status != 0) {
            // A refused import writes nothing.
            QVERIFY(!QFile::exists(out));
            QVERIFY(!run.err.isEmpty());
            return;
        }
        LedPanelModel show;
        QVERIFY(readShow(show, fileContents(out)));
        QCOMPARE(show.sequenceCount(), sequences);
        const CommandList* grown = show.sequence(sequence - 1);
        QCOMPARE(grown->frameCount(), sequence == 1 ? 3 : 1);
        QString seen;
        for (int v : grown->frame(grown->frameCount() - 1)->intensities())
            seen += v ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(seen, lastFrame);
    }

    void render_data()
    {
        const auto add = dataColumns<QString, QSize, int>("options", "size", "frames");
        // The grid's body covers its 2 × 4 LEDs with one spacing around them: 5 × 3 spacings.
        add("GIF of sequence 1", "-o a.gif --size 120", QSize(120, 72), 2);
        add("PNG of frame 2", "-o a.png --frame 2", QSize(480, 288), 1);
    }

    void render()
    {
        const auto [options, size, frames] = fetchColumns<QString, QSize, int>("options", "size", "frames");
        const QStringList arguments = paths("render show.xml " + options);
        QCOMPARE(CliRun(arguments).status, 0);
        QImageReader reader(arguments.at(arguments.indexOf("-o") + 1));
        QCOMPARE(reader.size(), size);
        QCOMPARE(qMax(1, reader.imageCount()), frames);
        QVERIFY(!reader.read().isNull());
    }

    void compileC()
    {
        QCOMPARE(CliRun(paths("compile show.xml -o image.bin")).status, 0);
        QCOMPARE(CliRun(paths("compile show.xml --format c -o show.h")).status, 0);
        QCOMPARE(CliRun(paths("compile show.xml --format hex -o show.h")).status, 2);

        const QString cc = QStandardPaths::findExecutable(QStringLiteral("cc"));
        if (cc.isEmpty())
            QSKIP("no C compiler");
        // Two files include it, and one writes the array out.
        QVERIFY(writeFile(path("dump.c"),
                          "#include <stdio.h>\n#include \"show.h\"\nvoid other(void);\nint main(void) {\n"
                          "other(); fwrite(tessaloom_image, 1, tessaloom_image_size, stdout); "
                          "return 0; }\n"));
        QVERIFY(writeFile(path("other.c"),
                          "#include \"show.h\"\n"
                          "void other(void) { (void)tessaloom_image; (void)tessaloom_image_size; }\n"));
        runProgram(cc, { "-Wall", "-Wextra", "-Werror", "-o", path("dump"), path("dump.c"), path("other.c") }, 60000);
        const QByteArray expected = fileContents(path("image.bin"));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(runProgram(path("dump"), {}), expected);
    }

    void streams_data()
    {
        // The input is piped in; without one, standard output is a full disk. What is said goes to standard error.
        const auto add = dataColumns<QString, QString, int, QString>("line", "input", "status", "said");
        add("GIF piped in", "import /dev/stdin show.xml -o piped.xml", "left.gif", 0, "Imported 1 frame");
        add("show piped through compile", "compile /dev/stdin -o /dev/stdout", "show.xml", 0, "");
        add("render, JSON, full", "render show.xml -o a.png --json", "", 4, "No space left on device");
    }

    // A piped picture is read once, as it comes; a full standard output fails the run as a full -o file does.
    void streams()
    {
        const auto [line, input, status, said] =
            fetchColumns<QString, QString, int, QString>("line", "input", "status", "said");
        const QByteArray piped = input.isEmpty() ? QByteArray() : fileContents(path(input));
        const CliRun run(paths(line), QString(), [&](QProcess& process) { process.write(piped); },
                         input.isEmpty() ? QStringLiteral("/dev/full") : QString());
        QCOMPARE(run.status, status);
        QVERIFY(run.err.contains(said.toUtf8()));
    }

private:
    QTemporaryDir m_Dir;
    QString path(const QString& name) const { return m_Dir.filePath(name); }
    QStringList paths(const QString& line) const { return CliRun::arguments(line, m_Dir.path()); }
};

QTEST_MAIN(tst_CliPictures)
#include "tst_CliPictures.moc"
