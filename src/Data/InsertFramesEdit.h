#ifndef INSERTFRAMESEDIT_H
#define INSERTFRAMESEDIT_H

#include "Abstract/AbstractEdit.h"

// New frames, with the given intensities, at a place in a sequence.
class InsertFramesEdit : public AbstractEdit
{
public:
    InsertFramesEdit(const QString& text, int sequence, int row, const QVector<QVector<int>>& frames);
    ~InsertFramesEdit() override;

    qint64 ledValueGrowth() const override;
    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;

private:
    int m_Sequence;
    int m_Row;
    QVector<QVector<int>> m_Values;
    // The frames while they are out of the show; made on the first redo.
    QList<AbstractCommand*> m_Frames;
    bool m_Done;
};

#endif // INSERTFRAMESEDIT_H
