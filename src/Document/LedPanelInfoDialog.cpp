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
}

LedPanelInfoDialog::~LedPanelInfoDialog()
{
    delete ui;
}

void LedPanelInfoDialog::accept()
{
    const QString title = storableText(ui->lineEdit_Title->text());
    const QString description = storableText(ui->plainTextEdit_Description->toPlainText());
    // Title and description are saved with the file, so a change must be saved too.
    // A refused text stays in the dialog, to be shortened.
    if ((title != m_pDocument->title() || description != m_pDocument->description())
        && !m_pDocument->submit(new PanelInfoEdit(tr("Panel info"), title, description)))
        return;
    QDialog::accept();
}
