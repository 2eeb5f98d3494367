#ifndef REMOVESEQUENCEEDIT_H
#define REMOVESEQUENCEEDIT_H

#include "Abstract/AbstractEdit.h"

// Takes a sequence with its frames out of the show; undo puts it back whole.
class RemoveSequenceEdit : public AbstractEdit
{
public:
    RemoveSequenceEdit(const QString& text, int row);
    ~RemoveSequenceEdit() override;

    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;

private:
    int m_Row;
    AbstractCommand* m_pSequence; // while it is out of the show
};

#endif // REMOVESEQUENCEEDIT_H
