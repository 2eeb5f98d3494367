#include "MainWindow/GifExportDialog.h"

#include "MainWindow/SpinBoxReturnFilter.h"
#include "ui_GifExportDialog.h"

GifExportDialog::GifExportDialog(int size, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::GifExportDialog)
{
    ui->setupUi(this);
    ui->spinBox_GifSize->setValue(size);
    SpinBoxReturnFilter::install(this);
}

GifExportDialog::~GifExportDialog()
{
    delete ui;
}

int GifExportDialog::size() const
{
    return ui->spinBox_GifSize->value();
}
