#include "Data/RemoveSequenceEdit.h"

#include "Data/LedPanelModel.h"

RemoveSequenceEdit::RemoveSequenceEdit(const QString& text, int row)
    : AbstractEdit(text)
    , m_Row(row)
    , m_pSequence(nullptr)
{
}

RemoveSequenceEdit::~RemoveSequenceEdit()
{
    delete m_pSequence;
}

void RemoveSequenceEdit::redo(LedPanelModel& model)
{
    m_pSequence = takeNodes(model, &model, m_Row, 1).value(0);
}

void RemoveSequenceEdit::undo(LedPanelModel& model)
{
    insertNodes(model, &model, m_Row, { m_pSequence });
    m_pSequence = nullptr;
}

AbstractCommand* RemoveSequenceEdit::focus(LedPanelModel& model, bool undone) const
{
    if (undone)
        return model.node(m_Row);
    AbstractCommand* next = model.node(m_Row);
    return next ? next : model.node(m_Row - 1);
}
