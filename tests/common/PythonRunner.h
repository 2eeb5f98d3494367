#ifndef PYTHONRUNNER_H
#define PYTHONRUNNER_H

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace PythonRunner {

// Runs a python3 snippet (standard library only) and gives what it printed; a failed run fails the test.
QByteArray run(const QString& script, const QStringList& arguments);

} // namespace PythonRunner

#endif // PYTHONRUNNER_H
