#include "MainWindow/MainSettings.h"

#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QtTest>

class tst_MainSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QFile::remove(iniPath()); }
    void cleanupTestCase() { QFile::remove(iniPath()); }
    void withoutSettingsObject();
    void restoreWindowSize_data();
    void restoreWindowSize();
    void convertPath_data();
    void convertPath();

private:
    static QString iniPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini"); }
};

void tst_MainSettings::withoutSettingsObject()
{
    // Runs before any read(): writes are dropped, reads give the defaults.
    MainSettings::satSerialPortName(QStringLiteral("COM9"));
    MainSettings::write();
    QCOMPARE(MainSettings::getSerialPortName(), QStringLiteral("COM1"));
    QVERIFY(!QFile::exists(iniPath()));
}

void tst_MainSettings::restoreWindowSize_data()
{
    QTest::addColumn<QRect>("stored"); // null: nothing stored
    QTest::addColumn<QRect>("expected");

    // Against the offscreen screen 0,0 800×600: right edge 799, bottom edge 599.
    QTest::newRow("beyond right") << QRect(600, 20, 300, 200) << QRect(499, 20, 300, 200);
    QTest::newRow("below bottom") << QRect(10, 500, 300, 200) << QRect(10, 399, 300, 200);
    QTest::newRow("left of area") << QRect(-50, 20, 300, 200) << QRect(0, 20, 250, 200);
    QTest::newRow("above area") << QRect(10, -30, 300, 200) << QRect(10, 0, 300, 170);
    QTest::newRow("wider than area") << QRect(100, 20, 1000, 200) << QRect(0, 20, 799, 200);
    QTest::newRow("taller than area") << QRect(10, 100, 300, 900) << QRect(10, 0, 300, 599);
    QTest::newRow("first run") << QRect() << QRect(0, 0, 799, 599);
}

void tst_MainSettings::restoreWindowSize()
{
    QFETCH(QRect, stored);
    QFETCH(QRect, expected);
    QRect area;
    for (const QScreen* screen : QGuiApplication::screens())
        area = area.united(screen->geometry());
    if (area != QRect(0, 0, 800, 600))
        QSKIP("the table assumes the offscreen platform's single 800×600 screen");

    MainSettings::read();
    MainSettings::settings()->remove(QStringLiteral("MainWindow"));
    if (!stored.isNull()) {
        QMainWindow window;
        window.move(stored.topLeft());
        window.resize(stored.size());
        MainSettings::saveWindowSize(&window);
    }
    QMainWindow mainWindow;
    MainSettings::restoreWindowSize(&mainWindow, QRect(300, 200, 800, 600));
    QCOMPARE(QRect(mainWindow.pos(), mainWindow.size()), expected);
}

void tst_MainSettings::convertPath_data()
{
    const QString dir = QCoreApplication::applicationDirPath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("global");
    QTest::addColumn<QString>("local");

    QTest::newRow("dot slash") << "./fw/app.txt" << dir + "/fw/app.txt" << "./fw/app.txt";
    QTest::newRow("inside") << dir + "/fw/app.txt" << dir + "/fw/app.txt" << "./fw/app.txt";
    QTest::newRow("absolute outside") << "/tmp/app.txt" << "/tmp/app.txt" << "/tmp/app.txt";
    QTest::newRow("dot backslash") << ".\\fw\\app.txt" << ".\\fw\\app.txt" << ".\\fw\\app.txt";
    QTest::newRow("sibling sharing the prefix") << dir + "2/app.txt" << dir + "2/app.txt" << dir + "2/app.txt";
    QTest::newRow("other case") << dir.toUpper() + "/a.txt" << dir.toUpper() + "/a.txt" << dir.toUpper() + "/a.txt";
}

void tst_MainSettings::convertPath()
{
    QFETCH(QString, path);
    QFETCH(QString, global);
    QFETCH(QString, local);
    QCOMPARE(MainSettings::convertPathToGlobal(path), global);
    QCOMPARE(MainSettings::convertPathToLocal(path), local);
}

QTEST_MAIN(tst_MainSettings)
#include "tst_MainSettings.moc"
