#include "MainWindow/TextDialog.h"

#include "Data/TextFrames.h"

#include "ui_TextDialog.h"

#include <QPushButton>

TextDialog::TextDialog(const LedLayout& layout, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::TextDialog)
    , m_Layout(layout)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->comboBox_TextMode->addItem(tr("Still"));
    ui->comboBox_TextMode->addItem(tr("Scroll"));
    ui->widget_TextPreview->setPanelLayout(layout);
    connect(ui->lineEdit_Text, &QLineEdit::textChanged, this, &TextDialog::updatePreview);
    connect(ui->comboBox_TextMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TextDialog::updatePreview);
    updatePreview();
}

TextDialog::~TextDialog()
{
    delete ui;
}

QString TextDialog::text() const
{
    return ui->lineEdit_Text->text();
}

TextDialog::eMode TextDialog::mode() const
{
    return ui->comboBox_TextMode->currentIndex() == Scroll ? Scroll : Still;
}

qint64 TextDialog::frameCount() const
{
    return mode() == Scroll ? TextFrames(m_Layout, text()).scrollFrameCount() : 1;
}

void TextDialog::updatePreview()
{
    const QString lettering = text();
    const bool tooLong = TextFrames::length(lettering) > TextFrames::MaxLength;
    const TextFrames frames(m_Layout, tooLong ? QString() : lettering);
    // A scroll's first frame is dark; what it runs through is the still picture.
    ui->widget_TextPreview->setValues(frames.still());
    if (tooLong)
        ui->label_FrameCount->setText(tr("The text is longer than %1 characters.").arg(TextFrames::MaxLength));
    else if (frameCount() == 1)
        ui->label_FrameCount->setText(tr("1 frame"));
    else
        ui->label_FrameCount->setText(tr("%1 frames").arg(frameCount()));
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!lettering.isEmpty() && !tooLong);
}
