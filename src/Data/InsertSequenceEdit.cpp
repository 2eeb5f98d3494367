#include "Data/InsertSequenceEdit.h"

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"

InsertSequenceEdit::InsertSequenceEdit(const QString& text, int row)
    : AbstractEdit(text)
    , m_Row(row)
    , m_pSequence(nullptr)
{
}

InsertSequenceEdit::~InsertSequenceEdit()
{
    delete m_pSequence;
}

void InsertSequenceEdit::redo(LedPanelModel& model)
{
    AbstractCommand* sequence = m_pSequence ? m_pSequence : new CommandList(&model);
    m_pSequence = nullptr;
    insertNodes(model, &model, m_Row, { sequence });
}

void InsertSequenceEdit::undo(LedPanelModel& model)
{
    m_pSequence = takeNodes(model, &model, m_Row, 1).value(0);
}

AbstractCommand* InsertSequenceEdit::focus(LedPanelModel& model, bool undone) const
{
    // Where the sequence is, or where it was: its successor, else its predecessor.
    if (!undone)
        return model.node(m_Row);
    AbstractCommand* next = model.node(m_Row);
    return next ? next : model.node(m_Row - 1);
}
