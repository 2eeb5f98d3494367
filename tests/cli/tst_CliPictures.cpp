#include "Data/LedPanelModel.h"
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "TestData.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The picture commands of tessaloom-cli, run as a user runs them.
class tst_CliPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void import_data();
    void import();
    void render_data();
    void render();
    void compileC();

private:
    QTemporaryDir m_Dir;
    QString path(const QString& name) const { return m_Dir.filePath(name); }
    bool write(const QString& name, const QByteArray& data) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
    }
};

static const QString cliProgram = QStringLiteral(TESSALOOM_CLI_PATH);

static int cli(const QStringList& arguments, QByteArray* err = nullptr)
{
    QProcess process;
    process.start(cliProgram, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (err)
        *err = process.readAllStandardError();
    return process.exitCode();
}

void tst_CliPictures::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    // Two sequences of 2 and 1 frames on a 2 × 4 grid.
    QVERIFY(write("show.xml", showXml(layoutXml(2, 4) + sequenceXml(0, 2, 8, [](int f, int i) { return i == f; })
                                      + sequenceXml(1, 1, 8, [](int, int i) { return i == 7; }))));
    QImage left(8, 4, QImage::Format_RGB32);
    left.fill(Qt::black);
    QPainter(&left).fillRect(0, 0, 4, 4, Qt::white);
    QVERIFY(left.save(path(QStringLiteral("left.png"))));
    QVERIFY(write("notes.png", "not a picture\n"));
    QBuffer jpeg;
    QVERIFY(jpeg.open(QIODevice::WriteOnly) && left.save(&jpeg, "JPEG", 100));
    // Without its end marker: every pixel is there, and the decoder says no more than a warning.
    QVERIFY(write("cut.jpg", jpeg.data().chopped(2)));
    QVERIFY(write("dots.gif", dotsGif(10000, 10000, 10000)));
}

void tst_CliPictures::import_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("sequences");
    QTest::addColumn<int>("sequence"); // 1-based, the one that grew
    QTest::addColumn<QString>("lastFrame");
    QTest::addColumn<QString>("said"); // on standard error

    const QString none;
    QTest::newRow("a new sequence at the end") << QStringList() << 0 << 3 << 3 << "11001100" << none;
    QTest::newRow("appended to sequence 1") << QStringList { "--sequence", "1" } << 0 << 2 << 1 << "11001100" << none;
    QTest::newRow("inverted") << QStringList { "--invert" } << 0 << 3 << 3 << "00110011" << none;
    QTest::newRow("no sequence 3") << QStringList { "--sequence", "3" } << 2 << 0 << 0 << "" << none;
    QTest::newRow("threshold out of range") << QStringList { "--threshold", "256" } << 2 << 0 << 0 << "" << none;
    QTest::newRow("unknown fit") << QStringList { "--fit", "crop" } << 2 << 0 << 0 << "" << none;
    QTest::newRow("not a picture") << QStringList { "@notes.png" } << 3 << 0 << 0 << "" << none;
    QTest::newRow("a JPEG cut off") << QStringList { "@cut.jpg" } << 0 << 3 << 3 << "11001100"
                                    << "cut.jpg is damaged: it breaks off at byte";
    QTest::newRow("10000 dots on 10000 x 10000") << QStringList { "@dots.gif" } << 3 << 0 << 0 << ""
                                                 << "more than the 25 megapixels";
}

void tst_CliPictures::import()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(int, sequences);
    QFETCH(int, sequence);
    QFETCH(QString, lastFrame);
    QFETCH(QString, said);

    QString picture = path(QStringLiteral("left.png"));
    QStringList extra;
    for (const QString& option : options) {
        if (option.startsWith(QLatin1Char('@')))
            picture = path(option.mid(1));
        else
            extra << option;
    }
    const QString out = path(QStringLiteral("out.xml"));
    QFile::remove(out);
    QStringList arguments { "import", picture, path(QStringLiteral("show.xml")) };
    if (!extra.contains(QStringLiteral("-o")))
        arguments << "-o" << out;
    QByteArray err;
    QCOMPARE(cli(arguments + extra, &err), status);
    QVERIFY2(err.contains(said.toUtf8()), err.constData());
    if (status != 0) {
        // A refused import writes nothing.
        QVERIFY(!QFile::exists(out));
        QVERIFY(!err.isEmpty());
        return;
    }
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    LedPanelModel show;
    QVERIFY(readShow(show, file.readAll()));
    QCOMPARE(show.sequenceCount(), sequences);
    const CommandList* grown = show.sequence(sequence - 1);
    QCOMPARE(grown->frameCount(), sequence == 1 ? 3 : 1);
    QString seen;
    for (int v : grown->frame(grown->frameCount() - 1)->intensities())
        seen += v ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(seen, lastFrame);
}

