#ifndef PANELINFOEDIT_H
#define PANELINFOEDIT_H

#include "Abstract/AbstractEdit.h"

// A new title and description for the show.
class PanelInfoEdit : public AbstractEdit
{
public:
    PanelInfoEdit(const QString& text, const QString& title, const QString& description);

    QString refusal() const override;
    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;

private:
    void swap(LedPanelModel& model);

    QString m_Title;
    QString m_Description;
};

#endif // PANELINFOEDIT_H
