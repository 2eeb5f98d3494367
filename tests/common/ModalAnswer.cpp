#include "ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

struct Poller
{
    std::function<void(QWidget*)> answer;
    QElapsedTimer elapsed;
    int timeoutMs = 0;
};

// Answers are given strictly in the order they were scheduled: only the first waits for a dialog.
QList<std::shared_ptr<Poller>> queue;
bool polling = false;
// A dialog answered once is never handed to a later answer.
QPointer<QWidget> lastAnswered;

void poll();

void schedulePoll()
{
    if (polling)
        return;
    polling = true;
    QTimer::singleShot(10, poll);
}

void poll()
{
    polling = false;
    if (queue.isEmpty())
        return;
    std::shared_ptr<Poller> head = queue.first();
    if (!head->elapsed.isValid())
        head->elapsed.start();

    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != lastAnswered && modal->isVisible()) {
        lastAnswered = modal;
        queue.removeFirst();
        // Scheduled before answering: the answer may open the next dialog in a nested event loop.
        if (!queue.isEmpty())
            schedulePoll();
        head->answer(modal);
        return;
    }
    if (head->elapsed.elapsed() > head->timeoutMs) {
        queue.removeFirst();
        QTest::qFail("no modal dialog appeared", __FILE__, __LINE__);
    }
    if (!queue.isEmpty())
        schedulePoll();
}

} // namespace

namespace ModalAnswer {

void onNext(std::function<void(QWidget*)> answer, int timeoutMs)
{
    auto poller = std::make_shared<Poller>();
    poller->answer = std::move(answer);
    poller->timeoutMs = timeoutMs;
    queue.append(poller);
    schedulePoll();
}

void messageBox(QMessageBox::StandardButton button, QString* text, QString* title)
{
    onNext([=](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box) {
            QTest::qFail(qPrintable(QStringLiteral("expected a message box, got %1")
                                        .arg(QString::fromLatin1(widget->metaObject()->className()))),
                         __FILE__, __LINE__);
            widget->close();
            return;
        }
        if (text)
            *text = box->text();
        if (title)
            *title = box->windowTitle();
        QAbstractButton* pressed = box->button(button);
        if (!pressed) {
            QTest::qFail("the message box lacks the requested button", __FILE__, __LINE__);
            box->reject();
            return;
        }
        pressed->click();
    });
}

void fileDialog(const QString& filePath, QString* title)
{
    onNext([=](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        if (!dialog) {
            QTest::qFail(qPrintable(QStringLiteral("expected a file dialog, got %1")
                                        .arg(QString::fromLatin1(widget->metaObject()->className()))),
                         __FILE__, __LINE__);
            widget->close();
            return;
        }
        if (title)
            *title = dialog->windowTitle();
        if (filePath.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typing the name and pressing Enter, as a user would.
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit) {
            QTest::qFail("the file dialog has no file name field", __FILE__, __LINE__);
            dialog->reject();
            return;
        }
        edit->setText(filePath);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

bool allAnswered()
{
    return queue.isEmpty();
}

} // namespace ModalAnswer
