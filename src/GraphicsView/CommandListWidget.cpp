#include "GraphicsView/CommandListWidget.h"

#include "ui_CommandListWidget.h"

CommandListWidget::CommandListWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::CommandListWidget)
{
    ui->setupUi(this);
}

CommandListWidget::~CommandListWidget()
{
    delete ui;
}
