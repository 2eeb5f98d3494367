#include "Data/EditGroup.h"

EditGroup::EditGroup(const QString& text)
    : AbstractEdit(text)
{
}

EditGroup::~EditGroup()
{
    qDeleteAll(m_Edits);
}

void EditGroup::append(AbstractEdit* edit)
{
    Q_ASSERT(edit);
    m_Edits.append(edit);
}

bool EditGroup::isEmpty() const
{
    return m_Edits.isEmpty();
}

qint64 EditGroup::ledValueGrowth() const
{
    qint64 growth = 0;
    for (const AbstractEdit* edit : m_Edits)
        growth += edit->ledValueGrowth();
    return growth;
}

void EditGroup::redo(LedPanelModel& model)
{
    for (AbstractEdit* edit : qAsConst(m_Edits))
        edit->redo(model);
}

void EditGroup::undo(LedPanelModel& model)
{
    for (int i = m_Edits.size() - 1; i >= 0; --i)
        m_Edits.at(i)->undo(model);
}

AbstractCommand* EditGroup::focus(LedPanelModel& model, bool undone) const
{
    for (int i = m_Edits.size() - 1; i >= 0; --i) {
        if (AbstractCommand* node = m_Edits.at(undone ? m_Edits.size() - 1 - i : i)->focus(model, undone))
            return node;
    }
    return nullptr;
}
