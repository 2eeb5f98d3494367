#include "Data/InsertFramesEdit.h"

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"

InsertFramesEdit::InsertFramesEdit(const QString& text, int sequence, int row, const QVector<QVector<int>>& frames)
    : AbstractEdit(text)
    , m_Sequence(sequence)
    , m_Row(row)
    , m_Values(frames)
    , m_Done(false)
{
}

InsertFramesEdit::~InsertFramesEdit()
{
    if (!m_Done)
        qDeleteAll(m_Frames);
}

qint64 InsertFramesEdit::ledValueGrowth() const
{
    qint64 growth = 0;
    for (const QVector<int>& values : m_Values)
        growth += values.size();
    return growth;
}

void InsertFramesEdit::redo(LedPanelModel& model)
{
    auto* sequence = static_cast<CommandList*>(model.node(m_Sequence));
    Q_ASSERT(sequence);
    if (m_Frames.isEmpty()) {
        for (const QVector<int>& values : qAsConst(m_Values))
            m_Frames.append(new LedStateCommand(sequence, values));
        // The frames hold the values from now on.
        m_Values.clear();
        m_Values.resize(m_Frames.size());
        for (int i = 0; i < m_Frames.size(); ++i)
            m_Values[i].resize(static_cast<LedStateCommand*>(m_Frames.at(i))->ledCount());
    }
    insertNodes(model, sequence, m_Row, m_Frames);
    m_Done = true;
}

void InsertFramesEdit::undo(LedPanelModel& model)
{
    AbstractCommand* sequence = model.node(m_Sequence);
    Q_ASSERT(sequence);
    m_Frames = takeNodes(model, sequence, m_Row, m_Frames.size());
    m_Done = false;
}

AbstractCommand* InsertFramesEdit::focus(LedPanelModel& model, bool undone) const
{
    if (!undone)
        return model.node(m_Sequence, m_Row);
    return m_Row > 0 ? model.node(m_Sequence, m_Row - 1) : model.node(m_Sequence);
}
