#include "MainWindow/MainSettings.h"

#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QtTest>

class tst_MainSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void withoutSettingsObject();
    void firstRunDefaults();
    void serialPortNameReachesFile();
    void create_data();
    void create();
    void restoreWindowSize_data();
    void restoreWindowSize();
    void saveAndRestoreRoundTrip();
    void convertPathToGlobal_data();
    void convertPathToGlobal();
    void convertPathToLocal_data();
    void convertPathToLocal();

private:
    QString iniPath() const;
};

QString tst_MainSettings::iniPath() const
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini");
}

void tst_MainSettings::initTestCase()
{
    QFile::remove(iniPath());
}

void tst_MainSettings::cleanupTestCase()
{
    QFile::remove(iniPath());
}

void tst_MainSettings::withoutSettingsObject()
{
    // Runs before any read(): nothing may crash, reads give the defaults.
    QVERIFY(MainSettings::settings() == nullptr);
    MainSettings::setValue(QStringLiteral("a/b"), 5);
    MainSettings::satSerialPortName(QStringLiteral("COM9"));
    MainSettings::write();
    QCOMPARE(MainSettings::value(QStringLiteral("a/b"), 7).toInt(), 7);
    QCOMPARE(MainSettings::getSerialPortName(), QStringLiteral("COM1"));
    QVERIFY(!QFile::exists(iniPath()));
}

void tst_MainSettings::firstRunDefaults()
{
    MainSettings::read();
    QVERIFY(MainSettings::settings());
    QCOMPARE(MainSettings::settings()->fileName(), iniPath());
    QCOMPARE(MainSettings::settings()->format(), QSettings::IniFormat);
    QCOMPARE(MainSettings::getSerialPortName(), QStringLiteral("COM1"));
}

void tst_MainSettings::serialPortNameReachesFile()
{
    MainSettings::read();
    MainSettings::satSerialPortName(QStringLiteral("/dev/ttyUSB3"));
    MainSettings::write();

    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.contains(QStringLiteral("[SerialPort]\nName=/dev/ttyUSB3")), qPrintable(text));

    // A later run reads it back.
    MainSettings::read();
    QCOMPARE(MainSettings::getSerialPortName(), QStringLiteral("/dev/ttyUSB3"));
}

void tst_MainSettings::create_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QString>("expected");

    QTest::newRow("absent") << false << false << QStringLiteral("default");
    QTest::newRow("present kept") << true << false << QStringLiteral("stored");
    QTest::newRow("present forced") << true << true << QStringLiteral("default");
}

void tst_MainSettings::create()
{
    QFETCH(bool, stored);
    QFETCH(bool, force);
    QFETCH(QString, expected);

    MainSettings::read();
    const QString key = QStringLiteral("Test/Create");
    MainSettings::settings()->remove(key);
    if (stored)
        MainSettings::setValue(key, QStringLiteral("stored"));
    MainSettings().create(key, QStringLiteral("default"), force);
    QCOMPARE(MainSettings::value(key, QVariant()).toString(), expected);
    MainSettings::settings()->remove(key);
}

void tst_MainSettings::restoreWindowSize_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("expected");

    // Against a screen area of 0,0 800×600: right edge 799, bottom edge 599.
    QTest::newRow("inside") << true << QRect(10, 20, 300, 200) << QRect(10, 20, 300, 200);
    QTest::newRow("beyond right") << true << QRect(600, 20, 300, 200) << QRect(499, 20, 300, 200);
    QTest::newRow("below bottom") << true << QRect(10, 500, 300, 200) << QRect(10, 399, 300, 200);
    QTest::newRow("beyond corner") << true << QRect(700, 550, 300, 200) << QRect(499, 399, 300, 200);
    QTest::newRow("left of area") << true << QRect(-50, 20, 300, 200) << QRect(0, 20, 250, 200);
    QTest::newRow("above area") << true << QRect(10, -30, 300, 200) << QRect(10, 0, 300, 170);
    QTest::newRow("wider than area") << true << QRect(100, 20, 1000, 200) << QRect(0, 20, 799, 200);
    QTest::newRow("taller than area") << true << QRect(10, 100, 300, 900) << QRect(10, 0, 300, 599);
    QTest::newRow("first run") << false << QRect() << QRect(0, 0, 799, 599);
}

