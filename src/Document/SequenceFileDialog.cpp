#include "Document/SequenceFileDialog.h"

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

namespace {

QString filter()
{
    return SequenceFileDialog::tr("LED panel Sequence (*.csv);;All files (*)");
}

} // namespace

SequenceFileDialog* SequenceFileDialog::instance()
{
    static SequenceFileDialog dialog;
    return &dialog;
}

QString SequenceFileDialog::importFileName(CommandList* sequence)
{
    Q_UNUSED(sequence)
    return QFileDialog::getOpenFileName(nullptr, tr("Import sequence"), QCoreApplication::applicationDirPath(),
                                        filter());
}

QString SequenceFileDialog::exportFileName(CommandList* sequence)
{
    Q_UNUSED(sequence)
    return QFileDialog::getSaveFileName(nullptr, tr("Export sequence"), QCoreApplication::applicationDirPath(),
                                        filter());
}

void SequenceFileDialog::report(CommandList* sequence, const QString& message)
{
    // The document that holds the sequence is also its window.
    auto* window = dynamic_cast<QWidget*>(sequence ? sequence->document() : nullptr);
    QMessageBox::warning(window, QCoreApplication::applicationName(), message);
}

void SequenceFileDialog::inform(CommandList* sequence, const QString& message)
{
    auto* document = dynamic_cast<QWidget*>(sequence ? sequence->document() : nullptr);
    if (auto* window = qobject_cast<QMainWindow*>(document ? document->window() : nullptr))
        window->statusBar()->showMessage(message, 5000);
}
