#ifndef REMOVEFRAMESEDIT_H
#define REMOVEFRAMESEDIT_H

#include "Abstract/AbstractEdit.h"

// Takes frames out of a sequence; undo puts the very same frames back where they were.
class RemoveFramesEdit : public AbstractEdit
{
public:
    RemoveFramesEdit(const QString& text, int sequence, const QList<int>& rows);
    ~RemoveFramesEdit() override;

    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;

private:
    int m_Sequence;
    QList<int> m_Rows; // ascending
    QList<AbstractCommand*> m_Removed;
};

#endif // REMOVEFRAMESEDIT_H
