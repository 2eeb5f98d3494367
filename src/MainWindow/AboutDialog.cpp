#include "AboutDialog.h"
#include "ui_AboutDialog.h"

#include <QCoreApplication>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->setupUi(this);
    ui->label_version->setText(tr("version: %1").arg(QCoreApplication::applicationVersion()));
    connect(ui->pushButton_Close, &QPushButton::pressed, this, &QDialog::close);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}
