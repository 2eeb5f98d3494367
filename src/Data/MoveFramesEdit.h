#ifndef MOVEFRAMESEDIT_H
#define MOVEFRAMESEDIT_H

#include "Abstract/AbstractEdit.h"

// A new order of frames within one sequence. The frames move, they are not
// taken out, so views keep their selection and current item on them.
class MoveFramesEdit : public AbstractEdit
{
public:
    // The frames at rows go, in their order, before the frame at destination
    // (the frame count puts them at the end).
    MoveFramesEdit(const QString& text, int sequence, const QList<int>& rows, int destination);
    // Each of the frames at rows passes its neighbour above (step -1) or below
    // (step 1); the caller makes sure that neighbour exists.
    static MoveFramesEdit* byOne(const QString& text, int sequence, const QList<int>& rows, int step);

    bool isEmpty() const;

    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;

private:
    MoveFramesEdit(const QString& text, int sequence);
    // Brings the frame now at relative position order[j] to position j, frame by frame.
    void reorder(LedPanelModel& model, const QVector<int>& order);

    int m_Sequence;
    int m_First;
    // Position j of the range from m_First holds, once done, the frame that stood at m_First + m_Order[j].
    QVector<int> m_Order;
    int m_FocusRow; // the first moved frame before the move
};

#endif // MOVEFRAMESEDIT_H
