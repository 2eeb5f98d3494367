#include "MainWindow/RepeatFrameDialog.h"

#include "MainWindow/SpinBoxReturnFilter.h"
#include "ui_RepeatFrameDialog.h"

RepeatFrameDialog::RepeatFrameDialog(LedLayout::eType layoutType, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::RepeatFrameDialog)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Each item carries its operation's action object name; none has an empty one.
    ui->comboBox_RepeatOperation->addItem(tr("None (copies)"), QString(""));
    for (FrameOperations::eOperation operation :
         {FrameOperations::ShiftForward, FrameOperations::ShiftBack, FrameOperations::ShiftOut,
          FrameOperations::ShiftIn, FrameOperations::MirrorColumns, FrameOperations::MirrorRows,
          FrameOperations::Invert}) {
        ui->comboBox_RepeatOperation->addItem(FrameOperations::text(operation, layoutType),
                                              FrameOperations::objectName(operation));
    }
    ui->comboBox_RepeatOperation->setCurrentIndex(1);
    SpinBoxReturnFilter::install(this);
}

RepeatFrameDialog::~RepeatFrameDialog()
{
    delete ui;
}

int RepeatFrameDialog::count() const
{
    return ui->spinBox_RepeatCount->value();
}

FrameOperations::eOperation RepeatFrameDialog::operation() const
{
    return FrameOperations::fromObjectName(ui->comboBox_RepeatOperation->currentData().toString());
}
