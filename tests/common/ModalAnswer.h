#ifndef MODALANSWER_H
#define MODALANSWER_H

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// Answers modal dialogs as a user would, from a timer that fires while the code under test waits in the dialog.
namespace ModalAnswer {

// Calls answer() with the next modal widget to appear within timeoutMs; if none does, the test fails.
void onNext(std::function<void(QWidget*)> answer, int timeoutMs = 10000);

// Presses the given button of the next message box; its text goes to *text when asked for.
void messageBox(QMessageBox::StandardButton button, QString* text = nullptr, QString* title = nullptr);

// Types filePath into the next file dialog and confirms it; an empty path cancels the dialog.
void fileDialog(const QString& filePath, QString* title = nullptr);

// True once every answer scheduled so far has been given.
bool allAnswered();

} // namespace ModalAnswer

#endif // MODALANSWER_H
