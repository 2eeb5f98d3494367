#include "MainWindow/MainSettings.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>
#include <unistd.h>

class tst_MainSettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini")); }
    void restoreWindowSize_data();
    void restoreWindowSize();
    void convertPath_data();
    void convertPath();
    void fileLocation_data();
    void fileLocation();
};

void tst_MainSettings::restoreWindowSize_data()
{
    QTest::addColumn<QRect>("stored"); // null: nothing stored
    QTest::addColumn<QRect>("expected");

    // Against the offscreen platform's one 800×600 screen: right edge 799, bottom edge 599.
    QTest::newRow("beyond right and bottom") << QRect(600, 500, 300, 200) << QRect(499, 399, 300, 200);
    QTest::newRow("left of and above") << QRect(-50, -30, 300, 200) << QRect(0, 0, 250, 170);
    QTest::newRow("first run: 800×600 moved, then cut") << QRect() << QRect(0, 0, 799, 599);
}

void tst_MainSettings::restoreWindowSize()
{
    QFETCH(QRect, stored);
    QFETCH(QRect, expected);
    QCOMPARE(QGuiApplication::primaryScreen()->virtualGeometry(), QRect(0, 0, 800, 600));

    MainSettings::read();
    MainSettings::settings()->remove(QStringLiteral("MainWindow"));
    QMainWindow window;
    window.setGeometry(stored);
    if (!stored.isNull())
        MainSettings::saveWindowSize(&window);
    MainSettings::write();
    MainSettings::read(); // from the file, as at the next start
    QMainWindow restored;
    MainSettings::restoreWindowSize(&restored, QRect(300, 200, 800, 600));
    QCOMPARE(QRect(restored.pos(), restored.size()), expected);
}

void tst_MainSettings::convertPath_data()
{
    const QString dir = QCoreApplication::applicationDirPath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("global");
    QTest::addColumn<QString>("local");
    QTest::newRow("dot slash") << "./fw/app.txt" << dir + "/fw/app.txt" << "./fw/app.txt";
    QTest::newRow("inside") << dir + "/fw/app.txt" << dir + "/fw/app.txt" << "./fw/app.txt";
    QTest::newRow("sibling sharing the prefix") << dir + "2/app.txt" << dir + "2/app.txt" << dir + "2/app.txt";
}

void tst_MainSettings::convertPath()
{
    QFETCH(QString, path);
    QFETCH(QString, global);
    QFETCH(QString, local);
    QCOMPARE(MainSettings::convertPathToGlobal(path), global);
    QCOMPARE(MainSettings::convertPathToLocal(path), local);
}

void tst_MainSettings::fileLocation_data()
{
    QTest::addColumn<bool>("writable");
    QTest::newRow("beside the executable") << true;
    QTest::newRow("executable's folder read-only") << false;
}

// A copy of this program stores a setting from a folder of its own; where that folder is not
// writable for it (as /usr/bin), the file goes to the user's configuration folder instead.
void tst_MainSettings::fileLocation()
{
    QFETCH(bool, writable);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath("bin/probe"), config = dir.filePath("config");
    QVERIFY(QDir(dir.path()).mkpath("bin") && QDir(dir.path()).mkpath("config"));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
    const QByteArray bin = QFile::encodeName(dir.filePath("bin"));
    QVERIFY(::chmod(QFile::encodeName(dir.path()), 0755) == 0 && ::chmod(QFile::encodeName(config), 0777) == 0);
    QVERIFY(::chmod(bin, writable ? 0755 : 0555) == 0);
    const auto removable = qScopeGuard([&] { ::chmod(bin, 0755); });

    // Root may write anywhere: the read-only case runs as nobody, in a folder that root owns.
    QString command = program;
    QStringList arguments { "--settings-probe" };
    if (!writable && ::geteuid() == 0) {
        command = "setpriv";
        arguments = QStringList { "--reuid=65534", "--regid=65534", "--clear-groups", program } + arguments;
    }
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config);
    probe.setProcessEnvironment(env);
    probe.start(command, arguments);
    QVERIFY(probe.waitForFinished(30000));
    QVERIFY2(probe.exitCode() == 0, probe.readAllStandardError());

    const QString expected = writable ? dir.filePath("bin/app.ini") : config + "/Quillbrook/Tessaloom/app.ini";
    QCOMPARE(QString(probe.readAllStandardOutput()).trimmed(), expected);
    QSettings stored(expected, QSettings::IniFormat);
    QCOMPARE(stored.value("SerialPort/Name").toString(), QString("COM7"));
    QCOMPARE(QFile::exists(dir.filePath("bin/app.ini")), writable);
}

// As the child of fileLocation: reads the settings as the editor does, stores a port and says where.
static int settingsProbe(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    MainSettings::read();
    MainSettings::satSerialPortName(QStringLiteral("COM7"));
    MainSettings::write();
    std::printf("%s\n", qPrintable(MainSettings::settings()->fileName()));
    return MainSettings::settings()->status() == QSettings::NoError ? 0 : 1;
}

int main(int argc, char* argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--settings-probe") == 0)
        return settingsProbe(argc, argv);
    QApplication app(argc, argv);
    tst_MainSettings test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_MainSettings.moc"
