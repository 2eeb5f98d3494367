#include "Document/LedPanelInfoDialog.h"

#include "Data/PanelInfoEdit.h"
#include "Document/LedPanelDocument.h"
#include "ui_LedPanelInfoDialog.h"

namespace {

// What an XML file can hold: a control character pasted in (a form feed, an escape) made every later
// save of the show fail.
QString storableText(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
            continue;
        }
        const ushort code = c.unicode();
        if (c.isSurrogate() || code == 0xfffe || code == 0xffff
            || (code < 0x20 && code != '\t' && code != '\n' && code != '\r'))
            continue;
        kept += c;
    }
    return kept;
}

} // namespace

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
    m_ShownTitle = ui->lineEdit_Title->text();
    m_ShownDescription = ui->plainTextEdit_Description->toPlainText();
}

LedPanelInfoDialog::~LedPanelInfoDialog()
{
    delete ui;
}

void LedPanelInfoDialog::accept()
{
    // A field left as it was shown keeps the text exactly as the show has it.
    const QString titleText = ui->lineEdit_Title->text();
    const QString descriptionText = ui->plainTextEdit_Description->toPlainText();
    const QString title = titleText == m_ShownTitle ? m_pDocument->title() : storableText(titleText);
    const QString description
        = descriptionText == m_ShownDescription ? m_pDocument->description() : storableText(descriptionText);
    // Title and description are saved with the file, so a change must be saved too.
    // A refused text stays in the dialog, to be shortened.
    if ((title != m_pDocument->title() || description != m_pDocument->description())
        && !m_pDocument->submit(new PanelInfoEdit(tr("Panel info"), title, description)))
        return;
    QDialog::accept();
}
