#ifndef MAINSETTINGS_H
#define MAINSETTINGS_H

#include <QRect>
#include <QString>
#include <QVariant>

class QMainWindow;

// The few settings that outlast a run: window geometry, serial port name and
// playback speed, kept in app.ini: beside the executable of a build folder, in
// the user's configuration folder for an installed program.
class MainSettings
{
public:
    static QString fileName();
    static void read();
    // The settings whole into app.ini; false with the system's reason in *error.
    static bool write(QString* error = nullptr);

    static QVariant value(const QString& key, const QVariant& defaultValue);
    static void setValue(const QString& key, const QVariant& value);
    static void remove(const QString& key);
    void create(const QString& key, const QVariant& defaultValue, bool forceCreate) const;

    static void restoreWindowSize(QMainWindow* mainWindow, const QRect& defaultSize);
    static void saveWindowSize(QMainWindow* mainWindow);

    // Where the system has the port (/dev/ttyUSB0); empty when none was saved.
    static QString getSerialPortName();
    // Stores the port name, as getSerialPortName() gives it back.
    static void satSerialPortName(const QString& port);

    static constexpr int MinFramesPerSecond = 1;
    static constexpr int MaxFramesPerSecond = 50;
    static constexpr int DefaultFramesPerSecond = 10;
    // A stored speed outside the range is brought into it; one that is no number gives the default.
    static int getFramesPerSecond();
    static void setFramesPerSecond(int framesPerSecond);

    static QString convertPathToGlobal(const QString& path);
    static QString convertPathToLocal(const QString& path);
};

#endif // MAINSETTINGS_H
