#include "Data/RemoveSequenceEdit.h"

RemoveSequenceEdit::RemoveSequenceEdit(const QString& text, int row)
    : InsertSequenceEdit(text, row)
{
}

void RemoveSequenceEdit::redo(LedPanelModel& model)
{
    InsertSequenceEdit::undo(model);
}

void RemoveSequenceEdit::undo(LedPanelModel& model)
{
    InsertSequenceEdit::redo(model);
}

AbstractCommand* RemoveSequenceEdit::focus(LedPanelModel& model, bool undone) const
{
    return InsertSequenceEdit::focus(model, !undone);
}
