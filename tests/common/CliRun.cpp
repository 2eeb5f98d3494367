#include "CliRun.h"

#include <QtTest>

CliRun::CliRun(const QStringList& arguments, const QString& port, const std::function<void(QProcess&)>& during,
               const QString& standardOutput)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESSALOOM_PORT"), port);
    process.setProcessEnvironment(env);
    if (!standardOutput.isEmpty())
        process.setStandardOutputFile(standardOutput);
    // SIGXFSZ at its default, as a shell leaves it: a test's FileSizeLimit ignores it, and children inherit that.
    process.start(QStringLiteral("env"),
                  QStringList { QStringLiteral("--default-signal=SIGXFSZ"), QStringLiteral(TESSALOOM_CLI_PATH) }
                      + arguments);
    if (during)
        during(process);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        QTest::qFail("tessaloom-cli did not end", __FILE__, __LINE__);
    status = process.exitCode();
    out = process.readAllStandardOutput();
    err = process.readAllStandardError();
    if (err.contains('\r') || out.contains('\r'))
        QTest::qFail("a carriage return off the terminal", __FILE__, __LINE__);
}

QStringList CliRun::arguments(const QString& line, const QString& folder)
{
    static const QRegularExpression fileName(QStringLiteral("^[^/-].*\\.(xml|txt|bin|gif|png|jpg|c|h)$"));
    QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words)
        if (fileName.match(word).hasMatch())
            word = QDir(folder).filePath(word);
    return words;
}
