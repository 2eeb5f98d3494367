#include "Document/LedPanelInfoDialog.h"

#include "Data/PanelInfoEdit.h"
#include "Document/LedPanelDocument.h"
#include "ui_LedPanelInfoDialog.h"

LedPanelInfoDialog::LedPanelInfoDialog(LedPanelDocument* document, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::LedPanelInfoDialog)
    , m_pDocument(document)
{
    Q_ASSERT(m_pDocument);
    setModal(true);
    ui->setupUi(this);

    // The buttons act when pressed down, not when released.
    connect(ui->pushButton_OK, &QPushButton::pressed, this, &LedPanelInfoDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::pressed, this, &LedPanelInfoDialog::reject);

    ui->lineEdit_Title->setText(m_pDocument->title());
    ui->plainTextEdit_Description->setPlainText(m_pDocument->description());
}

LedPanelInfoDialog::~LedPanelInfoDialog()
{
    delete ui;
}

void LedPanelInfoDialog::accept()
{
    const QString title = ui->lineEdit_Title->text();
    const QString description = ui->plainTextEdit_Description->toPlainText();
    // Title and description are saved with the file, so a change must be saved too.
    if (title != m_pDocument->title() || description != m_pDocument->description())
        m_pDocument->submit(new PanelInfoEdit(tr("Panel info"), title, description));
    QDialog::accept();
}
