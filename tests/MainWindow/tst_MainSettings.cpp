#include "MainWindow/AutosaveController.h"
#include "MainWindow/MainSettings.h"
#include "MainWindow/MainWindow.h"
#include "common/DataColumns.h"
#include "common/FileSizeLimit.h"
#include "common/ModalAnswer.h"
#include "common/TestData.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

// As the child of fileLocation: reads the settings as the editor does, stores a port and says where.
static int settingsProbe(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    MainSettings::read();
    MainSettings::satSerialPortName(QStringLiteral("COM7"));
    std::printf("%s\n", qPrintable(MainSettings::fileName()));
    QString error;
    if (MainSettings::write(&error))
        return 0;
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
}

class tst_MainSettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { QFile::remove(settingsFile()); }

    void restoreWindowSize_data()
    {
        const auto add = dataColumns<QPoint, QSize, QRect>("position", "size", "expected"); // size invalid: none stored
        // Against the offscreen platform's one 800×600 screen: right edge 799, bottom edge 599.
        add("beyond right and bottom", { 600, 500 }, { 300, 200 }, { 499, 399, 300, 200 });
        add("left of and above", { -50, -30 }, { 300, 200 }, { 0, 0, 250, 170 });
        add("first run: 800×600 moved, then cut", {}, {}, { 0, 0, 799, 599 });
        // As a damaged file may hold them: no sum may overflow, and a window has a size.
        add("far past the screens", { 2147483000, 5 }, { 2147483647, 2147483647 }, { 0, 0, 799, 599 });
        add("no size", { 10, 10 }, { -500, 0 }, { 0, 0, 799, 599 });
    }

    void restoreWindowSize()
    {
        const auto [position, size, expected] = fetchColumns<QPoint, QSize, QRect>("position", "size", "expected");
        QCOMPARE(QGuiApplication::primaryScreen()->virtualGeometry(), QRect(0, 0, 800, 600));

        MainSettings::read();
        MainSettings::remove(QStringLiteral("MainWindow/Position"));
        MainSettings::remove(QStringLiteral("MainWindow/Size"));
        if (size != QSize()) {
            MainSettings::setValue(QStringLiteral("MainWindow/Position"), position);
            MainSettings::setValue(QStringLiteral("MainWindow/Size"), size);
        }
        MainSettings::write();
        MainSettings::read(); // from the file, as at the next start
        QMainWindow restored;
        MainSettings::restoreWindowSize(&restored, QRect(300, 200, 800, 600));
        QCOMPARE(QRect(restored.pos(), restored.size()), expected);
    }

    void convertPath_data()
    {
        const QString dir = QCoreApplication::applicationDirPath();
        const auto add = dataColumns<QString, QString, QString>("path", "global", "local");
        add("dot slash", "./fw/app.txt", dir + "/fw/app.txt", "./fw/app.txt");
        add("inside", dir + "/fw/app.txt", dir + "/fw/app.txt", "./fw/app.txt");
        add("sibling sharing the prefix", dir + "2/app.txt", dir + "2/app.txt", dir + "2/app.txt");
    }

    void convertPath()
    {
        const auto [path, global, local] = fetchColumns<QString, QString, QString>("path", "global", "local");
        QCOMPARE(MainSettings::convertPathToGlobal(path), global);
        QCOMPARE(MainSettings::convertPathToLocal(path), local);
    }

    void fileLocation_data()
    {
        // Cache: where a CMakeCache.txt lies, if anywhere; pipe: app.ini beside the program is one.
        const auto add = dataColumns<QString, bool>("cache", "pipe");
        add("build folder", "bin/CMakeCache.txt", false);
        add("folder in a build folder", "CMakeCache.txt", false);
        add("installed, writable folder", "", false);
        add("cache too far up", "../CMakeCache.txt", false);
        // Neither read nor written while nobody reads it: the program must not wait for ever.
        add("pipe", "CMakeCache.txt", true);
    }

    // A copy of this program stores a setting from a folder of its own: beside it in a build, else in the
    // user's configuration folder, even where the program's folder is writable (as /usr/bin for root).
    void fileLocation()
    {
        const auto [cache, pipe] = fetchColumns<QString, bool>("cache", "pipe");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.filePath("build"), program = root + "/bin/probe", config = dir.filePath("config");
        QVERIFY(QDir().mkpath(root + "/bin") && QDir().mkpath(config));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QVERIFY(cache.isEmpty() || QFile(root + '/' + cache).open(QIODevice::WriteOnly));
        QVERIFY(!pipe || ::mkfifo(QFile::encodeName(root + "/bin/app.ini"), 0600) == 0);

        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config);
        probe.setProcessEnvironment(env);
        probe.start(program, { "--settings-probe" });
        QVERIFY(probe.waitForFinished(30000));
        if (pipe) {
            QCOMPARE(probe.exitCode(), 1);
            QCOMPARE(probe.readAllStandardError().trimmed(), "Nothing reads from this pipe");
            return;
        }
        QVERIFY2(probe.exitCode() == 0, probe.readAllStandardError());

        const bool beside = cache == "bin/CMakeCache.txt" || cache == "CMakeCache.txt";
        const QString expected = beside ? root + "/bin/app.ini" : config + "/Quillbrook/Tessaloom/app.ini";
        QCOMPARE(QString(probe.readAllStandardOutput()).trimmed(), expected);
        QSettings stored(expected, QSettings::IniFormat);
        QCOMPARE(stored.value("SerialPort/Name").toString(), QString("COM7"));
        QCOMPARE(QFile::exists(root + "/bin/app.ini"), beside);
    }

    // Leaving the program writes the settings; cut short there, the earlier app.ini stays and a warning names it.
    void failedWriteAtClose_data()
    {
        QTest::addColumn<int>("cut"); // which of FileSizeLimit::limitsFor()
        QTest::newRow("in the first block") << 0;
        QTest::newRow("in the last block") << 1;
    }

    void failedWriteAtClose()
    {
        QFETCH(int, cut);
        const QString fileName = MainSettings::fileName();
        MainSettings::read();
        MainSettings::setValue(QStringLiteral("Test/Note"), QStringLiteral("from before"));
        QVERIFY(MainSettings::write());
        const QByteArray before = fileContents(fileName);
        QVERIFY(!before.isEmpty());

        MainWindow window;
        // As long as before, so that the limit cuts the file where the row says, but not the same.
        MainSettings::setValue(QStringLiteral("Test/Note"), QStringLiteral("from after!"));
        QString text;
        ModalAnswer::messageBox(QMessageBox::Ok, &text);
        {
            const FileSizeLimit limit(FileSizeLimit::limitsFor(before.size()).value(cut));
            QVERIFY(window.close());
        }
        QVERIFY(ModalAnswer::allAnswered());
        QVERIFY2(text.contains(QDir::toNativeSeparators(fileName)) && text.contains("File too large"),
                 qPrintable(text));
        QCOMPARE(fileContents(fileName), before);
    }

    // Another copy of the program wrote since this one read: what this one did not change stays as that one left it.
    void otherCopy()
    {
        QSettings(MainSettings::fileName(), QSettings::IniFormat).remove(QStringLiteral("Test"));
        MainSettings::read();
        MainSettings::setValue(QStringLiteral("Test/Mine"), 1);
        MainSettings::setValue(QStringLiteral("Test/Gone"), 1);
        QVERIFY(MainSettings::write());
        QSettings(MainSettings::fileName(), QSettings::IniFormat).setValue(QStringLiteral("Test/Theirs"), 3);
        MainSettings::setValue(QStringLiteral("Test/Mine"), 2);
        MainSettings::remove(QStringLiteral("Test/Gone"));
        QVERIFY(MainSettings::write());
        const QSettings stored(MainSettings::fileName(), QSettings::IniFormat);
        QCOMPARE(stored.allKeys().filter("Test/").join(' '), "Test/Mine Test/Theirs");
        QCOMPARE(stored.value("Test/Mine").toInt() + stored.value("Test/Theirs").toInt(), 5);
    }

    // An interval too long for a timer, as a damaged app.ini may hold, still autosaves: once a day.
    void autosaveIntervalTooLong()
    {
        MainSettings::read();
        MainSettings::setValue(QStringLiteral("Document/AutosaveSeconds"), 2147484);
        QVERIFY(MainSettings::write());
        MainWindow window;
        window.newDocument();
        const QTimer* timer = window.autosave()->findChild<QTimer*>();
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 24 * 3600 * 1000);
    }
};

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
