#ifndef CLIRUN_H
#define CLIRUN_H

#include <QProcess>
#include <QStringList>

#include <functional>

// tessaloom-cli run to its end as a user runs it: its output on pipes, so never on a terminal, and the port, if
// any, in the environment. A run that does not end, or writes a carriage return off the terminal, fails the test.
class CliRun
{
public:
    CliRun() = default;
    // during acts on the started tool, to feed or interrupt it; standardOutput, if given, is a file instead of a pipe.
    explicit CliRun(const QStringList& arguments, const QString& port = QString(),
                    const std::function<void(QProcess&)>& during = {}, const QString& standardOutput = QString());
    // The words of a command line, a relative file name among them (show.xml, a.gif) made a path in folder.
    static QStringList arguments(const QString& line, const QString& folder);

    int status = -1;
    QByteArray out;
    QByteArray err;
};

#endif // CLIRUN_H