void tst_CliPictures::render_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("frames");

    // The grid's body covers its 2 × 4 LEDs with one spacing around them: 5 × 3 spacings.
    QTest::newRow("GIF of sequence 1") << QStringList { "-o", "@a.gif", "--size", "120" } << 0 << QSize(120, 72) << 2;
    QTest::newRow("PNG of frame 2") << QStringList { "-o", "@a.png", "--frame", "2" } << 0 << QSize(480, 288) << 1;
    QTest::newRow("no frame 2 in sequence 2")
        << QStringList { "-o", "@a.png", "--frame", "2", "--sequence", "2" } << 2 << QSize() << 0;
    QTest::newRow("fps 51") << QStringList { "-o", "@a.gif", "--fps", "51" } << 2 << QSize() << 0;
    QTest::newRow("a .jpg") << QStringList { "-o", "@a.jpg" } << 2 << QSize() << 0;
    QTest::newRow("unwritable") << QStringList { "-o", "/nonexistent/a.gif" } << 4 << QSize() << 0;
}

void tst_CliPictures::render()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QSize, size);
    QFETCH(int, frames);
    QString out;
    for (QString& option : options) {
        if (option.startsWith(QLatin1Char('@')))
            option = path(option.mid(1));
        if (option.contains(QLatin1Char('/')))
            out = option;
    }
    QFile::remove(out);
    QCOMPARE(cli(QStringList { "render", path(QStringLiteral("show.xml")) } + options), status);
    if (status != 0)
        return;
    QImageReader reader(out);
    QCOMPARE(reader.size(), size);
    QCOMPARE(qMax(1, reader.imageCount()), frames);
    const QImage frame = reader.read();
    QVERIFY(!frame.isNull());
}

void tst_CliPictures::compileC()
{
    const QString bin = path(QStringLiteral("image.bin"));
    const QString header = path(QStringLiteral("show.h"));
    QCOMPARE(cli({ "compile", path(QStringLiteral("show.xml")), "-o", bin }), 0);
    QCOMPARE(cli({ "compile", path(QStringLiteral("show.xml")), "--format", "c", "-o", header }), 0);
    QCOMPARE(cli({ "compile", path(QStringLiteral("show.xml")), "--format", "hex", "-o", header }), 2);

    const QString cc = QStandardPaths::findExecutable(QStringLiteral("cc"));
    if (cc.isEmpty())
        QSKIP("no C compiler");
    // Two files include it, and one writes the array out.
    QVERIFY(write("dump.c", "#include <stdio.h>\n#include \"show.h\"\nvoid other(void);\nint main(void) {\n"
                            "other(); fwrite(tessaloom_image, 1, tessaloom_image_size, stdout); return 0; }\n"));
    QVERIFY(write("other.c", "#include \"show.h\"\n"
                             "void other(void) { (void)tessaloom_image; (void)tessaloom_image_size; }\n"));
    QProcess compiler;
    compiler.setWorkingDirectory(m_Dir.path());
    compiler.start(cc, { "-Wall", "-Wextra", "-Werror", "-o", "dump", "dump.c", "other.c" });
    QVERIFY(compiler.waitForFinished(60000));
    QVERIFY2(compiler.exitCode() == 0, compiler.readAllStandardError().constData());
    QProcess run;
    run.start(path(QStringLiteral("dump")), QStringList());
    QVERIFY(run.waitForFinished(30000));
    QFile image(bin);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray expected = image.readAll();
    QVERIFY(!expected.isEmpty());
    QCOMPARE(run.readAllStandardOutput(), expected);
}

QTEST_MAIN(tst_CliPictures)
#include "tst_CliPictures.moc"
