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
    // From the back, so the rows still ahead keep their places; each run of rows at once, as every
    // removal costs the views a pass over what they hold.
    for (int last = m_Rows.size() - 1; last >= 0;) {
        int first = last;
        while (first > 0 && m_Rows.at(first - 1) == m_Rows.at(first) - 1)
            --first;
        m_Removed = takeNodes(model, sequence, m_Rows.at(first), last - first + 1) + m_Removed;
        last = first - 1;
    }
}

void RemoveFramesEdit::undo(LedPanelModel& model)
{
    AbstractCommand* sequence = model.node(m_Sequence);
    Q_ASSERT(sequence);
    for (int first = 0; first < m_Rows.size();) {
        int last = first;
        while (last + 1 < m_Rows.size() && m_Rows.at(last + 1) == m_Rows.at(last) + 1)
            ++last;
        insertNodes(model, sequence, m_Rows.at(first), m_Removed.mid(first, last - first + 1));
        first = last + 1;
    }
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
