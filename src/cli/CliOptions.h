#ifndef CLIOPTIONS_H
#define CLIOPTIONS_H

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// The command line of tessaloom-cli: the command, its file, the ports and the
// output options, checked against what that command takes.
class CliOptions
{
    Q_DECLARE_TR_FUNCTIONS(CliOptions)

public:
    enum eOutcome { Run, ShowHelp, ShowVersion, UsageError };
    enum eVerbosity { Quiet, Normal, Verbose };

    // defaultPort stands in for a missing -p (the environment's TESSALOOM_PORT).
    eOutcome parse(const QStringList& arguments, const QString& defaultPort);

    QString command() const;
    QString input() const;
    // The command's file arguments, in order.
    QStringList arguments() const;
    QString output() const;
    // text: what to letter, whether it scrolls, and the 1-based sequence it goes to (0: a new one).
    QString lettering() const;
    bool scroll() const;
    int sequence() const;
    // The picture and format options as given; fallback when not given.
    bool isSet(const QString& option) const;
    QString value(const QString& option, const QString& fallback = QString()) const;
    QStringList ports() const;
    qint32 baudRate() const;
    eVerbosity verbosity() const;
    bool json() const;
    // The help text, or what is wrong with the command line.
    QString text() const;

    static QString versionText();
    static bool needsPort(const QString& command);

private:
    eOutcome fail(const QString& text);
    void configure(QCommandLineParser& parser, const QString& command) const;
    eOutcome check(const QCommandLineParser& parser, const QString& defaultPort);

    QString m_Command;
    QString m_Input;
    QString m_Output;
    QString m_Lettering;
    bool m_Scroll = false;
    int m_Sequence = 0;
    QStringList m_Arguments;
    QHash<QString, QString> m_Values;
    QStringList m_Ports;
    qint32 m_BaudRate = 57600;
    eVerbosity m_Verbosity = Normal;
    bool m_Json = false;
    QString m_Text;
};

#endif // CLIOPTIONS_H
