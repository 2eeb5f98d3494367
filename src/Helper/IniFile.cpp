#include "Helper/IniFile.h"

#include "Helper/CheckedFileWriter.h"

#include <QDataStream>
#include <QFile>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSettings>
#include <QSize>
#include <QStringList>

#include <sys/stat.h>

namespace {

bool isHexDigit(QChar ch)
{
    return ch.isDigit() || (ch >= QLatin1Char('a') && ch <= QLatin1Char('f'))
        || (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'));
}

QString escapedKey(const QString& key)
{
    QString out;
    for (const QChar ch : key) {
        if (ch == QLatin1Char('/'))
            out += QLatin1Char('\\');
        else if (ch.isLetterOrNumber() && ch.unicode() < 0x80)
            out += ch;
        else if (ch == QLatin1Char('_') || ch == QLatin1Char('-') || ch == QLatin1Char('.'))
            out += ch;
        else if (ch.unicode() <= 0xFF)
            out += QStringLiteral("%%1").arg(ch.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QStringLiteral("%U%1").arg(ch.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

// Quoted, so that commas and semicolons stay in it. Outside plain ASCII a character is
// written as \x and its code, which the reader takes for as many hex digits as follow:
// a hex digit right after one is escaped as well.
QString quoted(QString text, bool keepAt = false)
{
    if (text.startsWith(QLatin1Char('@')) && !keepAt)
        text.prepend(QLatin1Char('@'));
    QString out(QLatin1Char('"'));
    bool afterHexEscape = false;
    for (const QChar ch : qAsConst(text)) {
        const ushort code = ch.unicode();
        const bool plain = code >= 0x20 && code < 0x7F && !(afterHexEscape && isHexDigit(ch));
        afterHexEscape = false;
        if (ch == QLatin1Char('"') || ch == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            out += ch;
        } else if (ch == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
        } else if (ch == QLatin1Char('\t')) {
            out += QLatin1String("\\t");
        } else if (plain) {
            out += ch;
        } else {
            out += QStringLiteral("\\x%1").arg(code, 0, 16);
            afterHexEscape = true;
        }
    }
    return out + QLatin1Char('"');
}

QString valueText(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QPoint: {
        const QPoint p = value.toPoint();
        return QStringLiteral("@Point(%1 %2)").arg(p.x()).arg(p.y());
    }
    case QMetaType::QSize: {
        const QSize s = value.toSize();
        return QStringLiteral("@Size(%1 %2)").arg(s.width()).arg(s.height());
    }
    case QMetaType::QStringList: {
        const QStringList list = value.toStringList();
        if (list.isEmpty())
            return QStringLiteral("@Invalid()");
        QStringList parts;
        for (const QString& item : list)
            parts += quoted(item);
        // One item alone reads back as a plain string, which toStringList() makes a list again.
        return list.size() == 1 ? parts.first() : parts.join(QLatin1String(", "));
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
    case QMetaType::Double:
        return value.toString();
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QStringLiteral("@Rect(%1 %2 %3 %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return quoted(QStringLiteral("@ByteArray(") + QString::fromLatin1(bytes.constData(), bytes.size())
                          + QLatin1Char(')'),
                      true);
    }
    case QMetaType::QString:
        return quoted(value.toString());
    default: {
        // Any other kind, as another program may have left it, is kept as QSettings keeps it: its data stream.
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_4_0);
        stream << value;
        return quoted(QStringLiteral("@Variant(") + QString::fromLatin1(bytes.constData(), bytes.size())
                          + QLatin1Char(')'),
                      true);
    }
    }
}

} // namespace

QVariantMap IniFile::read(const QString& fileName)
{
    QVariantMap values;
    // Opening a pipe waits for a writer, and a device may never end: neither holds settings.
    struct stat status = {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return values;
    const QSettings file(fileName, QSettings::IniFormat);
    for (const QString& key : file.allKeys())
        values.insert(key, file.value(key));
    return values;
}

QByteArray IniFile::text(const QVariantMap& values)
{
    QMap<QString, QStringList> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        // Keys without a section are the ones QSettings keeps under [General].
        const QString section = slash < 0 ? QStringLiteral("General") : it.key().left(slash);
        const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
        sections[section] += escapedKey(key) + QLatin1Char('=') + valueText(it.value());
    }
    QString out;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += QLatin1Char('[') + escapedKey(it.key()) + QLatin1String("]\n");
        out += it.value().join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    return out.toLatin1();
}

bool IniFile::write(const QString& fileName, const QVariantMap& values, QString* error)
{
    return CheckedFileWriter::writeFile(fileName, text(values), error, false);
}
