#include "MainWindow/MainSettings.h"

#include "Helper/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>

namespace {

// Empty until read(): nothing is kept then, and every value is its default.
bool sRead = false;
QVariantMap sValues;
// Keys set or removed since read(): only these go over what another copy of the program wrote meanwhile.
QSet<QString> sChanged;

const QString keyPosition = QStringLiteral("MainWindow/Position");
const QString keySize = QStringLiteral("MainWindow/Size");
const QString keySerialPortName = QStringLiteral("SerialPort/Name");
const QString keyFramesPerSecond = QStringLiteral("Playback/FramesPerSecond");

} // namespace

QString MainSettings::fileName()
{
    // A build keeps its own settings beside it; an installed program, even run as root, keeps them
    // with the user, so that nothing is left in /usr/bin when the package goes.
    const QDir folder(QCoreApplication::applicationDirPath());
    const QString cache = QStringLiteral("CMakeCache.txt");
    if (folder.exists(cache) || QFileInfo::exists(folder.filePath(QStringLiteral("../") + cache)))
        return folder.filePath(QStringLiteral("app.ini"));
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/app.ini");
}

void MainSettings::read()
{
    sValues = IniFile::read(fileName());
    sChanged.clear();
    sRead = true;
}

bool MainSettings::write(QString* error)
{
    if (!sRead)
        return true;
    const QString name = fileName();
    QDir().mkpath(QFileInfo(name).absolutePath());
    QVariantMap values = IniFile::read(name);
    for (const QString& key : qAsConst(sChanged)) {
        if (sValues.contains(key))
            values.insert(key, sValues.value(key));
        else
            values.remove(key);
    }
    QString reason;
    const bool written = IniFile::write(name, values, &reason);
    if (error)
        *error = reason;
    // What this copy changed stays its own for every later write: a stale read of the file cannot undo it.
    if (written)
        sValues = values;
    return written;
}

QVariant MainSettings::value(const QString& key, const QVariant& defaultValue)
{
    return sValues.value(key, defaultValue);
}

void MainSettings::setValue(const QString& key, const QVariant& value)
{
    if (sRead) {
        sValues.insert(key, value);
        sChanged.insert(key);
    }
}

void MainSettings::remove(const QString& key)
{
    sValues.remove(key);
    sChanged.insert(key);
}

void MainSettings::create(const QString& key, const QVariant& defaultValue, bool forceCreate) const
{
    if (forceCreate || value(key, QVariant()).isNull())
        setValue(key, defaultValue);
}

void MainSettings::restoreWindowSize(QMainWindow* mainWindow, const QRect& defaultSize)
{
    Q_ASSERT(mainWindow);

    // A damaged file may hold any numbers: a window has a size, and none is larger or farther off than Qt
    // allows, which also keeps the sums below from overflowing.
    const QPoint position = value(keyPosition, defaultSize.topLeft()).toPoint();
    QSize size = value(keySize, defaultSize.size()).toSize();
    if (size.width() <= 0 || size.height() <= 0)
        size = defaultSize.size();
    QRect rect;
    rect.moveTopLeft(QPoint(qBound(-QWIDGETSIZE_MAX, position.x(), QWIDGETSIZE_MAX),
                            qBound(-QWIDGETSIZE_MAX, position.y(), QWIDGETSIZE_MAX)));
    rect.setSize(size.boundedTo(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)));

    // The bounding box of all screens, not the screens themselves: a window in
    // a gap between two monitors is left where it is.
    QRect area;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        area = area.united(screen->geometry());

    if (rect.right() > area.right())
        rect.moveLeft(area.right() - rect.width());
    if (rect.bottom() > area.bottom())
        rect.moveTop(area.bottom() - rect.height());
    if (rect.left() < area.left())
        rect.setLeft(area.left());
    if (rect.top() < area.top())
        rect.setTop(area.top());

    mainWindow->move(rect.topLeft());
    mainWindow->resize(rect.size());
}

void MainSettings::saveWindowSize(QMainWindow* mainWindow)
{
    Q_ASSERT(mainWindow);
    setValue(keyPosition, mainWindow->pos());
    setValue(keySize, mainWindow->size());
}

QString MainSettings::getSerialPortName()
{
    return value(keySerialPortName, QString()).toString();
}

void MainSettings::satSerialPortName(const QString& port)
{
    setValue(keySerialPortName, port);
}

int MainSettings::getFramesPerSecond()
{
    bool ok = false;
    const int framesPerSecond = value(keyFramesPerSecond, DefaultFramesPerSecond).toInt(&ok);
    if (!ok)
        return DefaultFramesPerSecond;
    return qBound(MinFramesPerSecond, framesPerSecond, MaxFramesPerSecond);
}

void MainSettings::setFramesPerSecond(int framesPerSecond)
{
    setValue(keyFramesPerSecond, framesPerSecond);
}

QString MainSettings::convertPathToGlobal(const QString& path)
{
    if (path.startsWith(QLatin1String("./"), Qt::CaseSensitive))
        return QCoreApplication::applicationDirPath() + path.mid(1);
    return path;
}

QString MainSettings::convertPathToLocal(const QString& path)
{
    const QString directory = QCoreApplication::applicationDirPath();
    if (!path.startsWith(directory, Qt::CaseSensitive))
        return path;
    // "/opt/app2/x" merely shares its first letters with "/opt/app": it lies
    // outside the directory and stays as it is.
    if (path.length() > directory.length()) {
        const QChar separator = path.at(directory.length());
        if (separator != QLatin1Char('/') && separator != QLatin1Char('\\'))
            return path;
    }
    return QStringLiteral("./") + path.mid(directory.length() + 1);
}
