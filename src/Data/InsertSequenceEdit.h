#ifndef INSERTSEQUENCEEDIT_H
#define INSERTSEQUENCEEDIT_H

#include "Abstract/AbstractEdit.h"

// A new, empty sequence at a place among the sequences.
class InsertSequenceEdit : public AbstractEdit
{
public:
    InsertSequenceEdit(const QString& text, int row);
    ~InsertSequenceEdit() override;

    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;

protected:
    int m_Row;
    AbstractCommand* m_pSequence; // while it is out of the show
};

#endif // INSERTSEQUENCEEDIT_H
