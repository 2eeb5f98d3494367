#include "ModalAnswer.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Pending
{
    std::function<void(QWidget*)> answer;
    int timeoutMs;
    QElapsedTimer waited; // from the moment it heads the queue
};

// Answers are given strictly in the order they were scheduled: only the first waits for a dialog.
QList<Pending> queue;
bool polling = false;
// A dialog answered once is never handed to a later answer.
QPointer<QWidget> lastAnswered;

void poll();

void schedulePoll()
{
    if (polling || queue.isEmpty())
        return;
    polling = true;
    QTimer::singleShot(10, poll);
}

void poll()
{
    polling = false;
    if (queue.isEmpty())
        return;
    Pending& head = queue.first();
    if (!head.waited.isValid())
        head.waited.start();
    QWidget* modal = QApplication::activeModalWidget();
    const bool found = modal && modal != lastAnswered && modal->isVisible();
    if (!found && !head.waited.hasExpired(head.timeoutMs))
        return schedulePoll();
    const std::function<void(QWidget*)> answer = queue.takeFirst().answer;
    // Scheduled before answering: the answer may open the next dialog in a nested event loop.
    schedulePoll();
    if (!found)
        return QTest::qFail("no modal dialog appeared", __FILE__, __LINE__);
    lastAnswered = modal;
    answer(modal);
}

// The widget as the kind of dialog expected; otherwise the test fails and the widget is closed.
template <class Dialog> Dialog* expect(QWidget* widget)
{
    auto* dialog = qobject_cast<Dialog*>(widget);
    if (!dialog) {
        QTest::qFail(qPrintable(QStringLiteral("expected a %1, got %2")
                                    .arg(QLatin1String(Dialog::staticMetaObject.className()),
                                         QLatin1String(widget->metaObject()->className()))),
                     __FILE__, __LINE__);
        widget->close();
    }
    return dialog;
}

} // namespace

namespace ModalAnswer {

void onNext(std::function<void(QWidget*)> answer, int timeoutMs)
{
    queue.append({ std::move(answer), timeoutMs, {} });
    schedulePoll();
}

void messageBox(QMessageBox::StandardButton button, QString* text, QString* title)
{
    onNext([=](QWidget* widget) {
        auto* box = expect<QMessageBox>(widget);
        if (!box)
            return;
        if (text)
            *text = box->text();
        if (title)
            *title = box->windowTitle();
        if (QAbstractButton* pressed = box->button(button))
            return pressed->click();
        QTest::qFail("the message box lacks the requested button", __FILE__, __LINE__);
        box->reject();
    });
}

void fileDialog(const QString& filePath, QString* title)
{
    onNext([=](QWidget* widget) {
        auto* dialog = expect<QFileDialog>(widget);
        if (!dialog)
            return;
        if (title)
            *title = dialog->windowTitle();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (filePath.isEmpty() || !edit) {
            if (!filePath.isEmpty())
                QTest::qFail("the file dialog has no file name field", __FILE__, __LINE__);
            return dialog->reject();
        }
        // Typed into the field with the focus, as a user types: the dialog then forgets the file it
        // proposed, which it would otherwise take over the typed name.
        QApplication::setActiveWindow(dialog);
        edit->setFocus();
        edit->setText(filePath);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

bool allAnswered()
{
    return queue.isEmpty();
}

} // namespace ModalAnswer
