#ifndef PYTHONRUNNER_H
#define PYTHONRUNNER_H

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace PythonRunner {

// Runs a python3 snippet (standard library only) with the given arguments and
// returns what it printed; a failed run raises the test's failure flag.
QByteArray run(const QString& script, const QStringList& arguments);

} // namespace PythonRunner

#endif // PYTHONRUNNER_H
