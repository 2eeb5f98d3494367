#ifndef CLIPRINTER_H
#define CLIPRINTER_H

#include "cli/CliOptions.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QString>

#include <cstdio>

// Where the tool's words go. Results go to standard output; progress, reports and
// errors to standard error: on a terminal as one line that updates in place,
// otherwise as plain lines, at most one per tenth of the way. With --json,
// standard output carries only JSON objects, one per line, and nothing else is printed.
class CliPrinter
{
public:
    CliPrinter(CliOptions::eVerbosity verbosity, bool json, bool terminal, bool labelPorts,
               FILE* out = stdout, FILE* err = stderr);
    ~CliPrinter();

    CliOptions::eVerbosity verbosity() const;
    bool isJson() const;

    // A step of the work on a port: not with --quiet.
    void report(const QString& port, const QString& text);
    // Bytes on the line: only with --verbose.
    void detail(const QString& port, const QString& text);
    // What went wrong on a port: always.
    void failure(const QString& port, const QString& text);
    void progress(const QString& port, int done, int total, const QString& unit);

    // A closing line without a port: the summary (not with --quiet) or the error.
    void summary(const QString& text);
    void error(const QString& text);
    // The end of the run, as a JSON result.
    void result(int status, const QString& error, const QJsonObject& extra = QJsonObject());

    void output(const QString& text);
    void object(const QJsonObject& object);
    // Why standard output did not take everything printed there, or empty.
    QString outputError() const { return m_OutputError; }

private:
    struct Progress
    {
        int tenth = -1;
        qint64 drawnAt = -1;
    };

    void line(const QString& port, const QString& text);
    void writeErr(const QString& text);
    void clearProgressLine();
    QString label(const QString& port) const;

    CliOptions::eVerbosity m_Verbosity;
    bool m_Json;
    bool m_Terminal;
    bool m_LabelPorts;
    FILE* m_pOut;
    FILE* m_pErr;
    QElapsedTimer m_Clock;
    QHash<QString, Progress> m_Progress;
    QString m_ProgressLine; // on the terminal now, after a carriage return
    QString m_OutputError;
};

#endif // CLIPRINTER_H
