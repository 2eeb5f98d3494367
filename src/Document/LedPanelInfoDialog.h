#ifndef LEDPANELINFODIALOG_H
#define LEDPANELINFODIALOG_H

#include <QDialog>

class LedPanelDocument;

namespace Ui {
class LedPanelInfoDialog;
}

// Edits the title and the description of an LED panel document.
class LedPanelInfoDialog : public QDialog
{
    Q_OBJECT

public:
    LedPanelInfoDialog(LedPanelDocument* document, QWidget* parent);
    ~LedPanelInfoDialog() override;

public slots:
    void accept() override;

private:
    Ui::LedPanelInfoDialog* ui;
    LedPanelDocument* m_pDocument;
    // The texts as the fields first showed them: a line edit cuts a long title, a text edit turns CRs
    // into line feeds.
    QString m_ShownTitle;
    QString m_ShownDescription;
};

#endif // LEDPANELINFODIALOG_H
