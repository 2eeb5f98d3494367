#include "common/TestData.h"

#include <QtTest>

// Builds the Debian package from this build and looks into it.
class tst_Package : public QObject
{
    Q_OBJECT

private slots:
    void debianPackage();
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
                           "./usr/share/applications/tessaloom.desktop", "./usr/share/doc/tessaloom/README.md" };
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        expected << QString("./usr/share/icons/hicolor/%1x%1/apps/tessaloom.png").arg(size);
    for (const QString& file : expected)
        QVERIFY2(files.contains(file), qPrintable(file + " missing from " + files.join(' ')));

    const QString depends = runProgram("dpkg-deb", { "-f", deb, "Depends" });
    for (const char* package : { "libqt5core5a", "libqt5gui5", "libqt5widgets5", "libqt5serialport5" })
        QVERIFY2(depends.contains(package), qPrintable(depends));
}

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_Package.moc"
