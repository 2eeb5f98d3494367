#ifndef INIFILE_H
#define INIFILE_H

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// Settings as an INI file that QSettings reads back unchanged. Written here, not
// by QSettings::sync(), because sync() keeps the reason of a failed write to itself.
// Values are strings, numbers, truth values, string lists, points and sizes.
class IniFile
{
public:
    // Every key of the file; a file that is missing, unreadable or no regular file gives none.
    static QVariantMap read(const QString& fileName);
    // The file as QSettings would write it, keys sorted by section.
    static QByteArray text(const QVariantMap& values);
    // Whole or not at all; false with the reason in *error, also for a pipe that nobody reads.
    static bool write(const QString& fileName, const QVariantMap& values, QString* error);
};

#endif // INIFILE_H
