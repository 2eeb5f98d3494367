#include "Data/RemoveFramesEdit.h"

#include "Data/LedPanelModel.h"

#include <algorithm>

RemoveFramesEdit::RemoveFramesEdit(const QString& text, int sequence, const QList<int>& rows)
    : AbstractEdit(text)
    , m_Sequence(sequence)
    , m_Rows(rows)
{
    std::sort(m_Rows.begin(), m_Rows.end());
    m_Rows.erase(std::unique(m_Rows.begin(), m_Rows.end()), m_Rows.end());
}

RemoveFramesEdit::~RemoveFramesEdit()
{
    qDeleteAll(m_Removed);
}

void RemoveFramesEdit::redo(LedPanelModel& model)
{
    AbstractCommand* sequence = model.node(m_Sequence);
    Q_ASSERT(sequence);
    // From the back, so the rows still ahead keep their places.
    for (int i = m_Rows.size() - 1; i >= 0; --i)
        m_Removed.prepend(takeNodes(model, sequence, m_Rows.at(i), 1).value(0));
}

void RemoveFramesEdit::undo(LedPanelModel& model)
{
    AbstractCommand* sequence = model.node(m_Sequence);
    Q_ASSERT(sequence);
    for (int i = 0; i < m_Rows.size(); ++i)
        insertNodes(model, sequence, m_Rows.at(i), { m_Removed.at(i) });
    m_Removed.clear();
}

AbstractCommand* RemoveFramesEdit::focus(LedPanelModel& model, bool undone) const
{
    if (m_Rows.isEmpty())
        return nullptr;
    if (undone)
        return model.node(m_Sequence, m_Rows.first());
    const int row = m_Rows.first();
    AbstractCommand* next = model.node(m_Sequence, row);
    return next ? next : (row > 0 ? model.node(m_Sequence, row - 1) : model.node(m_Sequence));
}
