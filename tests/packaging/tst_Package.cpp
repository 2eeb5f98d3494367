#include "common/TestData.h"

#include <QtTest>

// Builds the Debian package from this build and looks into it.
class tst_Package : public QObject
{
    Q_OBJECT

private slots:
    void debianPackage();
    void showsAreRecognised_data();
    void showsAreRecognised();
};

void tst_Package::debianPackage()
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
                           "./usr/share/mime/packages/tessaloom.xml" };
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        expected << QString("./usr/share/icons/hicolor/%1x%1/apps/tessaloom.png").arg(size);
    for (const QString& file : expected)
        QVERIFY2(files.contains(file), qPrintable(file + " missing from " + files.join(' ')));

    const QString depends = runProgram("dpkg-deb", { "-f", deb, "Depends" });
    for (const char* package : { "libqt5core5a", "libqt5gui5", "libqt5widgets5", "libqt5serialport5" })
        QVERIFY2(depends.contains(package), qPrintable(depends));
}

void tst_Package::showsAreRecognised_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("type");
    QTest::newRow("show") << showXml(layoutXml(2, 2)) << "application/x-tessaloom-show+xml";
    QTest::newRow("other xml") << QByteArray("<?xml version=\"1.0\"?>\n<svg/>\n") << "application/xml";
}

// Installed into a scratch data folder, as a desktop would have it, and asked through xdg-mime.
void tst_Package::showsAreRecognised()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, type);
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty()
        || QStandardPaths::findExecutable("update-mime-database").isEmpty())
        QSKIP("xdg-mime or update-mime-database is missing");
    QTemporaryDir prefix, data;
    QVERIFY(prefix.isValid() && data.isValid());
    runProgram("cmake", { "--install", TESSALOOM_BINARY_DIR, "--prefix", prefix.path() }, 120000);
    const QString package = prefix.filePath("share/mime/packages/tessaloom.xml");
    QVERIFY(QFile::exists(package));
    const QByteArray entry = fileContents(prefix.filePath("share/applications/tessaloom.desktop"));
    QVERIFY(entry.contains("Exec=Tessaloom %f\n") && entry.contains("MimeType=application/x-tessaloom-show+xml;"));

    QVERIFY(QDir().mkpath(data.filePath("mime/packages")));
    QVERIFY(QFile::copy(package, data.filePath("mime/packages/tessaloom.xml")));
    runProgram("update-mime-database", { data.filePath("mime") });
    QVERIFY(writeFile(data.filePath("file.xml"), content));
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", "/usr/share");
    QCOMPARE(QString(runProgram("xdg-mime", { "query", "filetype", data.filePath("file.xml") })).trimmed(), type);
}

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_Package.moc"
