#include "Document/EditCommand.h"

#include "Abstract/AbstractEdit.h"
#include "Document/LedPanelDocument.h"

EditCommand::EditCommand(LedPanelDocument* document, AbstractEdit* edit)
    : QUndoCommand(edit->text())
    , m_pDocument(document)
    , m_pEdit(edit)
    , m_Done(false)
{
    Q_ASSERT(m_pDocument);
}

EditCommand::~EditCommand() = default;

void EditCommand::redo()
{
    emit m_pDocument->aboutToEdit();
    m_pEdit->redo(*m_pDocument);
    if (m_Done)
        m_pDocument->makeCurrent(m_pEdit->focus(*m_pDocument, false));
    m_Done = true;
}

void EditCommand::undo()
{
    emit m_pDocument->aboutToEdit();
    m_pEdit->undo(*m_pDocument);
    m_pDocument->makeCurrent(m_pEdit->focus(*m_pDocument, true));
}

int EditCommand::id() const
{
    return m_pEdit->mergeId();
}

bool EditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* later = static_cast<const EditCommand*>(other);
    if (!m_pEdit->mergeWith(*later->m_pEdit))
        return false;
    setText(m_pEdit->text());
    return true;
}
