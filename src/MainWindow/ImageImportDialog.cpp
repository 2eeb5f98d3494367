#include "MainWindow/ImageImportDialog.h"

#include "Picture/LedCellSampler.h"
#include "Picture/LedQuantizer.h"
#include "Picture/PanelPictureExport.h"
#include "MainWindow/SpinBoxReturnFilter.h"
#include "ui_ImageImportDialog.h"

#include <QPixmap>

ImageImportDialog::ImageImportDialog(const LedLayout& layout, const QImage& firstFrame, bool animation,
                                     QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ImageImportDialog)
    , m_Layout(layout)
    , m_FirstFrame(firstFrame)
{
    ui->setupUi(this);
    ui->checkBox_KeepTiming->setEnabled(animation);
    connect(ui->comboBox_Fit, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ImageImportDialog::updatePreview);
    connect(ui->spinBox_Threshold, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ImageImportDialog::updatePreview);
    connect(ui->checkBox_Dither, &QCheckBox::toggled, this, &ImageImportDialog::updatePreview);
    connect(ui->checkBox_Invert, &QCheckBox::toggled, this, &ImageImportDialog::updatePreview);
    SpinBoxReturnFilter::install(this);
    updatePreview();
}

ImageImportDialog::~ImageImportDialog()
{
    delete ui;
}

PictureImportSettings ImageImportDialog::settings(int framesPerSecond) const
{
    PictureImportSettings settings;
    settings.fit = PictureImportSettings::eFit(ui->comboBox_Fit->currentIndex());
    settings.threshold = ui->spinBox_Threshold->value();
    settings.dither = ui->checkBox_Dither->isChecked();
    settings.invert = ui->checkBox_Invert->isChecked();
    settings.keepTiming = ui->checkBox_KeepTiming->isEnabled() && ui->checkBox_KeepTiming->isChecked();
    settings.framesPerSecond = framesPerSecond;
    return settings;
}

QVector<int> ImageImportDialog::previewValues() const
{
    return m_PreviewValues;
}

void ImageImportDialog::updatePreview()
{
    const PictureImportSettings s = settings(1);
    const LedCellSampler sampler(m_Layout, m_FirstFrame.size(), s.fit);
    m_PreviewValues =
        LedQuantizer::quantize(sampler.meanLuminance(m_FirstFrame), m_Layout, s.threshold, s.dither, s.invert);
    const PanelPictureExport pictures(m_Layout, ui->label_Preview->minimumWidth());
    ui->label_Preview->setPixmap(QPixmap::fromImage(pictures.render(m_PreviewValues)));
}
