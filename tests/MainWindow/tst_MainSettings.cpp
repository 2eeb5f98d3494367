#include "MainWindow/MainSettings.h"

#include <QtTest>
#include <QtWidgets>

class tst_MainSettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini")); }
    void restoreWindowSize_data();
    void restoreWindowSize();
    void convertPath_data();
    void convertPath();
};

void tst_MainSettings::restoreWindowSize_data()
{
    QTest::addColumn<QRect>("stored"); // null: nothing stored
    QTest::addColumn<QRect>("expected");

    // Against the offscreen platform's one 800×600 screen: right edge 799, bottom edge 599.
    QTest::newRow("beyond right and bottom") << QRect(600, 500, 300, 200) << QRect(499, 399, 300, 200);
    QTest::newRow("left of and above") << QRect(-50, -30, 300, 200) << QRect(0, 0, 250, 170);
    QTest::newRow("wider and taller") << QRect(100, 100, 1000, 900) << QRect(0, 0, 799, 599);
    QTest::newRow("first run") << QRect() << QRect(0, 0, 799, 599);
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

QTEST_MAIN(tst_MainSettings)
#include "tst_MainSettings.moc"