void tst_MainSettings::restoreWindowSize()
{
    QFETCH(bool, stored);
    QFETCH(QRect, window);
    QFETCH(QRect, expected);

    QRect area;
    for (const QScreen* screen : QGuiApplication::screens())
        area = area.united(screen->geometry());
    if (area != QRect(0, 0, 800, 600))
        QSKIP("the table assumes the offscreen platform's single 800×600 screen");

    MainSettings::read();
    MainSettings::settings()->remove(QStringLiteral("MainWindow"));
    if (stored) {
        MainSettings::setValue(QStringLiteral("MainWindow/Position"), window.topLeft());
        MainSettings::setValue(QStringLiteral("MainWindow/Size"), window.size());
    }

    QMainWindow mainWindow;
    MainSettings::restoreWindowSize(&mainWindow, QRect(300, 200, 800, 600));
    QCOMPARE(mainWindow.pos(), expected.topLeft());
    QCOMPARE(mainWindow.size(), expected.size());
    MainSettings::settings()->remove(QStringLiteral("MainWindow"));
}

void tst_MainSettings::saveAndRestoreRoundTrip()
{
    MainSettings::read();
    {
        QMainWindow mainWindow;
        mainWindow.move(40, 50);
        mainWindow.resize(320, 240);
        MainSettings::saveWindowSize(&mainWindow);
        MainSettings::write();
    }
    MainSettings::read();
    QCOMPARE(MainSettings::value(QStringLiteral("MainWindow/Position"), QPoint()).toPoint(), QPoint(40, 50));
    QCOMPARE(MainSettings::value(QStringLiteral("MainWindow/Size"), QSize()).toSize(), QSize(320, 240));

    QMainWindow restored;
    MainSettings::restoreWindowSize(&restored, QRect(300, 200, 800, 600));
    QCOMPARE(restored.pos(), QPoint(40, 50));
    QCOMPARE(restored.size(), QSize(320, 240));
}

void tst_MainSettings::convertPathToGlobal_data()
{
    const QString dir = QCoreApplication::applicationDirPath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("dot slash") << QStringLiteral("./fw/app.txt") << dir + QStringLiteral("/fw/app.txt");
    QTest::newRow("absolute") << QStringLiteral("/tmp/app.txt") << QStringLiteral("/tmp/app.txt");
    QTest::newRow("relative") << QStringLiteral("fw/app.txt") << QStringLiteral("fw/app.txt");
    QTest::newRow("dot backslash") << QStringLiteral(".\\fw\\app.txt") << QStringLiteral(".\\fw\\app.txt");
    QTest::newRow("dot dot") << QStringLiteral("../app.txt") << QStringLiteral("../app.txt");
}

void tst_MainSettings::convertPathToGlobal()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(MainSettings::convertPathToGlobal(path), expected);
}

void tst_MainSettings::convertPathToLocal_data()
{
    const QString dir = QCoreApplication::applicationDirPath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inside") << dir + QStringLiteral("/fw/app.txt") << QStringLiteral("./fw/app.txt");
    QTest::newRow("outside") << QStringLiteral("/tmp/app.txt") << QStringLiteral("/tmp/app.txt");
    QTest::newRow("sibling sharing the prefix") << dir + QStringLiteral("2/app.txt") << dir + QStringLiteral("2/app.txt");
    QTest::newRow("other case") << dir.toUpper() + QStringLiteral("/app.txt") << dir.toUpper() + QStringLiteral("/app.txt");
}

void tst_MainSettings::convertPathToLocal()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    const QString local = MainSettings::convertPathToLocal(path);
    QCOMPARE(local, expected);
    if (local != path)
        QCOMPARE(MainSettings::convertPathToGlobal(local), path);
}

QTEST_MAIN(tst_MainSettings)
#include "tst_MainSettings.moc"
