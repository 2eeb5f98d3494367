#include "MainWindow/AutosaveController.h"

#include "Document/AutosaveWriter.h"
#include "Document/LedPanelDocument.h"
#include "Helper/SignalWatcher.h"
#include "MainWindow/MainSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QStatusBar>
#include <QTimer>

#include <csignal>

namespace {

// One for the program, whichever windows come and go.
SignalWatcher* stopRequests()
{
    static SignalWatcher* watcher = new SignalWatcher({ SIGTERM, SIGHUP, SIGINT }, QCoreApplication::instance());
    return watcher;
}

} // namespace

int AutosaveController::intervalSeconds()
{
    bool ok = false;
    const int seconds = MainSettings::value(QStringLiteral("Document/AutosaveSeconds"), DefaultSeconds).toInt(&ok);
    if (!ok || seconds < 0)
        return DefaultSeconds;
    if (seconds == 0)
        return 0;
    return qBound(int(MinSeconds), seconds, int(MaxSeconds));
}

AutosaveController::AutosaveController(QObject* parent)
    : QObject(parent)
    , m_pTimer(new QTimer(this))
{
    connect(m_pTimer, &QTimer::timeout, this, &AutosaveController::autosave);
    // Told to stop by the system (logging out, shutting down): the show as it is now goes to its recovery
    // file, which stays for the next start, as after a crash.
    connect(stopRequests(), &SignalWatcher::caught, this, [this](int signal) {
        autosaveAndWait();
        SignalWatcher::terminate(signal);
    });
}

AutosaveController::~AutosaveController()
{
    // The window is going too: nothing is left to tell.
    m_FailureMessage.clear();
    dropWriter();
}

AutosaveWriter* AutosaveController::writer() const
{
    return m_pWriter;
}

void AutosaveController::setDocument(LedPanelDocument* document)
{
    if (document == m_pDocument)
        return;
    disconnect(m_ModifiedConnection);
    // The document that goes takes its recovery file with it.
    dropWriter();
    m_pDocument = document;
    const int seconds = intervalSeconds();
    if (!document || seconds == 0) {
        m_pTimer->stop();
        return;
    }
    m_ModifiedConnection = connect(document, &AbstractDocument::modifiedChanged, this,
                                   &AutosaveController::documentModified);
    m_pTimer->start(seconds * 1000);
    // A recovered document is modified from the start; it is written again at once.
    if (document->isModified())
        autosave();
}

void AutosaveController::showFailuresOn(QStatusBar* statusBar)
{
    connect(this, &AutosaveController::failed, statusBar, [statusBar](const QString& message) {
        statusBar->showMessage(message);
    });
    connect(this, &AutosaveController::failureOver, statusBar, [statusBar](const QString& message) {
        if (statusBar->currentMessage() == message)
            statusBar->clearMessage();
    });
    // A menu entry's tip or a passing message does not end the notice.
    connect(statusBar, &QStatusBar::messageChanged, this, [this, statusBar](const QString& message) {
        if (message.isEmpty() && !m_FailureMessage.isEmpty())
            statusBar->showMessage(m_FailureMessage);
    });
}

bool AutosaveController::autosave()
{
    if (!m_pDocument || !m_pDocument->isModified())
        return false;
    if (!m_pWriter) {
        m_pWriter = new AutosaveWriter(this);
        connect(m_pWriter, &AutosaveWriter::written, this, &AutosaveController::written);
    }
    const QString path = m_pDocument->filePath();
    return m_pWriter->write(m_pDocument->copyShow(), path, m_pDocument->fileName(), m_pDocument->fileState());
}

void AutosaveController::autosaveAndWait()
{
    if (m_pWriter)
        m_pWriter->waitForDone();
    if (autosave())
        m_pWriter->waitForDone();
}

void AutosaveController::documentModified(bool modified)
{
    // Clean again means saved (or undone back to the file): nothing to recover.
    if (!modified)
        dropWriter();
}

void AutosaveController::replaceRecoveryFiles(const QString& baseName, std::unique_ptr<QLockFile> lock)
{
    removeReplacedFiles();
    m_ReplacedBaseName = baseName;
    m_pReplacedLock = std::move(lock);
    if (m_pWriter)
        m_pWriter->waitForDone();
    // With autosave off the document has no recovery file of its own to wait for.
    if (!m_pWriter || m_pWriter->lastWriteSucceeded())
        removeReplacedFiles();
}

void AutosaveController::written(bool ok, const QString& error)
{
    if (ok) {
        m_HasWritten = true;
        removeReplacedFiles();
        endFailure();
    } else if (!m_Failing) {
        // Only what is still there: a clean-up may have taken the folder.
        const QString replaced = m_ReplacedBaseName + QStringLiteral(".xml");
        const bool kept = (m_HasWritten && QFile::exists(m_pWriter->filePath()))
                          || (!m_ReplacedBaseName.isEmpty() && QFile::exists(replaced));
        m_FailureMessage = kept ? tr("Autosave failed: %1. The recovery file from before is kept.").arg(error)
                                : tr("Autosave failed: %1. This document has no recovery file yet.").arg(error);
        emit failed(m_FailureMessage);
    }
    m_Failing = !ok;
}

void AutosaveController::endFailure()
{
    if (m_FailureMessage.isEmpty())
        return;
    const QString message = m_FailureMessage;
    m_FailureMessage.clear();
    emit failureOver(message);
}

void AutosaveController::removeReplacedFiles()
{
    if (m_ReplacedBaseName.isEmpty())
        return;
    AutosaveWriter::removeFiles(m_ReplacedBaseName);
    m_ReplacedBaseName.clear();
    // The files go before their lock: no editor may find them unlocked.
    m_pReplacedLock.reset();
}

void AutosaveController::dropWriter()
{
    // Saved, closed or replaced: an earlier recovery of it is no longer wanted either.
    removeReplacedFiles();
    m_HasWritten = false;
    m_Failing = false;
    endFailure();
    if (!m_pWriter)
        return;
    m_pWriter->remove();
    delete m_pWriter;
    m_pWriter = nullptr;
}
