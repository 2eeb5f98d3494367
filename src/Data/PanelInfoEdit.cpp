#include "Data/PanelInfoEdit.h"

#include "Data/LedPanelModel.h"

PanelInfoEdit::PanelInfoEdit(const QString& text, const QString& title, const QString& description)
    : AbstractEdit(text)
    , m_Title(title)
    , m_Description(description)
{
}

void PanelInfoEdit::swap(LedPanelModel& model)
{
    const QString title = model.title();
    const QString description = model.description();
    setInfo(model, m_Title, m_Description);
    m_Title = title;
    m_Description = description;
}

QString PanelInfoEdit::refusal() const
{
    if (LedPanelModel::fitsInFile(m_Title) && LedPanelModel::fitsInFile(m_Description))
        return QString();
    return LedPanelModel::textTooLongText();
}

void PanelInfoEdit::redo(LedPanelModel& model)
{
    swap(model);
}

void PanelInfoEdit::undo(LedPanelModel& model)
{
    swap(model);
}
