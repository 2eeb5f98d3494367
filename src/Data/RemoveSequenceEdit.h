#ifndef REMOVESEQUENCEEDIT_H
#define REMOVESEQUENCEEDIT_H

#include "Data/InsertSequenceEdit.h"

// Takes a sequence with its frames out of the show; undo puts it back whole.
// The inverse of an insertion that already happened.
class RemoveSequenceEdit : public InsertSequenceEdit
{
public:
    RemoveSequenceEdit(const QString& text, int row);

    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;
};

#endif // REMOVESEQUENCEEDIT_H
