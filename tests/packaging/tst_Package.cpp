#include "common/DataColumns.h"
#include "common/TestData.h"

#include <QtTest>

class tst_Package : public QObject
{
    Q_OBJECT

private slots:
    void debianPackage()
    {
        if (QStandardPaths::findExecutable("dpkg-deb").isEmpty())
            QSKIP("dpkg-deb is missing");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        runProgram("cpack", { "-G", "DEB", "--config", TESSALOOM_BINARY_DIR "/CPackConfig.cmake", "-B", dir.path() },
                   300000);
        const QString architecture = QString(runProgram("dpkg", { "--print-architecture" })).trimmed();
        const QString deb = dir.filePath("tessaloom_1.0_" + architecture + ".deb");
        QVERIFY2(QFile::exists(deb), qPrintable(QDir(dir.path()).entryList().join(' ')));

        QStringList files;
        for (const QString& line : QString(runProgram("dpkg-deb", { "-c", deb })).split('\n', Qt::SkipEmptyParts))
            files << line.section(' ', -1);
        QStringList expected { "./usr/bin/Tessaloom", "./usr/bin/tessaloom-cli",
                               "./usr/share/applications/tessaloom.desktop", "./usr/share/doc/tessaloom/README.md",
                               "./usr/share/mime/packages/tessaloom.xml", "./usr/share/doc/tessaloom/copyright",
                               "./usr/share/doc/tessaloom/changelog.gz", "./usr/share/man/man1/Tessaloom.1.gz",
                               "./usr/share/man/man1/tessaloom-cli.1.gz" };
        for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
            expected << QString("./usr/share/icons/hicolor/%1x%1/apps/tessaloom.png").arg(size);
        // The installed README shows its pictures too.
        const QRegularExpression link("\\]\\((doc/[^)]+)\\)");
        for (auto match = link.globalMatch(fileContents(TESTS_SOURCE_DIR "/../README.md")); match.hasNext();)
            expected << "./usr/share/doc/tessaloom/" + match.next().captured(1);
        for (const QString& file : expected)
            QVERIFY2(files.contains(file), qPrintable(file + " missing from " + files.join(' ')));

        const QString depends = runProgram("dpkg-deb", { "-f", deb, "Depends" });
        for (const char* package : { "libqt5core5a", "libqt5gui5", "libqt5widgets5", "libqt5serialport5" })
            QVERIFY2(depends.contains(package), qPrintable(depends));
        for (const QString& line : QString(runProgram("dpkg-deb", { "-f", deb, "Description" })).split('\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    void showsAreRecognised_data()
    {
        const auto add = dataColumns<QString, QByteArray, QString>("name", "content", "type");
        const QString show = "application/x-tessaloom-show+xml";
        add("show", "file.xml", showXml(layoutXml(2, 2)), show);
        add("show without ending", "file", showXml(layoutXml(2, 2)), show);
        add("other xml", "file.xml", QByteArray("<?xml version=\"1.0\"?>\n<svg/>\n"), "application/xml");
    }

    // Installed into a scratch prefix, which the installation itself makes known to the desktop.
    void showsAreRecognised()
    {
        const auto [name, content, type] = fetchColumns<QString, QByteArray, QString>("name", "content", "type");
        if (QStandardPaths::findExecutable("xdg-mime").isEmpty()
            || QStandardPaths::findExecutable("update-mime-database").isEmpty())
            QSKIP("xdg-mime or update-mime-database is missing");
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        runProgram("cmake", { "--install", TESSALOOM_BINARY_DIR, "--prefix", prefix.path() }, 120000);
        const QByteArray entry = fileContents(prefix.filePath("share/applications/tessaloom.desktop"));
        QVERIFY(entry.contains("Exec=Tessaloom %f\n") && entry.contains("MimeType=application/x-tessaloom-show+xml;"));

        QVERIFY(writeFile(prefix.filePath(name), content));
        qputenv("XDG_DATA_HOME", prefix.filePath("share").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", "/usr/share");
        QCOMPARE(QString(runProgram("xdg-mime", { "query", "filetype", prefix.filePath(name) })).trimmed(), type);
    }
};

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_Package.moc"
