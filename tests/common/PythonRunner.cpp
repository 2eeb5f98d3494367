#include "PythonRunner.h"

#include "TestData.h"

QByteArray PythonRunner::run(const QString& script, const QStringList& arguments)
{
    return runProgram(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + arguments);
}
