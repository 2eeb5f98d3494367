#include "PythonRunner.h"

#include <QProcess>
#include <QTest>

namespace PythonRunner {

QByteArray run(const QString& script, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        QTest::qFail(qPrintable(QStringLiteral("python3 failed: %1 %2")
                                    .arg(process.errorString(),
                                         QString::fromLocal8Bit(process.readAllStandardError()))),
                     __FILE__, __LINE__);
    }
    return process.readAllStandardOutput();
}

} // namespace PythonRunner
