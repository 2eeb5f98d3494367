#ifndef COMMANDLISTWIDGET_H
#define COMMANDLISTWIDGET_H

#include <QWidget>

namespace Ui {
class CommandListWidget;
}

// The page the document shows while a sequence is selected.
class CommandListWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CommandListWidget(QWidget* parent = nullptr);
    ~CommandListWidget() override;

private:
    Ui::CommandListWidget* ui;
};

#endif // COMMANDLISTWIDGET_H
